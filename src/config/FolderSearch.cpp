#include "config/FolderSearch.h"

#include "core/StopRequest.h"
#include "images/tvFolder.h"

#include <system_error>

FolderSearch::~FolderSearch() {
    Stop();
}

bool FolderSearch::Start(const std::string& root, const std::string& patterns, Notify progress,
                         Notify finished) {
    if (IsActive())
        return false;
    m_pShared = std::make_shared<Shared>();
    m_pShared->searching = true;
    try {
        m_Thread =
            std::thread(Run, m_pShared, root, patterns, std::move(progress), std::move(finished));
    } catch (const std::system_error&) {
        return false; // no thread to be had: the page stays as it was
    }
    return true;
}

void FolderSearch::Run(std::shared_ptr<Shared> shared, std::string root, std::string patterns,
                       Notify progress, Notify finished) {
    const auto status = [&](const std::string& folder) {
        bool notify = false;
        {
            const std::lock_guard lock(shared->mutex);
            shared->status = folder;
            notify = shared->statusTaken;
            shared->statusTaken = false;
        }
        if (notify && progress)
            progress();
    };
    std::vector<std::string> results;
    try {
        tvFolder(root).SearchTree(patterns, results, false, true, false, status,
                                  &shared->searching);
    } catch (...) {
        // Out of memory in a huge tree: what was found so far still counts.
    }
    {
        const std::lock_guard lock(shared->mutex);
        // A walk an ending run cut short found only part of the folders: none are kept.
        if (shared->searching && !StopRequest::Raised())
            shared->results = std::move(results);
        shared->done = true;
        shared->searching = false;
    }
    shared->ended.notify_all();
    if (finished)
        finished();
}

bool FolderSearch::Stop(std::chrono::milliseconds grace) {
    if (!IsActive())
        return false;
    {
        std::unique_lock lock(m_pShared->mutex);
        m_pShared->searching = false;
        m_pShared->ended.wait_for(lock, grace, [this] { return m_pShared->done; });
        m_pShared->results.clear();
    }
    m_Thread.join();
    m_pShared->results.clear();
    return true;
}

std::vector<std::string> FolderSearch::Finish() {
    if (!IsActive())
        return {};
    m_Thread.join();
    const std::lock_guard lock(m_pShared->mutex);
    return std::move(m_pShared->results);
}

std::string FolderSearch::TakeStatus() {
    if (!m_pShared)
        return std::string();
    const std::lock_guard lock(m_pShared->mutex);
    m_pShared->statusTaken = true;
    return m_pShared->status;
}
