#include "host/wait_win.h"

#include "host/unique_win.h"

namespace host {
namespace {

constexpr DWORD kPollSliceMs = 50;

bool IsDialogWindow(HWND window) {
    // WC_DIALOG is the atom 0x8002.
    return ::GetClassLongPtrW(window, GCW_ATOM) == 0x8002;
}

// As a dialog's message loop would: keyboard navigation for the dialog the message is for,
// otherwise translate and dispatch.
void RouteMessage(MSG& message) {
    const HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && IsDialogWindow(root) && ::IsDialogMessageW(root, &message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

// A WM_QUIT taken during the wait, to be posted again once the wait is over.
class HeldQuit {
public:
    HeldQuit() = default;
    HeldQuit(const HeldQuit&) = delete;
    HeldQuit& operator=(const HeldQuit&) = delete;
    ~HeldQuit() {
        if (held_) ::PostQuitMessage(static_cast<int>(code_));
    }
    void Hold(WPARAM code) noexcept {
        held_ = true;
        code_ = code;
    }
    WaitResult Answer(WaitResult result) const noexcept {
        return held_ ? WaitResult::Quit : result;
    }

private:
    bool held_ = false;
    WPARAM code_ = 0;
};

void DispatchQueued(HeldQuit& quit) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit.Hold(message.wParam);
        } else {
            RouteMessage(message);
        }
    }
}

// The loop behind both waits: `slice` bounds each sleep so that `done` is asked often enough.
WaitResult Wait(HANDLE handle, std::chrono::milliseconds limit, DWORD slice,
                const std::function<bool()>& done) {
    // Every wait has a limit; a negative one counts as none left.
    const ULONGLONG deadline = ::GetTickCount64() + (limit.count() > 0 ? limit.count() : 0);
    HeldQuit quit;
    for (;;) {
        DispatchQueued(quit);
        // A handle that cannot be waited on ends the wait too, instead of spinning.
        if (handle && ::WaitForSingleObject(handle, 0) != WAIT_TIMEOUT)
            return quit.Answer(WaitResult::Signalled);
        if (done && done()) return quit.Answer(WaitResult::Signalled);
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return quit.Answer(WaitResult::TimedOut);
        DWORD wait = static_cast<DWORD>(deadline - now);
        if (wait > slice) wait = slice;
        // MWMO_INPUTAVAILABLE: input that arrived before this call but was only seen by a
        // PeekMessage for other messages still ends the wait.
        ::MsgWaitForMultipleObjectsEx(handle ? 1 : 0, handle ? &handle : nullptr, wait, QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
    }
}

DWORD WINAPI RunWork(void* work) {
    // Nothing may leave a thread's start: a failure shows as results left unset.
    try {
        (*static_cast<const std::function<void()>*>(work))();
    } catch (...) {
    }
    return 0;
}

}  // namespace

WaitResult WaitDispatching(HANDLE handle, std::chrono::milliseconds limit) {
    return Wait(handle, limit, INFINITE, {});
}

WaitResult WaitDispatchingUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds limit) {
    return Wait(nullptr, limit, kPollSliceMs, done);
}

void RunDispatching(const std::function<void()>& work) {
    void* const argument = const_cast<std::function<void()>*>(&work);
    const UniqueHandle thread(::CreateThread(nullptr, 0, RunWork, argument, 0, nullptr));
    if (!thread) {
        RunWork(argument);
        return;
    }
    while (WaitDispatching(thread.Get(), std::chrono::hours(1)) == WaitResult::TimedOut) {
    }
    // After a quit too: the work uses what its caller holds.
    ::WaitForSingleObject(thread.Get(), INFINITE);
}

}  // namespace host
