#include "wine/drive_map_win.h"

#include <gtest/gtest.h>

#include "host/program_win.h"
#include "host/unique_win.h"
#include "wine/unix_bridge_win.h"

namespace {

// Adds the links d: (absolute) and e: (relative) to the test prefix and removes them afterwards.
class DriveMapOnPrefix : public ::testing::Test {
protected:
    void SetUp() override {
        user_ = host::EnvironmentVariable("USERNAME");
        ASSERT_FALSE(user_.empty());
        home_ = "/home/" + user_;
        ASSERT_EQ(wine::RunUnixCaptured("mkdir -p " + home_ + "/lumora-d && cd " + home_ +
                                        "/.wine/dosdevices && ln -sfn " + home_ +
                                        "/lumora-d d: && ln -sfn ../lumora-e e: && echo ok"),
                  "ok\n");
    }
    void TearDown() override {
        wine::RunUnixCaptured("cd " + home_ + "/.wine/dosdevices && rm -f d: e: && rmdir " + home_ +
                              "/lumora-d && echo ok");
    }
    std::string user_;
    std::string home_;
};

TEST_F(DriveMapOnPrefix, ListsTheExtraDrivesAndTranslatesThroughThem) {
    wine::LoadDriveMap();
    EXPECT_EQ(wine::DriveMap,
              (std::vector<std::string>{"d:" + home_ + "/lumora-d", "e:../lumora-e"}));

    EXPECT_EQ(wine::ToUnixPath("Z:\\home\\" + user_ + "\\a.png"), home_ + "/a.png");
    EXPECT_EQ(wine::ToUnixPath("C:\\Apps\\x.exe"), home_ + "/.wine/drive_c/Apps/x.exe");
    EXPECT_EQ(wine::ToUnixPath("D:\\docs\\x"), home_ + "/lumora-d/docs/x");
    EXPECT_EQ(wine::ToUnixPath("E:/x"), home_ + "/.wine/dosdevices/e:/x");
    EXPECT_EQ(wine::ToUnixPath("C:"), home_ + "/.wine/dosdevices/c:");
    // Wine's own translation finds names in any letter case; a last part yet to be written too.
    EXPECT_EQ(wine::ToUnixPath("c:\\WINDOWS\\System32\\NEW.ico"),
              home_ + "/.wine/drive_c/windows/system32/NEW.ico");
    EXPECT_EQ(wine::ToUnixPath(""), home_ + "/.wine/dosdevices/");
    // The translated path names the same file Windows sees: written as D:, read on the Unix side.
    ASSERT_TRUE(::CreateDirectoryW(L"D:\\docs", nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(host::UniqueFile(
        ::CreateFileW(L"D:\\docs\\x", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
    EXPECT_EQ(
        wine::RunUnixCaptured("test -f '" + wine::ToUnixPath("D:\\docs\\x") + "' && echo seen"),
        "seen\n");
    wine::RunUnixCaptured("rm -rf " + home_ + "/lumora-d/docs && echo ok");
}

TEST(DriveMap, KeepsAnEmptyListingForTheProcess) {
    // The test prefix has only c: and z:: one listing, then no more waiting on later calls.
    wine::LoadDriveMap();
    EXPECT_TRUE(wine::DriveMap.empty());
    const std::string user = host::EnvironmentVariable("USERNAME");
    // A d: link made now is not seen: the successful listing is kept.
    wine::RunUnixCaptured("ln -sfn /tmp ~/.wine/dosdevices/d: && echo ok");
    EXPECT_EQ(wine::ToUnixPath("D:\\x"), "/home/" + user + "/.wine/dosdevices/d:/x");
    EXPECT_TRUE(wine::DriveMap.empty());
    wine::RunUnixCaptured("rm -f ~/.wine/dosdevices/d: && echo ok");
}

}  // namespace
