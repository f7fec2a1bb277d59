// Common-controls initialisation and system file versions, exported by name from the exe.
#pragma once

#include <cstdint>

extern "C" {
__declspec(dllexport) double GETSYSFILEVER(const char* fileName);
__declspec(dllexport) double INITCOMCTL32(std::int32_t classes);
}
