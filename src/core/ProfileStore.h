#pragma once

#include <string>
#include <string_view>
#include <utility>
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
// A store that cannot write keeps the old values; one that can tell why says so through
// TakeWriteProblem.
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

    // Why a write since the last take did not reach the store ("" when every one did or
    // the store cannot tell), and forgets it.
    std::string TakeWriteProblem() { return std::exchange(m_WriteProblem, std::string()); }

protected:
    // Keeps the first reason until it is taken.
    void NoteWriteProblem(const std::string& problem) {
        if (m_WriteProblem.empty())
            m_WriteProblem = problem;
    }

private:
    std::string m_WriteProblem;
};
