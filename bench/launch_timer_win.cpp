// Times the program from inside the Wine session, as a user's double click would start it.
//   launch_timer starts ROUNDS BARE.exe PROGRAM.exe [FILE...]
//     per round: the bare dialog, the program with the FILEs (its registration) removed, the bare
//     dialog, the program again (now registered); each from CreateProcess to its visible window.
//   launch_timer convert ROUNDS PROGRAM.exe IMAGE...
//     per round and image: chooses the image in the program's open dialog, times OK (pressed
//     300 ms after the dialog shows) to the new icon shown, and pings the dialog with WM_NULL
//     all the while.
//   launch_timer arguments jpg|png
//     prints ImageMagick's arguments of the program's own conversion of such a picture, for the
//     bench to time that command alone.
// Prints one line per measurement and the medians; the times are in milliseconds.
#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/icon_command.h"
#include "res/version.h"

namespace {

constexpr DWORD kWindowLimitMs = 30000;
constexpr DWORD kIconLimitMs = 120000;
constexpr int kPictureId = 3154;
// OK comes this long after the open dialog shows, as a user's would: posted the moment it shows,
// it waits behind the dialog's own opening, which has nothing to do with the conversion.
constexpr DWORD kBeforeOkMs = 300;

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

std::wstring CaptionOf(const std::wstring& program) {
    std::wstring name = program.substr(program.find_last_of(L"\\/") + 1);
    if (const size_t dot = name.rfind(L'.'); dot != std::wstring::npos) name.resize(dot);
    return name + L" " LUMORA_VERSION;
}

struct WindowQuery {
    DWORD processId;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<WindowQuery*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != query->processId || !::IsWindowVisible(window)) return TRUE;
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    if (std::wstring(text) != query->caption) return TRUE;
    query->found = window;
    return FALSE;
}

HWND WaitForWindow(DWORD processId, const std::wstring& caption, DWORD limitMs) {
    const double deadline = NowMs() + limitMs;
    while (NowMs() < deadline) {
        WindowQuery query{processId, caption.c_str(), nullptr};
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
        if (query.found) return query.found;
        ::Sleep(1);
    }
    return nullptr;
}

struct Launched {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    double ms = -1;
};

// Started in its own folder, where the companion lies.
Launched Launch(const std::wstring& program) {
    Launched launched;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = L"\"" + program + L"\"";
    const double start = NowMs();
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          FolderOf(program).c_str(), &startup, &launched.process))
        return launched;
    launched.window =
        WaitForWindow(launched.process.dwProcessId, CaptionOf(program), kWindowLimitMs);
    if (launched.window) launched.ms = NowMs() - start;
    return launched;
}

void Close(Launched& launched) {
    if (!launched.process.hProcess) return;
    if (launched.window) ::PostMessageW(launched.window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(launched.process.hProcess, kWindowLimitMs) != WAIT_OBJECT_0)
        ::TerminateProcess(launched.process.hProcess, 1);
    ::CloseHandle(launched.process.hThread);
    ::CloseHandle(launched.process.hProcess);
    launched.process = {};
    // Let what the program left running (Unix commands, wineserver work) settle.
    ::Sleep(1000);
}

double TimeOneStart(const std::wstring& program) {
    Launched launched = Launch(program);
    const double ms = launched.ms;
    Close(launched);
    return ms;
}

// A path ending in a backslash names a folder whose contents go; the folder itself stays.
void RemoveContents(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveContents(folder + name + L"\\");
            ::RemoveDirectoryW((folder + name).c_str());
        } else {
            ::DeleteFileW((folder + name).c_str());
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

void Remove(const std::wstring& path) {
    if (!path.empty() && path.back() == L'\\')
        RemoveContents(path);
    else
        ::DeleteFileW(path.c_str());
}

int Starts(int rounds, const std::wstring& bare, const std::wstring& program,
           const std::vector<std::wstring>& registrationFiles) {
    std::map<std::string, std::vector<double>> times;
    auto record = [&times](const char* what, int round, double ms) {
        std::printf("round %d %-10s %8.1f\n", round, what, ms);
        std::fflush(stdout);
        if (ms >= 0) times[what].push_back(ms);
    };
    for (int round = 1; round <= rounds; ++round) {
        record("bare", round, TimeOneStart(bare));
        for (const std::wstring& path : registrationFiles) Remove(path);
        record("first", round, TimeOneStart(program));
        record("bare", round, TimeOneStart(bare));
        record("registered", round, TimeOneStart(program));
    }
    const double bareMs = Median(times["bare"]);
    const double registeredMs = Median(times["registered"]);
    const double firstMs = Median(times["first"]);
    std::printf("median starts: bare %.1f registered %.1f first %.1f\n", bareMs, registeredMs,
                firstMs);
    return bareMs < 0 || registeredMs < 0 || firstMs < 0;
}

HWND FileNameBox(HWND openDialog) {
    if (HWND combo = ::GetDlgItem(openDialog, cmb13)) return combo;
    return ::GetDlgItem(openDialog, edt1);
}

struct ConversionTiming {
    double iconMs = -1;
    double worstPingMs = -1;
    double worstPingAtMs = -1;  // when the worst ping was sent, after OK
    int slowPings = 0;
    int pings = 0;
};

ConversionTiming TimeConversion(const std::wstring& program, const std::wstring& image) {
    ConversionTiming timing;
    Launched launched = Launch(program);
    if (!launched.window) {
        Close(launched);
        return timing;
    }
    const HWND dialog = launched.window;
    const HWND picture = ::GetDlgItem(dialog, kPictureId);
    const LRESULT before = ::SendMessageW(picture, STM_GETICON, 0, 0);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kPictureId, 0),
                   reinterpret_cast<LPARAM>(picture));
    const HWND open =
        WaitForWindow(launched.process.dwProcessId, L"Select shortcut icon", kWindowLimitMs);
    if (!open) {
        Close(launched);
        return timing;
    }
    ::Sleep(kBeforeOkMs);
    ::SendMessageW(FileNameBox(open), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(image.c_str()));
    const double start = NowMs();
    ::PostMessageW(open, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(::GetDlgItem(open, IDOK)));
    while (NowMs() - start < kIconLimitMs) {
        DWORD_PTR result = 0;
        const double pingStart = NowMs();
        ::SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, kIconLimitMs, &result);
        const double pingMs = NowMs() - pingStart;
        if (pingMs > timing.worstPingMs) {
            timing.worstPingMs = pingMs;
            timing.worstPingAtMs = pingStart - start;
        }
        ++timing.pings;
        if (pingMs > 50) ++timing.slowPings;
        DWORD_PTR icon = 0;
        ::SendMessageTimeoutW(picture, STM_GETICON, 0, 0, SMTO_NORMAL, kIconLimitMs, &icon);
        if (icon != 0 && static_cast<LRESULT>(icon) != before) {
            timing.iconMs = NowMs() - start;
            break;
        }
        ::Sleep(5);
    }
    Close(launched);
    return timing;
}

std::wstring IconOf(const std::wstring& image) {
    return image.substr(0, image.rfind(L'.')) + L".ico";
}

int Conversions(int rounds, const std::wstring& program, const std::vector<std::wstring>& images) {
    bool failed = false;
    for (const std::wstring& image : images) {
        std::vector<double> iconTimes, worstPings;
        int slowPings = 0, pings = 0;
        for (int round = 1; round <= rounds; ++round) {
            ::DeleteFileW(IconOf(image).c_str());
            const ConversionTiming timing = TimeConversion(program, image);
            std::printf("round %d %ls icon %8.1f worst-ping %6.1f (at %.0f) slow-pings %d/%d\n",
                        round, image.c_str(), timing.iconMs, timing.worstPingMs,
                        timing.worstPingAtMs, timing.slowPings, timing.pings);
            std::fflush(stdout);
            if (timing.iconMs < 0) failed = true;
            if (timing.iconMs >= 0) iconTimes.push_back(timing.iconMs);
            worstPings.push_back(timing.worstPingMs);
            slowPings += timing.slowPings;
            pings += timing.pings;
        }
        std::printf("median convert: icon %.1f worst-ping %.1f max-ping %.1f slow %d/%d %ls\n",
                    Median(iconTimes), Median(worstPings),
                    *std::max_element(worstPings.begin(), worstPings.end()), slowPings, pings,
                    image.c_str());
        ::DeleteFileW(IconOf(image).c_str());
    }
    return failed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() >= 4 && args[0] == L"starts") {
        return Starts(_wtoi(args[1].c_str()), args[2], args[3],
                      std::vector<std::wstring>(args.begin() + 4, args.end()));
    }
    if (args.size() >= 4 && args[0] == L"convert") {
        return Conversions(_wtoi(args[1].c_str()), args[2],
                           std::vector<std::wstring>(args.begin() + 3, args.end()));
    }
    if (args.size() == 2 && args[0] == L"arguments") {
        const auto format =
            args[1] == L"png" ? imaging::PictureFormat::Png : imaging::PictureFormat::Jpeg;
        std::printf("%s\n", app::ConvertArguments(format).c_str());
        return 0;
    }
    std::fprintf(stderr,
                 "usage: launch_timer starts ROUNDS BARE.exe PROGRAM.exe [FILE...]\n"
                 "       launch_timer convert ROUNDS PROGRAM.exe IMAGE...\n"
                 "       launch_timer arguments jpg|png\n");
    return 2;
}
