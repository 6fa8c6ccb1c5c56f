#include "host/win32/RegistryProfileStore.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The first buffer for the folder list; it grows until the whole value fits.
constexpr DWORD kFoldersBuffer = 4096;
constexpr const char* kSection = "Kinetora";
constexpr const char* kFoldersKey = "Folders";

class RegKey {
public:
    RegKey(const std::string& path, bool create) {
        const LSTATUS status =
            create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                     KEY_READ | KEY_WRITE, nullptr, &m_Key, nullptr)
                   : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &m_Key);
        if (status != ERROR_SUCCESS)
            m_Key = nullptr;
    }
    ~RegKey() {
        if (m_Key != nullptr)
            RegCloseKey(m_Key);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Get() const { return m_Key; }

private:
    HKEY m_Key = nullptr;
};

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// The value's type and bytes; false when the key or value is missing.
bool QueryValue(const std::string& path, const std::string& name, RawValue& out) {
    const RegKey key(path, false);
    if (key.Get() == nullptr)
        return false;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &out.type, nullptr, &size) !=
        ERROR_SUCCESS)
        return false;
    // Another writer may grow the value between the two calls: ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        out.data.assign(size + 1, 0);
        DWORD got = size;
        const LSTATUS status =
            RegQueryValueExA(key.Get(), name.c_str(), nullptr, &out.type, out.data.data(), &got);
        if (status == ERROR_SUCCESS) {
            out.data.resize(got);
            return true;
        }
        if (status != ERROR_MORE_DATA)
            return false;
        size = got;
    }
    return false;
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// REG_SZ data may or may not end with its terminator.
std::string Text(const RawValue& value) {
    std::string text(value.data.begin(), value.data.end());
    const auto end = text.find('\0');
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

std::string EnvironmentValue(const char* name) {
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0)
        return {};
    std::string value(size, '\0');
    const DWORD got = GetEnvironmentVariableA(name, value.data(), size);
    value.resize(got < size ? got : 0);
    return value;
}

} // namespace

RegistryProfileStore::RegistryProfileStore(std::string key, std::string iniPath)
    : m_Key(std::move(key)), m_IniPath(std::move(iniPath)) {}

std::string RegistryProfileStore::DefaultIniPath() {
    // The Windows folder, the profile functions' default, is not writable by a user on the
    // systems this program runs on: the list would be lost. The roaming profile keeps it.
    const std::string appData = EnvironmentValue("APPDATA");
    if (appData.empty())
        return "Kinetora.ini";
    const std::string folder = appData + "\\Tovenhall";
    CreateDirectoryA(folder.c_str(), nullptr); // fails harmlessly when it exists
    return folder + "\\Kinetora.ini";
}

std::unique_ptr<ProfileStore> RegistryProfileStore::OpenDefault() {
    return std::make_unique<RegistryProfileStore>(kDefaultKey, DefaultIniPath());
}

std::string RegistryProfileStore::ProgramFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD got = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0)
            return {};
        if (got < path.size()) {
            std::string folder(path.data(), got);
            const auto slash = folder.find_last_of("\\/");
            return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
        }
        path.resize(path.size() * 2);
    }
}

int RegistryProfileStore::ReadInt(const std::string& name, int def) const {
    RawValue value;
    if (!QueryValue(ConfigKey(), name, value))
        return def;
    if (value.type == REG_DWORD && value.data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, value.data.data(), sizeof number);
        return static_cast<int>(number);
    }
    // A number typed in by hand as text.
    int number = 0;
    if (IsText(value.type) && ParseInt(Text(value), number))
        return number;
    return def;
}

std::string RegistryProfileStore::ReadString(const std::string& name,
                                             const std::string& def) const {
    RawValue value;
    if (QueryValue(ConfigKey(), name, value) && IsText(value.type)) {
        const std::string text = Text(value);
        if (!text.empty() || name != "InstallFolder")
            return text;
    }
    if (name == "InstallFolder")
        return ProgramFolder();
    return def;
}

void RegistryProfileStore::WriteGroup(const std::vector<ProfileValue>& values) {
    const RegKey key(ConfigKey(), true);
    if (key.Get() == nullptr)
        return;
    for (const ProfileValue& value : values) {
        if (const int* number = std::get_if<int>(&value.value)) {
            const DWORD data = static_cast<DWORD>(*number);
            RegSetValueExA(key.Get(), value.name.c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&data), sizeof data);
        } else {
            const std::string& text = std::get<std::string>(value.value);
            RegSetValueExA(key.Get(), value.name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1));
        }
    }
}

std::string RegistryProfileStore::ReadFolders() const {
    // A value cut to the buffer comes back as size - 1 characters, as does one that exactly
    // fits: only a shorter answer is known to be whole. A list read short and saved again
    // would lose the folders past the cut.
    std::vector<char> buffer(kFoldersBuffer, '\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD got = GetPrivateProfileStringA(kSection, kFoldersKey, "", buffer.data(), size,
                                                   m_IniPath.c_str());
        if (got + 1 < size)
            return std::string(buffer.data(), got);
        buffer.assign(static_cast<size_t>(size) * 2, '\0');
    }
}

void RegistryProfileStore::WriteFolders(const std::string& text) {
    WritePrivateProfileStringA(kSection, kFoldersKey, text.c_str(), m_IniPath.c_str());
}
