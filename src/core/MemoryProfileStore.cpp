#include "core/MemoryProfileStore.h"

int MemoryProfileStore::ReadInt(const std::string& name, int def) const {
    const auto it = m_Values.find(name);
    if (it == m_Values.end())
        return def;
    int value = 0;
    return ParseInt(it->second, value) ? value : def;
}

std::string MemoryProfileStore::ReadString(const std::string& name, const std::string& def) const {
    const auto it = m_Values.find(name);
    return it == m_Values.end() ? def : it->second;
}

void MemoryProfileStore::WriteGroup(const std::vector<ProfileValue>& values) {
    for (const ProfileValue& v : values) {
        if (const int* number = std::get_if<int>(&v.value))
            m_Values[v.name] = std::to_string(*number);
        else
            m_Values[v.name] = std::get<std::string>(v.value);
    }
    ++m_WriteCount;
}
