#include "host/posix/ProcessMemory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

long ProcessMemory::ResidentKb() {
    // The second field of statm: resident pages.
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (file == nullptr)
        return 0;
    long size = 0;
    long resident = 0;
    const int read = std::fscanf(file, "%ld %ld", &size, &resident);
    std::fclose(file);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (read != 2 || resident < 0 || pageSize <= 0)
        return 0;
    return resident * (pageSize / 1024);
}

long ProcessMemory::PeakResidentKb() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    return usage.ru_maxrss; // kibibytes on Linux
}
