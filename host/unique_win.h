// Move-only owners for Win32 handles and scope guards. Every handle the program opens is held by
// one of these, so no code path (early return included) can leak or double-close it.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shtypes.h>

#include <string>
#include <utility>

#include "host/deferred_win.h"

namespace host {

template <class Traits>
class Unique {
public:
    using Type = typename Traits::Type;

    Unique() noexcept = default;
    explicit Unique(Type v) noexcept : v_(v) {}
    Unique(Unique&& o) noexcept : v_(o.Release()) {}
    Unique& operator=(Unique&& o) noexcept {
        Reset(o.Release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { Reset(); }

    const Type& Get() const noexcept { return v_; }
    Type Release() noexcept { return std::exchange(v_, Traits::Invalid()); }
    void Reset(Type v = Traits::Invalid()) noexcept {
        if (v_ != Traits::Invalid()) Traits::Close(v_);
        v_ = std::move(v);
    }
    explicit operator bool() const noexcept { return v_ != Traits::Invalid(); }

private:
    Type v_ = Traits::Invalid();
};

// CreateFile answers INVALID_HANDLE_VALUE on failure, most other kernel calls answer NULL:
// the two kinds are kept apart so that neither sentinel is ever closed.
struct FileTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct HandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct FindTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};
struct ChangeNotificationTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindCloseChangeNotification(h); }
};
// Only for icons the program created itself (LoadImage from a file, CreateIcon...): shared icons
// from LoadIcon must never be destroyed.
struct IconTraits {
    using Type = HICON;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DestroyIcon(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};
// Heap blocks of the process heap (the exported functions use no C++ run-time allocation).
struct HeapBlockTraits {
    using Type = void*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type block) noexcept { ::HeapFree(::GetProcessHeap(), 0, block); }
};
// Item lists the shell allocates for the caller (SHBrowseForFolder).
struct PidlTraits {
    using Type = ITEMIDLIST*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type pidl) noexcept { deferred::CoTaskMemFree(pidl); }
};
// A drop handed to WM_DROPFILES: DragFinish releases its memory on every way out.
struct DropTraits {
    using Type = HDROP;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type drop) noexcept { ::DragFinish(drop); }
};
// A temporary file (UTF-8 path), deleted unless Release() hands it on.
struct TempFileTraits {
    using Type = std::string;
    static Type Invalid() noexcept { return {}; }
    static void Close(const Type& path) noexcept;
};

// A flag that says an operation is under way, for operations that a message handled during
// their wait could start again.
struct BusyFlagTraits {
    using Type = bool*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type flag) noexcept { *flag = false; }
};

using UniqueFile = Unique<FileTraits>;
using UniqueHandle = Unique<HandleTraits>;
using UniqueFind = Unique<FindTraits>;
using UniqueChangeNotification = Unique<ChangeNotificationTraits>;
using UniqueIcon = Unique<IconTraits>;
using UniqueModule = Unique<ModuleTraits>;
using UniqueHeapBlock = Unique<HeapBlockTraits>;
using UniquePidl = Unique<PidlTraits>;
using DropScope = Unique<DropTraits>;
using TempFileGuard = Unique<TempFileTraits>;
using BusyScope = Unique<BusyFlagTraits>;

// Raises the flag for as long as the answer lives.
inline BusyScope MarkBusy(bool& flag) noexcept {
    flag = true;
    return BusyScope(&flag);
}

// COM for the calling thread; uninitialises only when the initialisation succeeded.
class ComScope {
public:
    ComScope() noexcept : hr_(deferred::CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) deferred::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    HRESULT Result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

}  // namespace host
