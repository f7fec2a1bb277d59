// For code exported from the executable: makes sure the module is usable when it is entered
// from a process that loaded it as a library.
#pragma once

namespace host {

// Relocates this module and binds its import table when the loader did not. Wine's loader does
// both for an .exe only when it starts a process with it, not when another process loads it as
// a library (at another address, since the caller's own .exe sits at the usual one); then every
// stored address and every call through the import table would point into the void. Cheap
// once done. Uses no imported function, no stored address and no run-time support itself.
void PrepareOwnImage();

}  // namespace host
