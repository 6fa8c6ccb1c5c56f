#include "host/posix/IniProfileStore.h"

#include "core/Trace.h"
#include "host/posix/IniText.h"
#include "host/posix/SettingsFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

const char* const kConfigFile = "Kinetora.conf";
const char* const kConfigGroup = "Config";
const char* const kIniFile = "Kinetora.ini";
const char* const kIniGroup = "Kinetora";
const char* const kFoldersKey = "Folders";

// A settings file the run cannot use: one line on standard error, and in the trace.
void Report(const std::string& text) {
    std::fprintf(stderr, "kinetora: %s\n", text.c_str());
    if (TraceLog::Enabled())
        Trace("%s", text.c_str());
}

// Can the folder be there when a write needs it? It is, or the nearest part of its path
// that is there is a folder (where it can be made).
bool CouldBeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    for (std::filesystem::path p = std::filesystem::absolute(folder, error); !p.empty();
         p = p.parent_path()) {
        const auto type = std::filesystem::status(p, error).type();
        if (type != std::filesystem::file_type::not_found)
            return type == std::filesystem::file_type::directory;
        if (p == p.parent_path())
            break;
    }
    return false;
}

std::string FolderProblem(const std::string& folder, const std::error_code& error) {
    return "cannot make the settings folder " + folder + ": " + error.message();
}

} // namespace

IniProfileStore::IniProfileStore(std::string folder) : m_Folder(std::move(folder)) {
    // Made by the first write only: a run that stores nothing leaves no trace on disk.
    m_bUsable = !m_Folder.empty() && CouldBeFolder(m_Folder);
    if (!m_bUsable) {
        m_FolderProblem = FolderProblem(m_Folder, std::make_error_code(std::errc::not_a_directory));
        return;
    }
    m_Config = Load(ConfigPath(), kConfigGroup);
    m_Ini = Load(FoldersPath(), kIniGroup);
}

IniProfileStore::Values IniProfileStore::Load(const std::string& path, const char* group) {
    const SettingsFile file(path);
    file.RemoveLeftover();
    std::string text;
    std::string problem;
    if (!file.Read(text, problem)) {
        Report("settings file " + path + " not read (" + problem + "); using the defaults");
        return {};
    }
    return IniText::ReadGroup(text, group);
}

void IniProfileStore::Save(const std::string& path, const char* group,
                           const std::vector<std::pair<std::string, std::string>>& changes,
                           Values& values) {
    if (!m_bUsable) {
        NoteWriteProblem(m_FolderProblem);
        return;
    }
    Values stored;
    std::string problem;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    bool saved = false;
    if (!std::filesystem::create_directories(folder, error) && error)
        problem = FolderProblem(folder.string(), error);
    else
        saved = SettingsFile(path).Update(
            [&](std::string& text) {
                if (!IniText::Set(text, group, changes))
                    return false;
                stored = IniText::ReadGroup(text, group);
                return true;
            },
            problem);
    if (saved) {
        values = std::move(stored);
        return;
    }
    std::string names;
    for (const auto& change : changes)
        names += (names.empty() ? "" : ", ") + change.first;
    Report("settings file " + path + ": " + names + " not stored: " + problem);
    NoteWriteProblem(path + ": " + problem);
}

std::string IniProfileStore::DefaultFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and is ignored.
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + "/Tovenhall";
    // The home folder as QDir::homePath gives it (HOME, else the root), without Qt: a saver
    // run loads no Qt library at all.
    const char* home = std::getenv("HOME");
    std::string base = home && *home ? home : "/";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + (base == "/" ? "" : "/") + ".config/Tovenhall";
}

std::unique_ptr<ProfileStore> IniProfileStore::OpenDefault() {
    return std::make_unique<IniProfileStore>();
}

std::string IniProfileStore::ConfigPath() const {
    return m_Folder + "/" + kConfigFile;
}

std::string IniProfileStore::FoldersPath() const {
    return m_Folder + "/" + kIniFile;
}

int IniProfileStore::ReadInt(const std::string& name, int def) const {
    const auto it = m_Config.find(name);
    int value = 0;
    return it != m_Config.end() && ParseInt(it->second, value) ? value : def;
}

std::string IniProfileStore::ReadString(const std::string& name, const std::string& def) const {
    const auto it = m_Config.find(name);
    return it == m_Config.end() ? def : it->second;
}

void IniProfileStore::WriteGroup(const std::vector<ProfileValue>& values) {
    std::vector<std::pair<std::string, std::string>> changes;
    for (const ProfileValue& value : values) {
        if (const int* number = std::get_if<int>(&value.value))
            changes.emplace_back(value.name, std::to_string(*number));
        else
            changes.emplace_back(value.name, std::get<std::string>(value.value));
    }
    Save(ConfigPath(), kConfigGroup, changes, m_Config);
}

std::string IniProfileStore::ReadFolders() const {
    const auto it = m_Ini.find(kFoldersKey);
    return it == m_Ini.end() ? std::string() : it->second;
}

void IniProfileStore::WriteFolders(const std::string& text) {
    Save(FoldersPath(), kIniGroup, {{kFoldersKey, text}}, m_Ini);
}
