#include "core/ProfileStore.h"

#include <charconv>

bool ProfileStore::ParseInt(std::string_view text, int& value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    int parsed = 0;
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(text.data(), last, parsed);
    if (ec != std::errc() || end != last)
        return false;
    value = parsed;
    return true;
}
