#include "host/program_win.h"

#include <windows.h>

#include "host/command_search.h"
#include "host/path_text.h"
#include "host/text_encoding_win.h"

namespace host {

std::string ProgramPath() {
    // Grow the buffer until the whole path fits: paths may exceed MAX_PATH.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramFolder() { return FolderOf(ProgramPath()); }

std::string ProgramName() { return StripExtension(FileNameOf(ProgramPath())); }

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string EnvironmentVariable(const std::string& name) {
    const std::wstring wideName = Widen(name);
    const DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    value.resize(length < size ? length : 0);
    return Narrow(value);
}

std::string TempFolder() {
    const DWORD size = ::GetTempPathW(0, nullptr);
    if (size == 0) return {};
    std::wstring folder(size, L'\0');
    const DWORD length = ::GetTempPathW(size, folder.data());
    folder.resize(length < size ? length : 0);
    return Narrow(folder);
}

bool MakeFolders(const std::string& folder) {
    // Each level from the first below the drive root ("C:\\"), the folder itself last.
    const std::string path = WithOneTrailingBackslash(folder);
    bool made = false;
    for (size_t end = path.find('\\', 3); end != std::string::npos;
         end = path.find('\\', end + 1)) {
        made = ::CreateDirectoryW(Widen(path.substr(0, end)).c_str(), nullptr) ||
               ::GetLastError() == ERROR_ALREADY_EXISTS;
    }
    return made;
}

std::string SystemFolder() {
    const UINT size = ::GetSystemDirectoryW(nullptr, 0);  // NUL included
    if (size == 0) return {};
    std::wstring folder(size, L'\0');
    const UINT length = ::GetSystemDirectoryW(folder.data(), size);
    if (length == 0 || length >= size) return {};
    folder.resize(length);
    return Narrow(folder);
}

std::string SystemProgramPath(const std::string& fileName) {
    const std::string folder = SystemFolder();
    if (folder.empty()) return fileName;
    return WithOneTrailingBackslash(folder) + fileName;
}

std::string FindOnSearchPath(const std::string& name) {
    for (const std::string& candidate :
         SearchPathCandidates(name, EnvironmentVariable("PATH"), EnvironmentVariable("PATHEXT"))) {
        const DWORD attributes = ::GetFileAttributesW(Widen(candidate).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return candidate;
    }
    return {};
}

}  // namespace host
