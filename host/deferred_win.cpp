#include "host/deferred_win.h"

namespace host::deferred {
namespace {

constexpr wchar_t kCommonDialogs[] = L"comdlg32.dll";
constexpr wchar_t kCom[] = L"ole32.dll";

constexpr HRESULT kMissing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

}  // namespace

BOOL GetOpenFileNameW(OPENFILENAMEW* ofn) noexcept {
    static auto* const function =
        Find<decltype(::GetOpenFileNameW)>(kCommonDialogs, "GetOpenFileNameW");
    return function != nullptr ? function(ofn) : FALSE;
}

BOOL GetSaveFileNameW(OPENFILENAMEW* ofn) noexcept {
    static auto* const function =
        Find<decltype(::GetSaveFileNameW)>(kCommonDialogs, "GetSaveFileNameW");
    return function != nullptr ? function(ofn) : FALSE;
}

HRESULT CoInitialize(void* reserved) noexcept {
    static auto* const function = Find<decltype(::CoInitialize)>(kCom, "CoInitialize");
    return function != nullptr ? function(reserved) : kMissing;
}

void CoUninitialize() noexcept {
    static auto* const function = Find<decltype(::CoUninitialize)>(kCom, "CoUninitialize");
    if (function != nullptr) function();
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         void** object) noexcept {
    static auto* const function = Find<decltype(::CoCreateInstance)>(kCom, "CoCreateInstance");
    return function != nullptr ? function(clsid, outer, context, iid, object) : kMissing;
}

void CoTaskMemFree(void* block) noexcept {
    static auto* const function = Find<decltype(::CoTaskMemFree)>(kCom, "CoTaskMemFree");
    if (function != nullptr) function(block);
}

HRESULT CreateStreamOnHGlobal(HGLOBAL global, BOOL deleteOnRelease, IStream** stream) noexcept {
    static auto* const function =
        Find<decltype(::CreateStreamOnHGlobal)>(kCom, "CreateStreamOnHGlobal");
    return function != nullptr ? function(global, deleteOnRelease, stream) : kMissing;
}

HRESULT CLSIDFromString(const wchar_t* text, CLSID* clsid) noexcept {
    static auto* const function = Find<decltype(::CLSIDFromString)>(kCom, "CLSIDFromString");
    return function != nullptr ? function(text, clsid) : kMissing;
}

int StringFromGUID2(REFGUID guid, wchar_t* text, int chars) noexcept {
    static auto* const function = Find<decltype(::StringFromGUID2)>(kCom, "StringFromGUID2");
    return function != nullptr ? function(guid, text, chars) : 0;
}

}  // namespace host::deferred
