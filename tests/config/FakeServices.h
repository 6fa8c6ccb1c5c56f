#pragma once

#include "config/ConfigServices.h"
#include "config/tvFolderBrowser.h"

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// A folder picker that gives the answers a test queued, and notes the titles it was shown.
class ScriptedBrowser : public tvFolderBrowser {
public:
    void Answer(std::optional<std::string> folder) { m_Answers.push_back(std::move(folder)); }
    std::vector<std::string> titles;

protected:
    bool Pick(const std::string& title, std::string& path) override {
        titles.push_back(title);
        if (m_Answers.empty() || !m_Answers.front()) {
            if (!m_Answers.empty())
                m_Answers.pop_front();
            return false;
        }
        path = *m_Answers.front();
        m_Answers.pop_front();
        return true;
    }

private:
    std::deque<std::optional<std::string>> m_Answers;
};

// The pages' host for behaviour tests: boxes and previews are recorded, posted calls wait
// in a queue until the test pumps it on its own thread.
class FakeServices : public ConfigServices {
public:
    ScriptedBrowser browser;
    std::vector<std::pair<std::string, std::string>> messages;
    std::vector<std::string> previews;
    int helpCount = 0;
    int busyCount = 0;
    // Runs on the posting thread with the number of calls posted so far.
    std::function<void(int)> onPost;

    tvFolderBrowser& FolderBrowser() override { return browser; }
    void ShowHelp() override { ++helpCount; }
    void Message(const std::string& caption, const std::string& text) override {
        messages.emplace_back(caption, text);
    }
    void RunPreview(const std::string& folder) override { previews.push_back(folder); }
    void SetBusy(bool busy) override { busyCount += busy ? 1 : 0; }
    void Post(std::function<void()> call) override {
        int posted = 0;
        {
            const std::lock_guard lock(m_Mutex);
            m_Queue.push_back(std::move(call));
            posted = ++m_Posted;
        }
        if (onPost)
            onPost(posted);
    }

    // Runs the calls queued so far; returns how many ran.
    int Pump() {
        std::deque<std::function<void()>> calls;
        {
            const std::lock_guard lock(m_Mutex);
            calls.swap(m_Queue);
        }
        for (auto& call : calls)
            call();
        return static_cast<int>(calls.size());
    }
    // Pumps until done() or the time is up; true when done() held.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            if (Pump() == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    int Posted() {
        const std::lock_guard lock(m_Mutex);
        return m_Posted;
    }

private:
    std::mutex m_Mutex;
    std::deque<std::function<void()>> m_Queue;
    int m_Posted = 0;
};
