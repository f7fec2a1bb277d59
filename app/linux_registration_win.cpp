#include "app/linux_registration_win.h"

#include <windows.h>

#include <chrono>

#include "host/unique_win.h"
#include "host/wait_win.h"
#include "wine/registration_win.h"
#include "wine/wine_detect_win.h"

namespace app {
namespace {

// The registration writes a few small files and starts its Unix commands without waiting for
// them; far less than this even on a busy machine.
constexpr std::chrono::seconds kRegistrationLimit{30};

host::UniqueHandle& RegistrationThread() {
    static host::UniqueHandle thread;
    return thread;
}

DWORD WINAPI RegisterSilently(void*) {
    // Nothing may unwind out of a thread procedure.
    try {
        wine::RegisterLinuxApp(false, false, "");
    } catch (...) {
    }
    return 0;
}

}  // namespace

void StartSilentRegistration() {
    static bool started = false;
    if (started || !wine::IsWine()) return;
    started = true;
    RegistrationThread().Reset(::CreateThread(nullptr, 0, RegisterSilently, nullptr, 0, nullptr));
    // Without a thread the window is already up: registering here only delays its first input.
    if (!RegistrationThread()) RegisterSilently(nullptr);
}

void AwaitSilentRegistration(bool dispatching) {
    host::UniqueHandle& thread = RegistrationThread();
    if (!thread) return;
    if (dispatching) {
        if (host::WaitDispatching(thread.Get(), kRegistrationLimit) != host::WaitResult::Signalled)
            return;
    } else if (::WaitForSingleObject(
                   thread.Get(),
                   static_cast<DWORD>(std::chrono::milliseconds(kRegistrationLimit).count())) !=
               WAIT_OBJECT_0) {
        return;
    }
    thread.Reset();
}

}  // namespace app
