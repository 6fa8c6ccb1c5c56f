#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

// One named value of the "Config" group.
struct ProfileValue {
    std::string name;
    std::variant<int, std::string> value;
};

// Per-user settings storage: the values of group "Config" and the folder list kept in the
// separate INI file (section "Kinetora", key "Folders"). Writes of one save group go through
// WriteGroup so that they land together, under one lock, without touching other values.
// Failures are not reported: a store that cannot write simply keeps the old values.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // def when the value is missing or is not a whole number that fits an int.
    virtual int ReadInt(const std::string& name, int def) const = 0;
    virtual std::string ReadString(const std::string& name, const std::string& def) const = 0;

    virtual void WriteGroup(const std::vector<ProfileValue>& values) = 0;
    void WriteInt(const std::string& name, int value) { WriteGroup({{name, value}}); }
    void WriteString(const std::string& name, const std::string& value) {
        WriteGroup({{name, value}});
    }

    // The raw "Folders" text ("" when the file or key is missing).
    virtual std::string ReadFolders() const = 0;
    virtual void WriteFolders(const std::string& text) = 0;

    // Reads a stored number: optional blanks around an optionally signed decimal that fits an
    // int. Anything else (text, a fraction, an overflow) is not a number.
    static bool ParseInt(std::string_view text, int& value);
};
