#pragma once

#include <windows.h>

#include <functional>

// Runs calls queued from any thread on the sheet's thread, through a message-only window.
class CallQueue {
public:
    CallQueue();
    ~CallQueue();
    CallQueue(const CallQueue&) = delete;
    CallQueue& operator=(const CallQueue&) = delete;

    void Post(std::function<void()> call) const;

private:
    using Call = std::function<void()>;
    static constexpr UINT kRun = WM_APP + 1;
    static constexpr const char* kClass = "KinetoraCallQueue";

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_Hwnd = nullptr;
};
