#include "app/icon_convert_win.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/icon_command.h"
#include "app/icon_preview_win.h"
#include "app/state_win.h"
#include "host/command_runner_win.h"
#include "host/message_box_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/whole_file_win.h"
#include "imaging/icon_file.h"
#include "wine/drive_map_win.h"
#include "wine/unix_bridge_win.h"
#include "wine/wine_detect_win.h"

namespace app {
namespace {

constexpr int kLimitSeconds = 60;
// A little longer than the converter's own limit, so that normally its answer ends the wait.
constexpr std::chrono::seconds kWaitLimit{kLimitSeconds + 5};
// A converted icon takes a few hundred kilobytes.
constexpr std::size_t kMaxIconBytes = 16 * 1024 * 1024;

enum class Outcome { Converted, Failed, ConverterMissing };

struct Conversion {
    Outcome outcome = Outcome::Failed;
    std::string icon;  // the checked .ico bytes, when converted
};

// A folder of the conversion's own in TEMP, where the converter reads and writes under our
// names only. Removed with everything in it (the image in it is a hard link or a copy), so that
// output coming after the limit has nowhere to go.
class ConversionFolder {
public:
    ConversionFolder() {
        static unsigned runs = 0;
        const std::string temp = host::TempFolder();
        if (temp.empty()) return;
        for (int attempt = 0; attempt < 16 && path_.empty(); ++attempt) {
            const std::string path = temp + ConversionFolderName(::GetCurrentProcessId(), ++runs);
            if (::CreateDirectoryW(host::Widen(path).c_str(), nullptr)) path_ = path + "\\";
        }
    }
    ~ConversionFolder() {
        if (path_.empty()) return;
        WIN32_FIND_DATAW entry{};
        const std::wstring folder = host::Widen(path_);
        if (host::UniqueFind find(::FindFirstFileW((folder + L"*").c_str(), &entry)); find) {
            do {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ::DeleteFileW((folder + entry.cFileName).c_str());
            } while (::FindNextFileW(find.Get(), &entry));
        }
        ::RemoveDirectoryW(folder.c_str());
    }
    ConversionFolder(const ConversionFolder&) = delete;
    ConversionFolder& operator=(const ConversionFolder&) = delete;

    bool Made() const { return !path_.empty(); }
    // With its trailing backslash.
    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + std::string(name); }

private:
    std::string path_;
};

// The Linux convert through the Unix bridge.
std::optional<int> RunUnixConvert(const ConversionFolder& folder, const std::string& image) {
    const std::string unixFolder =
        wine::ToUnixPath(folder.Path().substr(0, folder.Path().size() - 1));
    const std::string unixImage = wine::ToUnixPath(image);
    if (unixFolder.empty() || unixImage.empty()) return std::nullopt;
    wine::UnixRun run =
        wine::StartUnixCommand(UnixConvertScript(unixFolder, unixImage, kLimitSeconds));
    return run.Wait(kWaitLimit);
}

// magick through the command interpreter, hidden, in the conversion's folder. The interpreter and
// whatever it starts belong to a job that is ended at the limit.
std::optional<int> RunMagick(const ConversionFolder& folder, const std::string& image) {
    const std::wstring input = host::Widen(folder.File(kConvertInputName));
    const std::wstring wideImage = host::Widen(image);
    // A hard link costs nothing; across volumes a copy does the same.
    if (!::CreateHardLinkW(input.c_str(), wideImage.c_str(), nullptr) &&
        !::CopyFileW(wideImage.c_str(), input.c_str(), TRUE)) {
        return std::nullopt;
    }
    host::UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job)
        ::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                  sizeof limits);

    const std::optional<host::StartedProcess> started =
        host::StartHiddenProcess("cmd.exe /d /c " + WindowsConvertCommand(), folder.Path(), true);
    if (!started || !started->process) return std::nullopt;
    const HANDLE process = started->process.Get();
    if (job) ::AssignProcessToJobObject(job.Get(), process);
    ::ResumeThread(started->thread.Get());
    if (!host::WaitForExitWithin(process, kWaitLimit)) return std::nullopt;
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process, &exitCode)) return std::nullopt;
    return static_cast<int>(exitCode);
}

Conversion Convert(const std::string& image, IconConverter converter) {
    const ConversionFolder folder;
    if (!folder.Made()) return {};
    const std::optional<int> status = converter == IconConverter::UnixConvert
                                          ? RunUnixConvert(folder, image)
                                          : RunMagick(folder, image);
    if (!status) return {};
    if (*status == kShellCommandNotFound || *status == kCmdCommandNotFound)
        return {Outcome::ConverterMissing, {}};
    if (*status != 0) return {};
    // Success is the exit status and a whole icon with the nine sizes, read back.
    std::optional<std::string> icon =
        host::ReadWholeFile(folder.File(kConvertOutputName), kMaxIconBytes + 1);
    if (!icon || icon->size() > kMaxIconBytes) return {};
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(icon->data()),
                                              icon->size());
    const std::optional<std::vector<int>> sizes = imaging::CompleteIconSizes(bytes);
    if (!sizes || !std::equal(sizes->begin(), sizes->end(), kIconSizes.begin(), kIconSizes.end()))
        return {};
    return {Outcome::Converted, std::move(*icon)};
}

void Show(const Conversion& conversion, const std::string& target) {
    switch (conversion.outcome) {
        case Outcome::Converted:
            if (!host::ReplaceWholeFile(target, conversion.icon)) break;
            IconSource = target;
            RefreshIconPreview();
            return;
        case Outcome::ConverterMissing:
            host::ShowMessageBox(MainDialog, kImageMagickMissingText, MB_OK | MB_ICONEXCLAMATION);
            return;
        case Outcome::Failed:
            break;
    }
    ::MessageBeep(0);
}

struct Request {
    std::string image;
    std::string target;
    IconConverter converter;
};

// The waits above dispatch messages, so a drop or a click can call ConvertIcon again while a
// conversion runs. Such a call leaves its image here for the running call to convert next, and
// counts as a choice: a result is shown only when no choice came after the one it answers.
struct Pending {
    bool converting = false;
    std::optional<Request> next;
    unsigned choices = 0;
};

Pending& PendingConversions() {
    static Pending pending;
    return pending;
}

}  // namespace

void ConvertIcon(const std::string& image) {
    ConvertIcon(image, wine::IsWine() ? IconConverter::UnixConvert : IconConverter::WindowsMagick);
}

void ConvertIcon(const std::string& image, IconConverter converter) {
    std::optional<std::string> target = IconTargetPath(image);
    if (!target) {
        ::MessageBeep(0);
        return;
    }
    Pending& pending = PendingConversions();
    ++pending.choices;
    pending.next = Request{image, std::move(*target), converter};
    if (pending.converting) return;

    pending.converting = true;
    while (pending.next) {
        const Request request = std::move(*pending.next);
        pending.next.reset();
        const unsigned choice = pending.choices;
        const Conversion conversion = Convert(request.image, request.converter);
        if (pending.choices == choice) Show(conversion, request.target);
    }
    pending.converting = false;
}

void DropPendingIconConversions() {
    Pending& pending = PendingConversions();
    ++pending.choices;
    pending.next.reset();
}

}  // namespace app
