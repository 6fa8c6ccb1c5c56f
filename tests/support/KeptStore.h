#pragma once

#include "core/MemoryProfileStore.h"
#include "core/ProfileStore.h"

#include <string>
#include <vector>

// gApp deletes the store it is given at shutdown: this one writes through to a store the
// test keeps, so the frame-rate record can be inspected afterwards.
class KeptStore : public ProfileStore {
public:
    explicit KeptStore(MemoryProfileStore& inner) : m_Inner(inner) {}
    int ReadInt(const std::string& n, int d) const override { return m_Inner.ReadInt(n, d); }
    std::string ReadString(const std::string& n, const std::string& d) const override {
        return m_Inner.ReadString(n, d);
    }
    void WriteGroup(const std::vector<ProfileValue>& v) override { m_Inner.WriteGroup(v); }
    std::string ReadFolders() const override { return m_Inner.ReadFolders(); }
    void WriteFolders(const std::string& t) override { m_Inner.WriteFolders(t); }

private:
    MemoryProfileStore& m_Inner;
};
