#pragma once

#include "core/ProfileStore.h"

#include <map>
#include <optional>

// A store kept in memory: for tests, and the fallback when no file store can be used.
class MemoryProfileStore : public ProfileStore {
public:
    int ReadInt(const std::string& name, int def) const override;
    std::string ReadString(const std::string& name, const std::string& def) const override;
    void WriteGroup(const std::vector<ProfileValue>& values) override;
    std::string ReadFolders() const override { return m_Folders.value_or(std::string()); }
    void WriteFolders(const std::string& text) override { m_Folders = text; }

    // Raw access for tests: values as text, the way a file holds them.
    void SetRaw(const std::string& name, const std::string& text) { m_Values[name] = text; }
    bool Has(const std::string& name) const { return m_Values.count(name) != 0; }
    int WriteCount() const { return m_WriteCount; }
    bool HasFolders() const { return m_Folders.has_value(); }

private:
    std::map<std::string, std::string> m_Values;
    std::optional<std::string> m_Folders;
    int m_WriteCount = 0;
};
