#pragma once

#include "core/ProfileStore.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// The settings store on disk, as two files in one folder, in the INI dialect of QSettings:
//   Kinetora.conf  group [Config]   the setting values
//   Kinetora.ini   group [Kinetora] key Folders, the folder list
// Values are read once, when the store is opened. A save changes only the lines of the keys
// it writes, under a lock, and replaces the file atomically (SettingsFile), so the saver and
// the configuration sheet never lose each other's writes nor anything the user wrote in the
// file. A file that cannot be read or written is said on standard error and in the trace;
// the run goes on with the defaults, and nothing of the file is lost. Why a write failed is
// also kept for TakeWriteProblem.
class IniProfileStore : public ProfileStore {
public:
    // folder: where the files live; made by the first write, so that a run that writes no
    // setting creates nothing.
    explicit IniProfileStore(std::string folder = DefaultFolder());

    // $XDG_CONFIG_HOME/Tovenhall, or ~/.config/Tovenhall.
    static std::string DefaultFolder();
    // The file store in the default folder.
    static std::unique_ptr<ProfileStore> OpenDefault();

    // False when the folder could not be created: reads give defaults, writes are dropped
    // (and say why).
    bool IsUsable() const { return m_bUsable; }
    std::string ConfigPath() const;
    std::string FoldersPath() const;

    int ReadInt(const std::string& name, int def) const override;
    std::string ReadString(const std::string& name, const std::string& def) const override;
    void WriteGroup(const std::vector<ProfileValue>& values) override;
    std::string ReadFolders() const override;
    void WriteFolders(const std::string& text) override;

private:
    using Values = std::map<std::string, std::string>;

    static Values Load(const std::string& path, const char* group);
    void Save(const std::string& path, const char* group,
              const std::vector<std::pair<std::string, std::string>>& changes, Values& values);

    std::string m_Folder;
    bool m_bUsable = false;
    std::string m_FolderProblem;
    Values m_Config;
    Values m_Ini;
};
