// The one way this program waits: the window keeps answering while it does.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

namespace host {

enum class WaitResult { Signalled, TimedOut, Quit };

// Waits for `handle` (or only for `limit`, when it is null) while dispatching this thread's
// messages. Queued messages are handled first, so a limit of 0 just empties the queue. A WM_QUIT
// taken from the queue belongs to the loop that owns it: it is held while the wait goes on,
// posted again when the wait ends, and the answer is then Quit.
WaitResult WaitDispatching(HANDLE handle, std::chrono::milliseconds limit);

// The same, asking `done` before the first wait and then at least every 50 ms: Signalled once it
// answers true.
WaitResult WaitDispatchingUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

}  // namespace host
