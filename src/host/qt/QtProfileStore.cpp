#include "host/qt/QtProfileStore.h"

#include "core/Trace.h"
#include "host/qt/IniText.h"
#include "host/qt/SettingsFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

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

} // namespace

QtProfileStore::QtProfileStore(std::string folder) : m_Folder(std::move(folder)) {
    std::error_code error;
    std::error_code ignored;
    m_bUsable = !m_Folder.empty() && (std::filesystem::create_directories(m_Folder, error) ||
                                      std::filesystem::is_directory(m_Folder, ignored));
    if (!m_bUsable) {
        m_FolderProblem = "cannot make the settings folder " + m_Folder;
        if (std::filesystem::exists(m_Folder, ignored))
            m_FolderProblem += ": something that is not a folder is in its place";
        else if (error)
            m_FolderProblem += ": " + error.message();
        return;
    }
    m_Config = Load(ConfigPath(), kConfigGroup);
    m_Ini = Load(FoldersPath(), kIniGroup);
}

QtProfileStore::Values QtProfileStore::Load(const std::string& path, const char* group) {
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

void QtProfileStore::Save(const std::string& path, const char* group,
                          const std::vector<std::pair<std::string, std::string>>& changes,
                          Values& values) {
    if (!m_bUsable) {
        NoteWriteProblem(m_FolderProblem);
        return;
    }
    Values stored;
    std::string problem;
    const bool saved = SettingsFile(path).Update(
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

std::string QtProfileStore::DefaultFolder() {
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

std::unique_ptr<ProfileStore> QtProfileStore::OpenDefault() {
    return std::make_unique<QtProfileStore>();
}

std::string QtProfileStore::ConfigPath() const {
    return m_Folder + "/" + kConfigFile;
}

std::string QtProfileStore::FoldersPath() const {
    return m_Folder + "/" + kIniFile;
}

int QtProfileStore::ReadInt(const std::string& name, int def) const {
    const auto it = m_Config.find(name);
    int value = 0;
    return it != m_Config.end() && ParseInt(it->second, value) ? value : def;
}

std::string QtProfileStore::ReadString(const std::string& name, const std::string& def) const {
    const auto it = m_Config.find(name);
    return it == m_Config.end() ? def : it->second;
}

void QtProfileStore::WriteGroup(const std::vector<ProfileValue>& values) {
    std::vector<std::pair<std::string, std::string>> changes;
    for (const ProfileValue& value : values) {
        if (const int* number = std::get_if<int>(&value.value))
            changes.emplace_back(value.name, std::to_string(*number));
        else
            changes.emplace_back(value.name, std::get<std::string>(value.value));
    }
    Save(ConfigPath(), kConfigGroup, changes, m_Config);
}

std::string QtProfileStore::ReadFolders() const {
    const auto it = m_Ini.find(kFoldersKey);
    return it == m_Ini.end() ? std::string() : it->second;
}

void QtProfileStore::WriteFolders(const std::string& text) {
    Save(FoldersPath(), kIniGroup, {{kFoldersKey, text}}, m_Ini);
}
