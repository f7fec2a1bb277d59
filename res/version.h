// The program's version, in one place: the caption, the shortcut's description, the version
// resource and the release's file name (scripts/release) all take it from here. Plain
// preprocessor text, for the resource compiler as much as for C++.
#pragma once

#define LUMORA_VERSION_MAJOR 1
#define LUMORA_VERSION_MINOR 6

#define LUMORA_TEXT_OF(x) #x
#define LUMORA_TEXT(x) LUMORA_TEXT_OF(x)
#define LUMORA_VERSION LUMORA_TEXT(LUMORA_VERSION_MAJOR) "." LUMORA_TEXT(LUMORA_VERSION_MINOR)
