#include "core/ReadOnlyStore.h"

ReadOnlyStore::ReadOnlyStore(std::unique_ptr<ProfileStore> inner, bool fixedRecord)
    : m_pInner(std::move(inner)) {
    m_bFixRecord = fixedRecord && m_pInner->ReadInt("FramesPerSecond", 0) <= 0;
}

int ReadOnlyStore::ReadInt(const std::string& name, int def) const {
    if (m_bFixRecord && name == "FramesPerSecond")
        return RecordFramesPerSecond;
    if (m_bFixRecord && name == "Polygons")
        return RecordPolygons;
    return m_pInner->ReadInt(name, def);
}

std::string ReadOnlyStore::ReadString(const std::string& name, const std::string& def) const {
    return m_pInner->ReadString(name, def);
}
