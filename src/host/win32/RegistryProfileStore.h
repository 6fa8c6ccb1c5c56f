#pragma once

#include "core/ProfileStore.h"

#include <memory>
#include <string>

// The settings store of the Windows host:
//   HKEY_CURRENT_USER\<key>\Config   the setting values, integers as REG_DWORD, text as REG_SZ
//   <ini file>, section [Kinetora]   key Folders, the folder list, through the profile-string
//                                    functions
// Every read goes to the registry and the file, so a value written by another process is
// seen at once. A save writes only its own values, one by one; the registry replaces a
// value atomically and the profile functions serialise writers of one INI file, so the
// saver's frame-rate record and the configuration sheet's groups never lose each other's
// writes (the values of one group are not one transaction: a reader may see a half-saved
// group for an instant, never a torn value).
class RegistryProfileStore : public ProfileStore {
public:
    static constexpr const char* kDefaultKey = "Software\\Tovenhall\\Kinetora";

    // iniPath: the folder list's file, a full path.
    RegistryProfileStore(std::string key, std::string iniPath);

    // "%APPDATA%\Tovenhall\Kinetora.ini", the folder made when missing; "Kinetora.ini" in
    // the profile functions' default folder when there is no APPDATA.
    static std::string DefaultIniPath();
    static std::unique_ptr<ProfileStore> OpenDefault();

    // "InstallFolder", when the installer wrote none, reads as the folder the program runs
    // from, with a trailing backslash (the help page sits beside the .scr).
    int ReadInt(const std::string& name, int def) const override;
    std::string ReadString(const std::string& name, const std::string& def) const override;
    void WriteGroup(const std::vector<ProfileValue>& values) override;
    std::string ReadFolders() const override;
    void WriteFolders(const std::string& text) override;

    const std::string& Key() const { return m_Key; }
    const std::string& IniPath() const { return m_IniPath; }

    // The folder of the running program, ending with a backslash.
    static std::string ProgramFolder();

private:
    std::string ConfigKey() const { return m_Key + "\\Config"; }

    std::string m_Key;
    std::string m_IniPath;
};
