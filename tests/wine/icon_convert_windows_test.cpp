// The icon conversion's Windows form, with a stand-in magick on the search path.
#include "app/icon_convert_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <future>
#include <set>
#include <vector>

#include "app/dialog_ids.h"
#include "app/drop_win.h"
#include "app/icon_command.h"
#include "app/icon_preview_win.h"
#include "app/state_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "wine/shell_quote.h"
#include "tests/wine/wine_test_support.h"
#include "wine/unix_bridge_win.h"

namespace {

using testing_support::ConversionLeftovers;
using testing_support::FilesIn;
using testing_support::ReadBytes;
using testing_support::ShownIcon;
using testing_support::WriteBytes;
using IconConversion = testing_support::IconConversionFixture;

// The Windows form: a stand-in magick on the search path records its arguments, puts the file
// it is told to into the output and ends with the status it is told to.
TEST_F(IconConversion, WindowsFormCountsOnlyAWholeIconWithExitStatusZero) {
    ASSERT_EQ(Unix("cd " + wine::ShellQuote(unixFolder_) +
                   " && convert -size 32x32 xc:red -define "
                   "icon:auto-resize=16,24,32,48,64,72,96,128,256 ready.ico && head -c 3000 "
                   "ready.ico > half.ico && echo ok"),
              "ok\n");
    const std::string standIn = folder_ + "bin\\";
    ASSERT_TRUE(::CreateDirectoryW(host::Widen(standIn).c_str(), nullptr));
    WriteBytes(standIn + "magick.bat", "@echo %*> \"" + standIn +
                                           "magick-args.txt\"\r\n@copy /y \"" + folder_ +
                                           "%STANDIN_OUTPUT%\" out.ico >nul\r\n"
                                           "@exit /b %STANDIN_STATUS%\r\n");
    testing_support::ScopedVariable path(
        L"PATH",
        (host::Widen(standIn) + L";" + host::Widen(host::EnvironmentVariable("PATH"))).c_str());
    const std::string source = ImageNamed("big.png", "100%x% [2019] My cat.v2.png");
    const std::string target = folder_ + "100%x% [2019] My cat.v2.ico";
    WriteBytes(target, "older icon");
    app::IconSource = folder_ + "ready.ico";
    app::RefreshIconPreview();
    ASSERT_TRUE(ShownIcon());
    {
        // Half an icon, then a failure; half an icon and a status that claims success.
        testing_support::ScopedVariable output(L"STANDIN_OUTPUT", L"half.ico");
        for (const wchar_t* status : {L"1", L"0"}) {
            testing_support::ScopedVariable exitStatus(L"STANDIN_STATUS", status);
            SCOPED_TRACE(host::Narrow(status));
            const std::set<std::string> files = FilesIn(folder_);
            app::ConvertIcon(source, app::IconConverter::WindowsMagick);
            EXPECT_EQ(app::IconSource, folder_ + "ready.ico");
            EXPECT_EQ(ReadBytes(target), "older icon");
            EXPECT_EQ(FilesIn(folder_), files);
            EXPECT_EQ(ConversionLeftovers(), std::set<std::string>());
        }
    }
    testing_support::ScopedVariable output(L"STANDIN_OUTPUT", L"ready.ico");
    testing_support::ScopedVariable exitStatus(L"STANDIN_STATUS", L"0");
    {
        // A cmd.exe beside the program (another program under that name) is not the system's.
        const std::wstring planted = host::Widen(host::ProgramFolder() + "cmd.exe");
        ASSERT_TRUE(::CopyFileW(host::Widen(host::SystemProgramPath("hostname.exe")).c_str(),
                                planted.c_str(), FALSE));
        app::ConvertIcon(source, app::IconConverter::WindowsMagick);
        ::DeleteFileW(planted.c_str());
    }
    std::string arguments = ReadBytes(standIn + "magick-args.txt");
    while (!arguments.empty() &&
           (arguments.back() == '\n' || arguments.back() == '\r' || arguments.back() == ' ')) {
        arguments.pop_back();
    }
    EXPECT_EQ(arguments, app::MagickArguments(imaging::PictureFormat::Png));
    EXPECT_EQ(app::IconSource, target);
    EXPECT_EQ(ReadBytes(target), ReadBytes(folder_ + "ready.ico"));
    EXPECT_EQ(ConversionLeftovers(), std::set<std::string>());

    // Without magick the user is told so, under the program's name.
    testing_support::ScopedVariable noMagick(L"PATH", L"C:\\windows\\system32");
    auto box = testing_support::CloseMessageBoxLater(host::Widen(host::ProgramName()),
                                                     ::GetCurrentProcessId());
    app::ConvertIcon(source, app::IconConverter::WindowsMagick);
    const testing_support::BoxSeen seen = box.get();
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(host::Narrow(seen.text), "Error: ImageMagick not installed on the system!");
    EXPECT_EQ(app::IconSource, target);
}

}  // namespace
