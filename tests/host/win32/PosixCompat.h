// The POSIX calls the shared test helpers use, on the C runtime of Windows. Included
// ahead of every source of the Windows unit suite.
#pragma once

#ifdef __cplusplus

#include <direct.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Replaces the trailing XXXXXX of pattern and makes that folder; null on failure.
inline char* mkdtemp(char* pattern) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const size_t length = std::strlen(pattern);
        if (length < 6)
            return nullptr;
        static unsigned counter = 0;
        const unsigned seed = static_cast<unsigned>(std::rand()) * 7919u + ++counter;
        char* tail = pattern + length - 6;
        unsigned v = seed;
        for (int i = 0; i < 6; ++i, v /= 36)
            tail[i] = "0123456789abcdefghijklmnopqrstuvwxyz"[v % 36];
        if (_mkdir(pattern) == 0)
            return pattern;
    }
    return nullptr;
}

inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name) != nullptr)
        return 0;
    return _putenv_s(name, value);
}

inline int unsetenv(const char* name) {
    return _putenv_s(name, "");
}

// The bytes in a temporary file that goes when it is closed. Like glibc, an empty buffer
// cannot be opened.
inline std::FILE* fmemopen(void* bytes, size_t size, const char* /*mode*/) {
    if (size == 0) {
        errno = EINVAL;
        return nullptr;
    }
    char* path = _tempnam(nullptr, "kinetora");
    if (path == nullptr)
        return nullptr;
    std::FILE* file = std::fopen(path, "w+bD");
    std::free(path);
    if (file == nullptr)
        return nullptr;
    if (std::fwrite(bytes, 1, size, file) != size) {
        std::fclose(file);
        return nullptr;
    }
    std::rewind(file);
    return file;
}

#endif
