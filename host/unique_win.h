// Move-only owners for Win32 handles. Every handle the program opens is held by one of these,
// so no code path (early return included) can leak or double-close it.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <utility>

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

    Type Get() const noexcept { return v_; }
    Type Release() noexcept { return std::exchange(v_, Traits::Invalid()); }
    void Reset(Type v = Traits::Invalid()) noexcept {
        if (v_ != Traits::Invalid()) Traits::Close(v_);
        v_ = v;
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
struct BrushTraits {
    using Type = HBRUSH;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};
struct GlobalTraits {
    using Type = HGLOBAL;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::GlobalFree(h); }
};

using UniqueFile = Unique<FileTraits>;
using UniqueHandle = Unique<HandleTraits>;
using UniqueFind = Unique<FindTraits>;
using UniqueIcon = Unique<IconTraits>;
using UniqueModule = Unique<ModuleTraits>;
using UniqueBrush = Unique<BrushTraits>;
using UniqueGlobal = Unique<GlobalTraits>;

// COM for the calling thread; uninitialises only when the initialisation succeeded.
class ComScope {
public:
    ComScope() noexcept : hr_(::CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    HRESULT Result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

}  // namespace host
