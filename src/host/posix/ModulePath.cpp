#include "host/posix/ModulePath.h"

#include <limits.h>
#include <unistd.h>

namespace {

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    const std::string program(path, static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

} // namespace

std::vector<std::string> ModuleCandidates(const std::string& fileName) {
    std::vector<std::string> candidates;
    const std::string beside = ProgramFolder();
    if (!beside.empty())
        candidates.push_back(beside + "/" + fileName);
    candidates.push_back(std::string(KINETORA_MODULE_DIR) + "/" + fileName);
    return candidates;
}
