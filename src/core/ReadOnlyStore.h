#pragma once

#include "core/ProfileStore.h"

#include <memory>

// The user's settings, read but never written: a render or a benchmark changes nothing the
// saver finds (neither the frame-rate record nor the alphabetical image position).
//
// With fixedRecord, a store that holds no frame-rate record yet reads as 25 frames per
// second at 2500 polygons, so a seed replays the same picture instead of depending on how
// fast a first-run speed test happened to be.
class ReadOnlyStore : public ProfileStore {
public:
    ReadOnlyStore(std::unique_ptr<ProfileStore> inner, bool fixedRecord);

    int ReadInt(const std::string& name, int def) const override;
    std::string ReadString(const std::string& name, const std::string& def) const override;
    void WriteGroup(const std::vector<ProfileValue>&) override {}
    std::string ReadFolders() const override { return m_pInner->ReadFolders(); }
    void WriteFolders(const std::string&) override {}

    static constexpr int RecordFramesPerSecond = 25;
    static constexpr int RecordPolygons = 2500;

private:
    std::unique_ptr<ProfileStore> m_pInner;
    bool m_bFixRecord = false;
};
