#include "host/own_imports_win.h"

#include <windows.h>
#include <winternl.h>

// The first byte of the module this code is linked into (provided by the linker).
extern "C" char __ImageBase;

namespace host {

namespace {

using GetProcAddressFunction = FARPROC(WINAPI*)(HMODULE, LPCSTR);
using LoadLibraryFunction = HMODULE(WINAPI*)(LPCSTR);
using VirtualProtectFunction = BOOL(WINAPI*)(LPVOID, SIZE_T, DWORD, PDWORD);

// Nothing here may call through the import table or into the C run-time (not even a compiler-
// generated memset or strcmp): it runs exactly when those are not usable.

bool SameAsciiText(const char* a, const char* b) {
    for (; *a != '\0' && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

// True when the full module path ends in "\<name>" (name in lower case).
bool PathEndsWithName(const UNICODE_STRING& path, const wchar_t* name) {
    size_t nameLength = 0;
    while (name[nameLength] != L'\0') ++nameLength;
    const size_t pathLength = path.Length / sizeof(wchar_t);
    if (path.Buffer == nullptr || pathLength <= nameLength) return false;
    const wchar_t* tail = path.Buffer + (pathLength - nameLength);
    if (tail[-1] != L'\\' && tail[-1] != L'/') return false;
    for (size_t i = 0; i < nameLength; ++i) {
        if (AsciiLower(tail[i]) != name[i]) return false;
    }
    return true;
}

const BYTE* LoadedModuleBase(const wchar_t* name) {
    // x64 keeps the process environment block's address at gs:[0x60].
    const PEB* peb = nullptr;
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    if (peb == nullptr || peb->Ldr == nullptr) return nullptr;
    const LIST_ENTRY* head = &peb->Ldr->InMemoryOrderModuleList;
    for (const LIST_ENTRY* link = head->Flink; link != nullptr && link != head;
         link = link->Flink) {
        const auto* entry = CONTAINING_RECORD(link, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
        if (PathEndsWithName(entry->FullDllName, name))
            return static_cast<const BYTE*>(entry->DllBase);
    }
    return nullptr;
}

const IMAGE_NT_HEADERS* NtHeaders(const BYTE* base) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

// An exported function of a loaded module, read from its export directory; nothing for a
// forwarded export (its address names another module's function as text).
FARPROC ExportedFunction(const BYTE* base, const char* name) {
    if (base == nullptr) return nullptr;
    const IMAGE_DATA_DIRECTORY& directory =
        NtHeaders(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0) return nullptr;
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (!SameAsciiText(reinterpret_cast<const char*>(base + names[i]), name)) continue;
        const DWORD address = functions[ordinals[i]];
        const bool forwarded = address >= directory.VirtualAddress &&
                               address < directory.VirtualAddress + directory.Size;
        return forwarded ? nullptr : reinterpret_cast<FARPROC>(base + address);
    }
    return nullptr;
}

GetProcAddressFunction FindGetProcAddress() {
    FARPROC found = ExportedFunction(LoadedModuleBase(L"kernel32.dll"), "GetProcAddress");
    if (found == nullptr)
        found = ExportedFunction(LoadedModuleBase(L"kernelbase.dll"), "GetProcAddress");
    return reinterpret_cast<GetProcAddressFunction>(found);
}

// An import slot still holds what the lookup table holds (a name's address or an ordinal)
// until the loader binds it.
bool ImportsBound(const BYTE* base, const IMAGE_IMPORT_DESCRIPTOR* descriptor) {
    for (; descriptor->Name != 0; ++descriptor) {
        if (descriptor->OriginalFirstThunk == 0) continue;
        const auto* lookup =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        const auto* slot = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        if (lookup->u1.AddressOfData != 0) return slot->u1.Function != lookup->u1.AddressOfData;
    }
    return true;
}

bool prepared = false;  // plain data: no constructor needs to have run

// Holds its own address once the loader has applied the base relocations (a constant
// initialisation: no run-time code has to run for it).
constinit const void* const selfAddress = &selfAddress;

// What memory holds, not what the compiler knows the constant to be.
const void* StoredSelfAddress() { return *static_cast<const void* const volatile*>(&selfAddress); }

// Where this module really is, taken relative to the instruction pointer: an address stored as
// data (which the compiler would otherwise use) is only right after relocation.
const BYTE* ModuleBase() {
    const BYTE* base = nullptr;
    asm("leaq __ImageBase(%%rip), %0" : "=r"(base));
    return base;
}

// Adds the distance between where the module was linked to be and where it is to every
// address the image stores, as the loader does when it maps a module elsewhere.
bool ApplyRelocations(const BYTE* base, LONGLONG delta, VirtualProtectFunction virtualProtect) {
    const IMAGE_DATA_DIRECTORY& directory =
        NtHeaders(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
    if (directory.VirtualAddress == 0) return false;
    const BYTE* block = base + directory.VirtualAddress;
    const BYTE* end = block + directory.Size;
    while (block + sizeof(IMAGE_BASE_RELOCATION) <= end) {
        const auto* header = reinterpret_cast<const IMAGE_BASE_RELOCATION*>(block);
        if (header->SizeOfBlock < sizeof(IMAGE_BASE_RELOCATION)) return false;
        BYTE* page = const_cast<BYTE*>(base) + header->VirtualAddress;
        const auto* entry = reinterpret_cast<const WORD*>(block + sizeof(IMAGE_BASE_RELOCATION));
        const auto* entriesEnd = reinterpret_cast<const WORD*>(block + header->SizeOfBlock);
        for (; entry < entriesEnd; ++entry) {
            const int type = *entry >> 12;
            if (type != IMAGE_REL_BASED_DIR64 && type != IMAGE_REL_BASED_HIGHLOW) continue;
            BYTE* target = page + (*entry & 0xFFF);
            const SIZE_T size = type == IMAGE_REL_BASED_DIR64 ? 8 : 4;
            // The page may hold this very code: it stays executable while it is written.
            DWORD protection = 0;
            if (!virtualProtect(target, size, PAGE_EXECUTE_READWRITE, &protection)) return false;
            if (type == IMAGE_REL_BASED_DIR64) {
                *reinterpret_cast<ULONGLONG*>(target) += static_cast<ULONGLONG>(delta);
            } else {
                *reinterpret_cast<DWORD*>(target) += static_cast<DWORD>(delta);
            }
            virtualProtect(target, size, protection, &protection);
        }
        block += header->SizeOfBlock;
    }
    return true;
}

bool BindImports(const BYTE* base, GetProcAddressFunction getProcAddress,
                 LoadLibraryFunction loadLibrary, VirtualProtectFunction virtualProtect) {
    const IMAGE_DATA_DIRECTORY& directory =
        NtHeaders(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return true;
    const auto* descriptor =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    if (ImportsBound(base, descriptor)) return true;
    for (; descriptor->Name != 0; ++descriptor) {
        if (descriptor->OriginalFirstThunk == 0) continue;
        const HMODULE module = loadLibrary(reinterpret_cast<const char*>(base + descriptor->Name));
        if (module == nullptr) return false;
        const auto* lookup =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slot =
            reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<BYTE*>(base) + descriptor->FirstThunk);
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++slot) {
            const char* name =
                IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)
                    ? reinterpret_cast<const char*>(IMAGE_ORDINAL(lookup->u1.Ordinal))
                    : reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData)
                          ->Name;
            // A function this system lacks stays unbound, as the rest of the module may not
            // need it.
            const FARPROC function = getProcAddress(module, name);
            if (function == nullptr) continue;
            DWORD protection = 0;
            if (!virtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return false;
            slot->u1.Function = reinterpret_cast<ULONGLONG>(function);
            virtualProtect(slot, sizeof *slot, protection, &protection);
        }
    }
    return true;
}

}  // namespace

void PrepareOwnImage() {
    if (prepared) return;
    const BYTE* base = ModuleBase();
    const LONGLONG delta =
        reinterpret_cast<const BYTE*>(&selfAddress) - static_cast<const BYTE*>(StoredSelfAddress());
    const IMAGE_DATA_DIRECTORY& imports =
        NtHeaders(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const bool importsBound =
        imports.VirtualAddress == 0 ||
        ImportsBound(
            base, reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress));
    if (delta == 0 && importsBound) {
        prepared = true;
        return;
    }
    const GetProcAddressFunction getProcAddress = FindGetProcAddress();
    if (getProcAddress == nullptr) return;
    const auto kernel32 =
        reinterpret_cast<HMODULE>(const_cast<BYTE*>(LoadedModuleBase(L"kernel32.dll")));
    const auto loadLibrary =
        reinterpret_cast<LoadLibraryFunction>(getProcAddress(kernel32, "LoadLibraryA"));
    const auto virtualProtect =
        reinterpret_cast<VirtualProtectFunction>(getProcAddress(kernel32, "VirtualProtect"));
    if (loadLibrary == nullptr || virtualProtect == nullptr) return;
    if (delta != 0 && !ApplyRelocations(base, delta, virtualProtect)) return;
    if (!BindImports(base, getProcAddress, loadLibrary, virtualProtect)) return;
    prepared = true;
}

}  // namespace host
