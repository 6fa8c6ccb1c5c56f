#include "host/posix/IniText.h"

#include <algorithm>
#include <cstddef>

// The reading rules follow QSettings' INI reader step by step, so that a file reads the same
// here and there; where that reader is lenient (a missing ']', a line without '='), so are we.

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Skipped before a line starts.
bool IsLineSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Trimmed off keys and group names.
bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsSpecial(char c) {
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsWhite(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsWhite(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

// One UTF-16 code unit (what an escape gives) as UTF-8; a lone surrogate cannot be kept.
void AppendUnit(std::string& out, unsigned unit) {
    unit &= 0xFFFF;
    if (unit >= 0xD800 && unit <= 0xDFFF)
        unit = 0xFFFD;
    if (unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

// A logical line: [start, end) of the text, with its first '=' outside quotes. A line goes on
// past a newline inside quotes or after a backslash; a ';' outside quotes ends it, and a ';'
// that starts it makes it a comment, skipped to the end of the physical line.
struct Line {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t equals = npos;
};

bool NextLine(std::string_view data, std::size_t& pos, Line& line) {
    const std::size_t n = data.size();
    bool inQuotes = false;
    line.equals = npos;
    std::size_t start = pos;
    while (start < n && IsLineSpace(data[start]))
        ++start;
    std::size_t i = start;
    bool ended = false;
    while (i < n && !ended) {
        while (i < n && !IsSpecial(data[i]))
            ++i;
        if (i == n)
            break;
        const char ch = data[i++];
        if (ch == '=') {
            if (!inQuotes && line.equals == npos)
                line.equals = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                ended = true;
            }
        } else if (ch == '\\') {
            if (i < n) {
                const char next = data[i++];
                if (i < n) {
                    const char after = data[i];
                    if ((next == '\n' && after == '\r') || (next == '\r' && after == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (i == start + 1) { // ';' first: a comment
            while (i < n && data[i] != '\n' && data[i] != '\r')
                ++i;
            while (i < n && IsLineSpace(data[i]))
                ++i;
            start = i;
        } else if (!inQuotes) {
            --i;
            ended = true;
        }
    }
    pos = i;
    line.start = start;
    line.end = i;
    return i > start;
}

// Keys and group names: '\' stands for '/', %XX and %UXXXX for a code unit.
std::string UnescapeKey(std::string_view key) {
    std::string out;
    std::size_t i = 0;
    while (i < key.size()) {
        const char ch = key[i];
        if (ch == '\\') {
            out += '/';
            ++i;
            continue;
        }
        if (ch != '%' || i == key.size() - 1) {
            out += ch;
            ++i;
            continue;
        }
        std::size_t first = i + 1;
        std::size_t digits = 2;
        if (key[first] == 'U') {
            ++first;
            digits = 4;
        }
        unsigned unit = 0;
        bool ok = first + digits <= key.size();
        for (std::size_t d = 0; ok && d < digits; ++d) {
            const int h = HexValue(key[first + d]);
            ok = h >= 0;
            unit = unit * 16 + static_cast<unsigned>(h);
        }
        if (!ok) {
            out += '%';
            ++i;
            continue;
        }
        AppendUnit(out, unit);
        i = first + digits;
    }
    return out;
}

std::string EscapeKey(std::string_view key) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (const char ch : key) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '-' || c == '.') {
            out += ch;
        } else {
            out += '%';
            out += hex[c / 16];
            out += hex[c % 16];
        }
    }
    return out;
}

// "Name/" for the line "[Name]", "" for the general group.
std::string GroupPrefix(std::string_view line) {
    std::size_t close = line.find(']');
    if (close == npos)
        close = line.size();
    const std::string_view name = Trim(line.substr(1, close - 1));
    if (SameIgnoringCase(name, "general"))
        return "";
    if (SameIgnoringCase(name, "%general"))
        return std::string(name.substr(1)) + "/";
    return UnescapeKey(name) + "/";
}

void ChopBlanks(std::string& text, std::size_t limit) {
    while (text.size() > limit && IsBlank(text.back()))
        text.pop_back();
}

// The value's text after '=': quotes, escapes and, outside quotes, commas that make a list.
// True when it is a list (its items in list).
bool UnescapeValue(std::string_view str, std::string& result, std::vector<std::string>& list) {
    enum class State { SkipSpaces, Normal, Hex, Oct, End };
    const std::size_t n = str.size();
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    unsigned escape = 0;
    std::size_t i = 0;
    State state = State::SkipSpaces;
    while (state != State::End) {
        switch (state) {
        case State::SkipSpaces:
            while (i < n && IsBlank(str[i]))
                ++i;
            state = State::Normal;
            break;
        case State::Normal: {
            std::size_t chopLimit = result.size();
            State next = State::End;
            bool atEnd = true; // left the loop at the end of the text: trailing blanks go
            while (i < n && atEnd) {
                const char ch = str[i];
                if (ch == '\\') {
                    ++i;
                    if (i >= n) {
                        atEnd = false;
                        break;
                    }
                    const char code = str[i++];
                    static const char simple[][2] = {{'a', '\a'},  {'b', '\b'}, {'f', '\f'},
                                                     {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
                                                     {'v', '\v'},  {'"', '"'},  {'?', '?'},
                                                     {'\'', '\''}, {'\\', '\\'}};
                    const auto* found =
                        std::find_if(std::begin(simple), std::end(simple),
                                     [code](const char* e) { return e[0] == code; });
                    if (found != std::end(simple)) {
                        result += (*found)[1];
                        next = State::Normal;
                        atEnd = false;
                        break;
                    }
                    if (code == 'x') {
                        escape = 0;
                        if (i >= n) {
                            atEnd = false;
                            break;
                        }
                        if (HexValue(str[i]) >= 0) {
                            next = State::Hex;
                            atEnd = false;
                            break;
                        }
                    } else if (code >= '0' && code <= '7') {
                        escape = static_cast<unsigned>(code - '0');
                        next = State::Oct;
                        atEnd = false;
                        break;
                    } else if (code == '\n' || code == '\r') {
                        if (i < n && (str[i] == '\n' || str[i] == '\r') && str[i] != code)
                            ++i;
                    }
                    chopLimit = result.size();
                } else if (ch == '"') {
                    ++i;
                    quoted = true;
                    inQuotes = !inQuotes;
                    if (!inQuotes) {
                        next = State::SkipSpaces;
                        atEnd = false;
                    }
                } else if (ch == ',' && !inQuotes) {
                    if (!quoted)
                        ChopBlanks(result, chopLimit);
                    if (!isList) {
                        isList = true;
                        list.clear();
                    }
                    list.push_back(std::move(result));
                    result.clear();
                    quoted = false;
                    ++i;
                    next = State::SkipSpaces;
                    atEnd = false;
                } else {
                    std::size_t j = i + 1;
                    while (j < n && str[j] != '\\' && str[j] != '"' && str[j] != ',')
                        ++j;
                    result.append(str.substr(i, j - i));
                    i = j;
                }
            }
            if (atEnd && !quoted)
                ChopBlanks(result, chopLimit);
            state = next;
            break;
        }
        case State::Hex:
        case State::Oct: {
            const int digit =
                i < n ? (state == State::Hex ? HexValue(str[i])
                                             : (str[i] >= '0' && str[i] <= '7' ? str[i] - '0' : -1))
                      : -1;
            if (digit >= 0) {
                escape =
                    ((escape << (state == State::Hex ? 4 : 3)) + static_cast<unsigned>(digit)) &
                    0xFFFF;
                ++i;
                break;
            }
            AppendUnit(result, escape);
            state = i < n ? State::Normal : State::End;
            break;
        }
        case State::End:
            break;
        }
    }
    if (isList)
        list.push_back(std::move(result));
    return isList;
}

// Items of "@Rect(1 2 3 4)" and the like: one per blank or ')' after the '('.
std::size_t ArgCount(std::string_view s, std::size_t open) {
    return static_cast<std::size_t>(std::count_if(s.begin() + static_cast<std::ptrdiff_t>(open) + 1,
                                                  s.end(),
                                                  [](char c) { return c == ' ' || c == ')'; }));
}

// The text of a value that starts with '@': "@@x" is "@x"; the typed forms QSettings writes
// for other kinds of value read as text only where they hold text.
std::string TypedText(std::string_view s) {
    if (s.empty() || s[0] != '@')
        return std::string(s);
    auto starts = [s](std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; };
    if (s.back() == ')') {
        if (starts("@ByteArray("))
            return std::string(s.substr(11, s.size() - 12));
        if (starts("@String("))
            return std::string(s.substr(8, s.size() - 9));
        if (starts("@Variant(") || starts("@DateTime(") || s == "@Invalid()")
            return "";
        if ((starts("@Rect(") && ArgCount(s, 5) == 4) ||
            (starts("@Size(") && ArgCount(s, 5) == 2) || (starts("@Point(") && ArgCount(s, 6) == 2))
            return "";
    }
    if (starts("@@"))
        return std::string(s.substr(1));
    return std::string(s);
}

std::string ValueText(std::string_view raw) {
    std::string text;
    std::vector<std::string> list;
    if (!UnescapeValue(raw, text, list))
        return TypedText(text);
    std::string joined;
    for (std::size_t k = 0; k < list.size(); ++k) {
        std::string& item = list[k];
        if (!item.empty() && item[0] == '@') {
            if (item.size() < 2 || item[1] != '@')
                return ""; // a list of typed values: no text
            item.erase(0, 1);
        }
        if (k != 0)
            joined += ',';
        joined += item;
    }
    return joined;
}

struct Entry {
    std::string prefix; // "Group/", or "" in the general group
    std::string key;
    std::size_t start, equals, end;
};

struct Group {
    std::string prefix;
    std::size_t lastEnd; // end of its header or of its last key's line
};

struct Parsed {
    std::vector<Entry> entries;
    std::vector<Group> groups;
    std::map<std::string, std::size_t> winners; // full key -> the entry QSettings reads
};

Parsed Parse(std::string_view text) {
    Parsed parsed;
    std::size_t pos = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::string prefix;
    Line line;
    while (NextLine(text, pos, line)) {
        const std::string_view content = text.substr(line.start, line.end - line.start);
        if (content.front() == '[') {
            prefix = GroupPrefix(content);
            parsed.groups.push_back({prefix, line.end});
            continue;
        }
        if (line.equals == npos)
            continue;
        const std::string key =
            UnescapeKey(Trim(text.substr(line.start, line.equals - line.start)));
        parsed.entries.push_back({prefix, key, line.start, line.equals, line.end});
        if (!parsed.groups.empty())
            parsed.groups.back().lastEnd = line.end;
    }
    // QSettings reads the groups in the order of their names, each from top to bottom; the
    // last reading of a key is the one it keeps.
    for (std::size_t k = 0; k < parsed.entries.size(); ++k) {
        const Entry& entry = parsed.entries[k];
        const auto [it, added] = parsed.winners.emplace(entry.prefix + entry.key, k);
        if (!added && entry.prefix >= parsed.entries[it->second].prefix)
            it->second = k;
    }
    return parsed;
}

IniText::Values ReadAll(std::string_view text, const Parsed& parsed) {
    IniText::Values values;
    for (const auto& [key, index] : parsed.winners) {
        const Entry& entry = parsed.entries[index];
        values[key] = ValueText(text.substr(entry.equals + 1, entry.end - entry.equals - 1));
    }
    return values;
}

std::string LineEnd(std::string_view text) {
    const std::size_t lf = text.find('\n');
    return lf != npos && lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
}

} // namespace

IniText::Values IniText::ReadGroup(std::string_view text, std::string_view group) {
    const Parsed parsed = Parse(text);
    const std::string prefix = std::string(group) + "/";
    Values values;
    for (const auto& [key, index] : parsed.winners) {
        if (key.compare(0, prefix.size(), prefix) != 0 || key.find('/', prefix.size()) != npos)
            continue;
        if (key.size() == prefix.size())
            continue; // an empty name, which QSettings cannot look up either
        const Entry& entry = parsed.entries[index];
        values[key.substr(prefix.size())] =
            ValueText(text.substr(entry.equals + 1, entry.end - entry.equals - 1));
    }
    return values;
}

bool IniText::Set(std::string& text, std::string_view group, const Changes& changes) {
    const Parsed parsed = Parse(text);
    const std::string prefix = std::string(group) + "/";
    const std::string eol = LineEnd(text);

    struct Edit {
        std::size_t pos, length;
        std::string with;
    };
    std::vector<Edit> edits;
    std::string added; // lines of keys the group does not hold yet
    for (const auto& [key, value] : changes) {
        const auto it = parsed.winners.find(prefix + key);
        if (it == parsed.winners.end()) {
            added += EscapeKey(key) + "=" + Escape(value) + eol;
            continue;
        }
        // The blanks around the old value stay, as does a comment after it.
        const Entry& entry = parsed.entries[it->second];
        std::size_t from = entry.equals + 1;
        std::size_t to = entry.end;
        while (from < to && IsBlank(text[from]))
            ++from;
        while (to > from && IsBlank(text[to - 1]))
            --to;
        edits.push_back({from, to - from, Escape(value)});
    }
    if (!added.empty()) {
        const auto last = std::find_if(parsed.groups.rbegin(), parsed.groups.rend(),
                                       [&prefix](const Group& g) { return g.prefix == prefix; });
        if (last != parsed.groups.rend()) {
            // After the physical line that ends the group's last key (or its header).
            std::size_t pos = last->lastEnd;
            while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r')
                ++pos;
            if (pos == text.size())
                added.insert(0, eol);
            else if (text.compare(pos, 2, "\r\n") == 0)
                pos += 2;
            else
                ++pos;
            edits.push_back({pos, 0, added});
        } else {
            std::string tail;
            if (!text.empty() && text.back() != '\n' && text.back() != '\r')
                tail += eol;
            if (!text.empty())
                tail += eol;
            tail += "[" + EscapeKey(group) + "]" + eol + added;
            edits.push_back({text.size(), 0, tail});
        }
    }
    if (edits.empty())
        return true;

    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return a.pos > b.pos; });
    std::string edited = text;
    for (const Edit& edit : edits)
        edited.replace(edit.pos, edit.length, edit.with);

    Values expected = ReadAll(text, parsed);
    for (const auto& [key, value] : changes)
        expected[prefix + key] = value;
    if (ReadAll(edited, Parse(edited)) != expected)
        return false;
    text = std::move(edited);
    return true;
}

std::string IniText::Escape(std::string_view value) {
    std::string s;
    if (value.find('\0') != npos)
        s = "@String(" + std::string(value) + ")";
    else if (!value.empty() && value.front() == '@')
        s = "@" + std::string(value);
    else
        s = std::string(value);

    static const char* const hex = "0123456789abcdef";
    const auto appendHex = [](std::string& out, unsigned char c) {
        out += "\\x";
        if (c >= 16)
            out += hex[c / 16];
        out += hex[c % 16];
    };
    std::string out;
    bool quotes = false;
    bool escapeHexDigit = false; // after \x.. or \0 a hex digit would extend the escape
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == ';' || ch == ',' || ch == '=')
            quotes = true;
        if (escapeHexDigit && HexValue(ch) >= 0) {
            appendHex(out, c);
            continue;
        }
        escapeHexDigit = false;
        switch (ch) {
        case '\0':
            out += "\\0";
            escapeHexDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += ch;
            break;
        default:
            if (c <= 0x1F) {
                appendHex(out, c);
                escapeHexDigit = true;
            } else {
                out += ch;
            }
        }
    }
    if (quotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        out = "\"" + out + "\"";
    return out;
}
