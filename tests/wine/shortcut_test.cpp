#include "app/shortcut_win.h"

#include "host/path_text.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "tests/wine/wine_test_support.h"
#include "wine/shell_quote.h"
#include "wine/unix_bridge_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Microsoft::WRL::ComPtr;

const std::string kUnicodeName = host::Narrow(testing_support::kUnicodeName);
const std::string kDescription = "Lumora-builder test shortcut \xc2\xa9 2026";

std::string Utf8Path(const std::wstring& path) { return host::Narrow(path); }

// A fresh folder in TEMP for one test, removed afterwards.
class ShortcutTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring temp(MAX_PATH + 1, L'\0');
        temp.resize(::GetTempPathW(temp.size(), temp.data()));
        folder_ = fs::path(temp) / (L"shortcut-test-" + std::to_wstring(::GetCurrentProcessId()) +
                                    L"-" + std::to_wstring(::GetTickCount()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    fs::path Path(const std::string& utf8Name) const { return folder_ / host::Widen(utf8Name); }
    static std::string Utf8(const fs::path& path) { return host::Narrow(path.wstring()); }

    // The shortcut as the independent parser lnkinfo (liblnk) reads it, run on the Unix side.
    std::string Lnkinfo(const fs::path& lnk) const {
        return testing_support::Lnkinfo(lnk.wstring(), folder_.wstring() + L"\\");
    }

    fs::path folder_;
};

// What the shell's own link object reads back from a saved shortcut.
struct LinkFields {
    std::string target, arguments, workingDirectory, iconPath, description;
    int iconIndex = -1;
    int showCommand = -1;
};

LinkFields ReadBack(const fs::path& lnk) {
    LinkFields fields;
    host::ComScope com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(lnk.wstring().c_str(), STGM_READ))) {
        ADD_FAILURE() << "cannot load " << host::Narrow(lnk.wstring());
        return fields;
    }
    std::wstring text(INFOTIPSIZE, L'\0');
    auto take = [&text] { return host::Narrow(text.c_str()); };
    if (SUCCEEDED(link->GetPath(text.data(), text.size(), nullptr, SLGP_RAWPATH))) {
        fields.target = take();
    }
    if (SUCCEEDED(link->GetArguments(text.data(), text.size()))) fields.arguments = take();
    if (SUCCEEDED(link->GetWorkingDirectory(text.data(), text.size()))) {
        fields.workingDirectory = take();
    }
    if (SUCCEEDED(link->GetIconLocation(text.data(), text.size(), &fields.iconIndex))) {
        fields.iconPath = take();
    }
    if (SUCCEEDED(link->GetDescription(text.data(), text.size()))) fields.description = take();
    link->GetShowCmd(&fields.showCommand);
    return fields;
}

using testing_support::LnkinfoField;

// MS-SHLLINK header: ShowCommand is the 32-bit value at offset 0x3C.
int HeaderShowCommand(const std::string& bytes) {
    if (bytes.size() < 0x40) return -1;
    return static_cast<unsigned char>(bytes[0x3C]) | static_cast<unsigned char>(bytes[0x3D]) << 8;
}

std::string WithoutTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

TEST_F(ShortcutTest, StoresEveryFieldUnderUnicodeNames) {
    const fs::path lnk = Path(kUnicodeName + ".lnk");
    const fs::path work = Path(kUnicodeName);
    fs::create_directories(work);
    const fs::path icon = Path(kUnicodeName + ".ico");
    testing_support::WriteBytes(
        icon,
        testing_support::ReadBytes(host::Widen(host::ProgramFolder() + "..\\..\\res\\lumora.ico")));
    const std::string target = host::ProgramFolder() + "Lumora.exe";
    const std::string workText = Utf8(work) + "\\";
    ASSERT_TRUE(
        app::CreateShortcut(Utf8(lnk), target, "", workText, SW_SHOW, Utf8(icon), kDescription));

    {
        SCOPED_TRACE("read back by the shell link object");
        const LinkFields fields = ReadBack(lnk);
        EXPECT_EQ(host::AsciiLower(fields.target), host::AsciiLower(target));
        EXPECT_EQ(fields.arguments, "");
        EXPECT_EQ(fields.workingDirectory, workText);
        EXPECT_EQ(fields.iconPath, Utf8(icon));
        EXPECT_EQ(fields.iconIndex, 0);
        // Readers take every show command other than normal, maximised and minimised as normal
        // (MS-SHLLINK), so the stored value is checked in the header below.
        EXPECT_EQ(fields.showCommand, SW_SHOWNORMAL);
        EXPECT_EQ(fields.description, kDescription);
    }
    {
        SCOPED_TRACE("read by lnkinfo");
        const std::string report = Lnkinfo(lnk);
        SCOPED_TRACE(report);
        EXPECT_EQ(host::AsciiLower(LnkinfoField(report, "Local path")), host::AsciiLower(target));
        EXPECT_EQ(LnkinfoField(report, "Working directory"), workText);
        EXPECT_EQ(LnkinfoField(report, "Icon location"), Utf8(icon));
        EXPECT_EQ(LnkinfoField(report, "Icon index"), "0");
        EXPECT_EQ(LnkinfoField(report, "Description"), kDescription);
        // lnkinfo 20181227 prints "Show Window value: 0" for a header holding 5, so the header
        // field is read directly.
        EXPECT_EQ(HeaderShowCommand(testing_support::ReadBytes(lnk)), SW_SHOW);
    }
}

TEST_F(ShortcutTest, KeepsAnEmptyIconLocation) {
    const fs::path lnk = Path("no icon.lnk");
    ASSERT_TRUE(app::CreateShortcut(Utf8(lnk), host::ProgramFolder() + "Lumora.exe", "",
                                    Utf8(folder_), SW_SHOW, "", kDescription));
    const LinkFields fields = ReadBack(lnk);
    EXPECT_EQ(fields.iconPath, "");
    EXPECT_EQ(fields.iconIndex, 0);
    EXPECT_EQ(fields.workingDirectory, Utf8(folder_));
}

TEST_F(ShortcutTest, StartingTheShortcutRunsTheCompanionInTheChosenFolder) {
    const fs::path lnk = Path(kUnicodeName + ".lnk");
    const fs::path work = Path(kUnicodeName);
    fs::create_directories(work);
    const fs::path report = Path("report.txt");
    ASSERT_TRUE(app::CreateShortcut(Utf8(lnk), host::ProgramFolder() + "Lumora.exe", "",
                                    Utf8(work) + "\\", SW_SHOW, "", kDescription));

    // The companion inherits the variable and writes the folder it was started in.
    ASSERT_TRUE(::SetEnvironmentVariableW(L"LUMORA_STANDIN_REPORT", report.wstring().c_str()));
    const auto started = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", lnk.wstring().c_str(), nullptr, nullptr, SW_SHOW));
    ::SetEnvironmentVariableW(L"LUMORA_STANDIN_REPORT", nullptr);
    ASSERT_GT(started, 32);
    // The companion creates the report, then writes it: wait for the text, not the name.
    std::string startedIn;
    for (int i = 0; i < 150 && startedIn.empty(); ++i, ::Sleep(100)) {
        startedIn = testing_support::ReadBytes(report);
    }
    ASSERT_FALSE(startedIn.empty()) << "the companion did not report";
    EXPECT_EQ(host::AsciiLower(WithoutTrailingBackslash(startedIn)),
              host::AsciiLower(WithoutTrailingBackslash(Utf8(work))));
}

std::wstring DesktopFolder() {
    std::wstring desktop(MAX_PATH, L'\0');
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT,
                       desktop.data());
    desktop.resize(::wcslen(desktop.c_str()));
    return desktop;
}

// Run only by the next test, in a child whose menu builder is enabled: saves the shortcut named
// LUMORA_LAUNCHER_NAME in the folder LUMORA_LAUNCHER_WORK, then on the desktop.
TEST(ShortcutChild, DISABLED_SavesElsewhereThenOnTheDesktop) {
    const std::string name = host::EnvironmentVariable("LUMORA_LAUNCHER_NAME");
    const std::string work = host::EnvironmentVariable("LUMORA_LAUNCHER_WORK");
    ASSERT_FALSE(name.empty());
    const std::string icon =
        Utf8Path(testing_support::BuiltFile(L"..\\..\\tests\\data\\alpha.ico"));
    for (const std::string& folder : {work, Utf8Path(DesktopFolder())}) {
        EXPECT_TRUE(app::CreateShortcut(folder + "\\" + name + ".lnk",
                                        host::ProgramFolder() + "Lumora.exe", "", work + "\\",
                                        SW_SHOW, icon, kDescription));
    }
}

// Under Wine a shortcut on the desktop becomes a Linux launcher through Wine's menu builder. The
// test prefix disables it, in the Unix environment each Wine process reads it from at start: a
// child started from the Unix side with it enabled saves the shortcuts.
TEST_F(ShortcutTest, OnTheDesktopItBecomesALinuxLauncherThatStartsTheCompanion) {
    const std::string name = "Lumora launcher " + std::to_string(::GetCurrentProcessId());
    const fs::path work = Path(kUnicodeName);
    fs::create_directories(work);
    const std::string exe = testing_support::UnixPathOf(host::Widen(host::ProgramPath()));
    const wine::UnixRunResult child = wine::RunUnix(
        "WINEDLLOVERRIDES='mscoree,mshtml=' LUMORA_LAUNCHER_NAME=" + wine::ShellQuote(name) +
            " LUMORA_LAUNCHER_WORK=" + wine::ShellQuote(Utf8(work)) + " wine " +
            wine::ShellQuote(exe) +
            " --gtest_also_run_disabled_tests"
            " --gtest_filter=ShortcutChild.DISABLED_SavesElsewhereThenOnTheDesktop >/dev/null 2>&1",
        std::chrono::seconds(120));
    ASSERT_EQ(child.exitStatus, 0);
    const fs::path lnk = fs::path(DesktopFolder()) / host::Widen(name + ".lnk");
    ASSERT_TRUE(fs::exists(lnk) && fs::exists(work / host::Widen(name + ".lnk")));

    // The menu builder writes the launcher into the Unix folder of the Windows desktop. Wine 8
    // links that folder to the home when the home has no Desktop folder; Wine 10 keeps it a
    // folder of the prefix. So the whole home is searched, prefix included.
    const std::string home = testing_support::HomeUnix();
    const std::string find = "find " + wine::ShellQuote(home) + " -path " +
                             wine::ShellQuote(home + ".wine/drive_c/windows") + " -prune -o -name ";
    std::string launchers;
    for (int i = 0; i < 120 && launchers.empty(); ++i, ::Sleep(250)) {
        launchers = wine::RunUnixCaptured(find + wine::ShellQuote(name + ".desktop") + " -print");
    }
    ASSERT_FALSE(launchers.empty()) << "no launcher for the shortcut on the desktop";
    // One launcher, in the desktop's folder: none for the shortcut elsewhere, none for the
    // temporary name.
    const std::string launcher = launchers.substr(0, launchers.find('\n'));
    EXPECT_EQ(launchers, launcher + "\n");
    const std::string realDesktop =
        "realpath " +
        wine::ShellQuote(testing_support::UnixPathOf(DesktopFolder()) + "/" + name + ".desktop");
    EXPECT_EQ(wine::RunUnixCaptured(realDesktop),
              wine::RunUnixCaptured("realpath " + wine::ShellQuote(launcher)));
    EXPECT_EQ(wine::RunUnixCaptured(find + "'~lumora-*' -print"), "");
    EXPECT_EQ(wine::RunUnixCaptured("desktop-file-validate " + wine::ShellQuote(launcher) +
                                    " >/dev/null 2>&1; echo rc=$?"),
              "rc=0\n");

    // Started by the desktop, the launcher starts the companion in the chosen folder.
    const fs::path report = Path("report.txt");
    wine::RunUnixCaptured("LUMORA_STANDIN_REPORT=" + wine::ShellQuote(Utf8(report)) +
                          " gio launch " + wine::ShellQuote(launcher) + " >/dev/null 2>&1; echo");
    std::string startedIn;
    for (int i = 0; i < 240 && startedIn.empty(); ++i, ::Sleep(250)) {
        startedIn = testing_support::ReadBytes(report);
    }
    wine::RunUnixCaptured("rm -f " + wine::ShellQuote(launcher));
    std::error_code ec;
    fs::remove(lnk, ec);
    ASSERT_FALSE(startedIn.empty()) << "the companion did not report";
    EXPECT_EQ(host::AsciiLower(WithoutTrailingBackslash(startedIn)),
              host::AsciiLower(WithoutTrailingBackslash(Utf8(work))));
}

TEST_F(ShortcutTest, ReplacesAnExistingShortcutWhole) {
    const fs::path lnk = Path("Pics.lnk");
    testing_support::WriteBytes(lnk, "an older shortcut");
    ASSERT_TRUE(app::CreateShortcut(Utf8(lnk), host::ProgramFolder() + "Lumora.exe", "",
                                    Utf8(folder_), SW_SHOW, "", kDescription));
    EXPECT_EQ(ReadBack(lnk).description, kDescription);
    // Nothing but the shortcut is left in the folder: the temporary file became it.
    std::vector<fs::path> entries(fs::directory_iterator(folder_), fs::directory_iterator{});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].filename(), L"Pics.lnk");
}

TEST_F(ShortcutTest, AFailedSaveAnswersFalseAndLeavesTheOldFileAlone) {
    const std::string target = host::ProgramFolder() + "Lumora.exe";
    auto create = [&](const fs::path& lnk) {
        return app::CreateShortcut(Utf8(lnk), target, "", Utf8(folder_), SW_SHOW, "", kDescription);
    };
    auto entryCount = [&] {
        return std::distance(fs::directory_iterator(folder_), fs::directory_iterator{});
    };
    {
        SCOPED_TRACE("the folder does not exist");
        const fs::path lnk = Path("missing\\Pics.lnk");
        EXPECT_FALSE(create(lnk));
        EXPECT_FALSE(fs::exists(Path("missing")));
        EXPECT_EQ(entryCount(), 0);
    }
    {
        SCOPED_TRACE("the name is taken by a folder");
        const fs::path lnk = Path("Folder.lnk");
        fs::create_directories(lnk / L"inside");
        EXPECT_FALSE(create(lnk));
        EXPECT_TRUE(fs::is_directory(lnk / L"inside"));
        EXPECT_EQ(entryCount(), 1);
        fs::remove_all(lnk);
    }
    {
        SCOPED_TRACE("the old shortcut is held open without sharing");
        const fs::path lnk = Path(kUnicodeName + ".lnk");
        ASSERT_TRUE(create(lnk));
        const std::string before = testing_support::ReadBytes(lnk);
        host::UniqueFile held(::CreateFileW(lnk.wstring().c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(app::CreateShortcut(Utf8(lnk), target, "--other", Utf8(folder_), SW_SHOW, "",
                                         "another description"));
        held.Reset();
        EXPECT_EQ(testing_support::ReadBytes(lnk), before);
        EXPECT_EQ(entryCount(), 1);
    }
}

}  // namespace
