#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The text of a settings file in the INI dialect QSettings reads and writes, read and edited
// in place. Values are read the way QSettings reads them (a list reads as its items joined by
// ','), except that bytes which are not UTF-8 are kept as they are: a folder name is bytes.
// An edit changes only the lines of the keys it sets; every other byte stays as it was.
class IniText {
public:
    using Values = std::map<std::string, std::string>;
    using Changes = std::vector<std::pair<std::string, std::string>>;

    // Every key of group (no subgroups) with its value.
    static Values ReadGroup(std::string_view text, std::string_view group);

    // Sets each key of group to its value: the value's text on the line that holds the key
    // (the one QSettings would read, when there are several) is replaced, and a missing key
    // becomes a line of its own after the group's last key, or in a new group at the end.
    // False, with text unchanged, when the edited text would not read back as every key set
    // and every other value as it was (an unclosed quote in a damaged file, say).
    static bool Set(std::string& text, std::string_view group, const Changes& changes);

    // A value as QSettings writes it ("@..." doubled, quotes where commas, semicolons, equals
    // signs or outer blanks would change its reading, escapes for control characters).
    static std::string Escape(std::string_view value);
};
