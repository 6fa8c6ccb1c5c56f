#pragma once

#include "core/MemoryProfileStore.h"

#include <string>
#include <utility>
#include <vector>

// A store whose writes fail, each with the reason given, until it is mended.
class RefusingStore : public MemoryProfileStore {
public:
    RefusingStore(std::string groupReason, std::string foldersReason)
        : m_GroupReason(std::move(groupReason)), m_FoldersReason(std::move(foldersReason)) {}

    bool refusing = true;

    void WriteGroup(const std::vector<ProfileValue>& values) override {
        if (refusing)
            NoteWriteProblem(m_GroupReason);
        else
            MemoryProfileStore::WriteGroup(values);
    }
    void WriteFolders(const std::string& text) override {
        if (refusing)
            NoteWriteProblem(m_FoldersReason);
        else
            MemoryProfileStore::WriteFolders(text);
    }

private:
    std::string m_GroupReason;
    std::string m_FoldersReason;
};
