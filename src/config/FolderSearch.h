#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The Images page's folder search: one worker thread walks a folder tree for folders that
// hold images. The page's thread starts, stops and finishes it; the worker only reads its
// own shared state and calls the two notifications, which must merely queue work for the
// page's thread (see ConfigServices::Post).
//
// The searching flag is the walk's stop flag: clearing it ends the walk within one directory
// entry. Symbolic links are not followed and unreadable folders are skipped (tvFolder).
class FolderSearch {
public:
    // Called on the worker thread.
    using Notify = std::function<void()>;

    FolderSearch() = default;
    ~FolderSearch(); // stops and joins a running search
    FolderSearch(const FolderSearch&) = delete;
    FolderSearch& operator=(const FolderSearch&) = delete;

    // Starts a walk under root for folders holding files that match patterns. progress
    // fires when a new folder is being searched and the previous one was taken
    // (TakeStatus), so at most one is outstanding; finished fires once when the walk ends,
    // stopped or not. False (and nothing started) while a search is still active.
    bool Start(const std::string& root, const std::string& patterns, Notify progress,
               Notify finished);

    // A worker has been started and not yet stopped or finished.
    bool IsActive() const { return m_Thread.joinable(); }

    // Clears the searching flag, allows the worker up to grace to notice, then joins it.
    // Returns false when no search was active. The walk's results are dropped.
    bool Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(500));

    // After `finished`: joins the worker and hands over the folders found, in walk order;
    // empty when the search was stopped.
    std::vector<std::string> Finish();

    // The folder the walk is in now; re-arms the progress notification.
    std::string TakeStatus();

private:
    struct Shared {
        std::atomic<bool> searching{false}; // cleared to stop the walk
        std::mutex mutex;                   // guards the members below
        std::condition_variable ended;
        bool done = false;
        bool statusTaken = true;
        std::string status;
        std::vector<std::string> results;
    };

    static void Run(std::shared_ptr<Shared> shared, std::string root, std::string patterns,
                    Notify progress, Notify finished);

    std::shared_ptr<Shared> m_pShared;
    std::thread m_Thread;
};
