// Files and folders dropped on the main dialog: which are taken, and what each kind does.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "app/dialog_ids.h"
#include "app/state_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"

namespace {

using testing_support::CloseMessageBoxLater;
using testing_support::MakeFolder;
using testing_support::TinyBitmapFile;
using testing_support::TinyIcon;
using testing_support::WriteBytes;
using MainDialogTest = testing_support::MainDialogFixture;

TEST_F(MainDialogTest, DroppedFoldersAreChosenWhateverTheirName) {
    const std::wstring photos = temp_.Path() + L"Photos";
    const std::wstring lookalike = temp_.Path() + L"pictures.png";
    const std::wstring international = temp_.Path() + L"Fotos Caf\u00e9 \u5199\u771f";
    for (const std::wstring& folder : {photos, lookalike, international}) {
        SCOPED_TRACE(host::Narrow(folder));
        ASSERT_TRUE(MakeFolder(folder));
        app::IconSource = "C:\\keep.ico";
        Drop({folder});
        ExpectFolderChosen(folder);
        EXPECT_EQ(app::IconSource, "C:\\keep.ico") << "a folder drop leaves the icon alone";
    }
}

TEST_F(MainDialogTest, DroppedPathsLongerThanMaxPathAreTakenWhole) {
    std::wstring folder = temp_.Path() + L"long";
    ASSERT_TRUE(MakeFolder(folder));
    while (folder.size() <= 300) {
        folder += L"\\" + std::wstring(40, L'd');
        ASSERT_TRUE(MakeFolder(folder)) << host::Narrow(folder);
    }
    Drop({folder});
    ExpectFolderChosen(folder);

    const std::wstring icon = folder + L"\\Katze.ico";
    ASSERT_TRUE(WriteBytes(icon, TinyIcon()));
    Drop({icon});
    EXPECT_EQ(app::IconSource, host::Narrow(icon));
    EXPECT_NE(PreviewImage(), nullptr);
}

TEST_F(MainDialogTest, DropOfTwoItemsIsRefusedWithAMessage) {
    const std::wstring folder = temp_.Path() + L"Photos";
    const std::wstring icon = temp_.Path() + L"cat.ico";
    ASSERT_TRUE(MakeFolder(folder));
    ASSERT_TRUE(WriteBytes(icon, TinyIcon()));

    auto box = CloseMessageBoxLater(L"Error", ::GetCurrentProcessId());
    Drop({folder, icon});
    const testing_support::BoxSeen seen = box.get();
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.text, L"Please drag and drop only 1 folder or 1 jpeg image");
    EXPECT_EQ(app::ChosenFolder, "");
    EXPECT_EQ(app::IconSource, "");
    EXPECT_EQ(PreviewImage(), nullptr);
    EXPECT_FALSE(BuildEnabled());
}

TEST_F(MainDialogTest, DroppedIconIsShownAtOnce) {
    const std::wstring folder = temp_.Path() + L"Fotos Caf\u00e9 \u5199\u771f";
    ASSERT_TRUE(MakeFolder(folder));
    const std::wstring icon = folder + L"\\Katze.ICO";
    ASSERT_TRUE(WriteBytes(icon, TinyIcon()));
    Drop({icon});
    EXPECT_EQ(app::IconSource, host::Narrow(icon));
    EXPECT_NE(PreviewImage(), nullptr);
    EXPECT_EQ(PreviewImage(), app::PreviewIcon.Get());
    EXPECT_EQ(app::ChosenFolder, "") << "an icon drop leaves the folder alone";
    EXPECT_FALSE(BuildEnabled());

    // An .ico that cannot be loaded empties the picture.
    const std::wstring broken = folder + L"\\broken.ico";
    ASSERT_TRUE(WriteBytes(broken, "not an icon"));
    Drop({broken});
    EXPECT_EQ(app::IconSource, host::Narrow(broken));
    EXPECT_EQ(PreviewImage(), nullptr);
    EXPECT_FALSE(app::PreviewIcon);
}

TEST_F(MainDialogTest, DroppedImagesGoToConversion) {
    // Each becomes the .ico beside it, which is then the icon source.
    for (const wchar_t* name : {L"photo.JPEG", L"photo.jpg", L"snapshot.jpeg", L"scan.bmp"}) {
        SCOPED_TRACE(host::Narrow(name));
        const std::wstring image = temp_.Path() + name;
        ASSERT_TRUE(WriteBytes(image, TinyBitmapFile()));
        app::IconSource.clear();
        Drop({image});
        const std::string stem = host::Narrow(image).substr(0, host::Narrow(image).rfind('.'));
        EXPECT_EQ(app::IconSource, stem + ".ico");
        EXPECT_TRUE(host::FileExists(stem + ".ico"));
        EXPECT_EQ(app::ChosenFolder, "");
    }
}

TEST_F(MainDialogTest, OtherDropsChangeNothing) {
    std::vector<std::wstring> paths;
    for (const wchar_t* name : {L"notes.txt", L"Lumora.lnk", L"anim.gif", L"photo.jpe"}) {
        paths.push_back(temp_.Path() + name);
        ASSERT_TRUE(WriteBytes(paths.back(), "x"));
    }
    paths.push_back(temp_.Path() + L"vanished");  // cannot be looked up
    paths.push_back(L"C:\\");                     // a drive root cannot be looked up either
    for (const std::wstring& path : paths) {
        SCOPED_TRACE(host::Narrow(path));
        Drop({path});
        EXPECT_EQ(app::ChosenFolder, "");
        EXPECT_EQ(app::IconSource, "");
        EXPECT_EQ(PreviewImage(), nullptr);
        EXPECT_EQ(FolderEntryText(), L"");
        EXPECT_FALSE(BuildEnabled());
    }
}

}  // namespace
