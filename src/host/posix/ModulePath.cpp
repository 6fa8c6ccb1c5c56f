#include "host/posix/ModulePath.h"

#include <dlfcn.h>
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

bool OpenModule(const std::string& fileName, std::initializer_list<const char*> symbols,
                const std::string& what, std::vector<void*>& found, std::string& error) {
    std::string tried;
    for (const std::string& path : ModuleCandidates(fileName)) {
        if (access(path.c_str(), F_OK) != 0) {
            tried += (tried.empty() ? "" : ", ") + path;
            continue;
        }
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = dlerror();
            error = why != nullptr ? why : path + ": cannot be loaded";
            return false;
        }
        found.clear();
        for (const char* symbol : symbols) {
            found.push_back(dlsym(handle, symbol));
            if (found.back() == nullptr) {
                error = path + " is not the " + what + " of this program";
                found.clear();
                dlclose(handle);
                return false;
            }
        }
        return true;
    }
    error = "not found (looked for " + tried + ")";
    return false;
}
