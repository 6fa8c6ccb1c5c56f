#include "host/win32/CallQueue.h"

#include <memory>

CallQueue::CallQueue() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassExA(&wc); // fails harmlessly when registered before
    m_Hwnd =
        CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

CallQueue::~CallQueue() {
    // Calls still queued are dropped, as the pages they would reach are gone.
    MSG msg;
    while (PeekMessageA(&msg, m_Hwnd, kRun, kRun, PM_REMOVE))
        std::unique_ptr<Call>(reinterpret_cast<Call*>(msg.lParam));
    DestroyWindow(m_Hwnd);
}

void CallQueue::Post(std::function<void()> call) const {
    auto owned = std::make_unique<Call>(std::move(call));
    if (m_Hwnd != nullptr && PostMessageA(m_Hwnd, kRun, 0, reinterpret_cast<LPARAM>(owned.get())))
        owned.release(); // the window procedure owns it now
}

LRESULT CALLBACK CallQueue::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kRun)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    const std::unique_ptr<Call> call(reinterpret_cast<Call*>(lParam));
    (*call)();
    return 0;
}
