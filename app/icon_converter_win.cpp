#include "app/icon_converter_win.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/icon_command.h"
#include "host/command_runner_win.h"
#include "host/command_search.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/whole_file_win.h"
#include "imaging/byte_reader.h"
#include "imaging/icon_file.h"
#include "wine/drive_map_win.h"
#include "wine/unix_bridge_win.h"

namespace app {
namespace {

constexpr int kLimitSeconds = 60;
// A little longer than the converter's own limit, so that normally its answer ends the wait.
constexpr std::chrono::seconds kWaitLimit{kLimitSeconds + 5};
// How long a close waits for an ended magick to let go of its files.
constexpr DWORD kEndedWaitMs = 2000;
// A converted icon takes a few hundred kilobytes.
constexpr std::size_t kMaxIconBytes = 16 * 1024 * 1024;

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
    ~ConversionFolder() { Remove(); }
    ConversionFolder(const ConversionFolder&) = delete;
    ConversionFolder& operator=(const ConversionFolder&) = delete;

    bool Made() const { return !path_.empty(); }
    // With its trailing backslash.
    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + std::string(name); }

    void Remove() {
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
        path_.clear();
    }

private:
    std::string path_;
};

}  // namespace

// Everything a conversion runs on, kept together so that a close, handled during the wait, can
// end it from outside: magick and its job, or the Unix run, and the folder.
struct RunningConversion {
    IconConverter converter = IconConverter::UnixConvert;
    ConversionFolder folder;
    bool started = false;
    // Known at the start: no magick on the search path.
    bool converterMissing = false;
    host::UniqueHandle job;
    host::UniqueHandle process;
    wine::UnixRun run;

    void End() {
        if (job) ::TerminateJobObject(job.Get(), 1);
        if (process) ::WaitForSingleObject(process.Get(), kEndedWaitMs);
        run.GiveUp();
        // The Unix script watches its image's name in the folder: convert ends when it goes.
        folder.Remove();
    }
};

namespace {

// The Linux convert through the Unix bridge.
bool StartUnixConvert(RunningConversion& running, const std::string& image,
                      imaging::PictureFormat format, wine::UnixStandby* standby) {
    const std::string& path = running.folder.Path();
    const std::string unixFolder = wine::ToUnixPath(path.substr(0, path.size() - 1));
    const std::string unixImage = wine::ToUnixPath(image);
    if (unixFolder.empty() || unixImage.empty()) return false;
    running.run = wine::StartUnixCommand(
        UnixConvertScript(unixFolder, unixImage, kLimitSeconds, format), standby);
    return running.run.Started();
}

// magick, found on the search path, hidden, in the conversion's folder (a batch file through the
// system's command interpreter). It and whatever it starts belong to a job that is ended at the
// limit or at a close.
bool StartMagick(RunningConversion& running, const std::string& image,
                 imaging::PictureFormat format) {
    const std::string magick = host::FindOnSearchPath("magick");
    if (magick.empty()) {
        running.converterMissing = true;
        return true;
    }
    const std::wstring input = host::Widen(running.folder.File(kConvertInputName));
    const std::wstring wideImage = host::Widen(image);
    // A hard link costs nothing; across volumes a copy does the same.
    if (!::CreateHardLinkW(input.c_str(), wideImage.c_str(), nullptr) &&
        !::CopyFileW(wideImage.c_str(), input.c_str(), TRUE)) {
        return false;
    }
    running.job.Reset(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (running.job)
        ::SetInformationJobObject(running.job.Get(), JobObjectExtendedLimitInformation, &limits,
                                  sizeof limits);

    const std::string line = host::ProgramCommandLine(host::SystemProgramPath("cmd.exe"), magick,
                                                      MagickArguments(format));
    std::optional<host::StartedProcess> started =
        host::StartHiddenProcess(line, running.folder.Path(), true);
    if (!started || !started->process) return false;
    running.process = std::move(started->process);
    if (running.job) ::AssignProcessToJobObject(running.job.Get(), running.process.Get());
    ::ResumeThread(started->thread.Get());
    return true;
}

// The converter's exit status once it has ended; nullopt when it could not run or was ended.
// kShellCommandNotFound when there is no magick.
std::optional<int> WaitForConverter(RunningConversion& running) {
    if (!running.started) return std::nullopt;
    if (running.converterMissing) return kShellCommandNotFound;
    if (running.converter == IconConverter::UnixConvert) return running.run.Wait(kWaitLimit);
    const HANDLE process = running.process.Get();
    if (!host::WaitForExitWithin(process, kWaitLimit)) return std::nullopt;
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process, &exitCode)) return std::nullopt;
    return static_cast<int>(exitCode);
}

// The started conversion not yet waited for to its end, for EndRunningConversion.
RunningConversion*& Running() {
    static RunningConversion* running = nullptr;
    return running;
}

}  // namespace

void EndConversion::operator()(RunningConversion* running) const {
    if (Running() == running) Running() = nullptr;
    running->End();
    delete running;
}

StartedConversion StartConversion(const std::string& image, imaging::PictureFormat format,
                                  IconConverter converter, wine::UnixStandby* standby) {
    // One conversion runs at a time: one still running ends here.
    EndRunningConversion();
    StartedConversion running(new RunningConversion);
    running->converter = converter;
    if (!running->folder.Made()) return running;
    running->started = converter == IconConverter::UnixConvert
                           ? StartUnixConvert(*running, image, format, standby)
                           : StartMagick(*running, image, format);
    if (running->started) Running() = running.get();
    return running;
}

Conversion FinishConversion(StartedConversion started) {
    RunningConversion& running = *started;
    const std::optional<int> status = WaitForConverter(running);
    Running() = nullptr;
    if (!status) return {};
    if (*status == kShellCommandNotFound || *status == kCmdCommandNotFound)
        return {Outcome::ConverterMissing, {}};
    if (*status != 0 || !running.folder.Made()) return {};
    // Success is the exit status and a whole icon with the nine sizes, read back.
    std::optional<std::string> icon =
        host::ReadWholeFile(running.folder.File(kConvertOutputName), kMaxIconBytes + 1);
    if (!icon || icon->size() > kMaxIconBytes) return {};
    const std::optional<std::vector<int>> sizes =
        imaging::CompleteIconSizes(imaging::BytesOf(*icon));
    if (!sizes || !std::equal(sizes->begin(), sizes->end(), kIconSizes.begin(), kIconSizes.end()))
        return {};
    return {Outcome::Converted, std::move(*icon)};
}

Conversion Convert(const std::string& image, imaging::PictureFormat format,
                   IconConverter converter) {
    return FinishConversion(StartConversion(image, format, converter));
}

void EndRunningConversion() {
    if (Running()) Running()->End();
}

}  // namespace app
