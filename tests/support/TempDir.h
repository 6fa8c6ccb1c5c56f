#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

// A fresh folder under /tmp, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kinetora-XXXXXX").string();
        if (char* made = ::mkdtemp(pattern.data()))
            m_Path = made;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_Path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_Path; }
    std::string operator/(const std::string& name) const { return m_Path + "/" + name; }

private:
    std::string m_Path;
};

// Sets (or, with nullopt, removes) an environment variable and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_Name(name) {
        if (const char* old = std::getenv(name))
            m_Old = old;
        Apply(value);
    }
    ~ScopedEnv() { Apply(m_Old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Apply(const std::optional<std::string>& value) {
        if (value)
            ::setenv(m_Name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(m_Name.c_str());
    }

    std::string m_Name;
    std::optional<std::string> m_Old;
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
