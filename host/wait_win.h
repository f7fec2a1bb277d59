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

// Runs `work` on a thread of its own and returns once it has ended, dispatching this thread's
// messages meanwhile: for file work that must not freeze the window. `work` must leave its
// results where the caller looks, and may find its own caller's messages handled meanwhile.
// Runs it here when no thread can be made.
void RunDispatching(const std::function<void()>& work);

}  // namespace host
