// The silent Linux registration of the start-up, run beside the visible window.
#pragma once

namespace app {

// Under Wine, starts the silent registration on a thread of its own: its file work and Unix
// commands then never hold up the window. Once per process; nothing outside Wine.
void StartSilentRegistration();
// Returns once the silent registration has ended (at once when none was started). Dispatching
// keeps this thread's window answering meanwhile.
void AwaitSilentRegistration(bool dispatching);

}  // namespace app
