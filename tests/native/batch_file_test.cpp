#include "host/batch_file.h"
#include "host/command_search.h"

#include <gtest/gtest.h>

namespace {

host::BatchFile Batch(std::string_view folder, std::string_view command) {
    return host::MakeBatchFile(folder, command, "dump.txt");
}

TEST(BatchFile, WorkedExampleIsByteForByte) {
    const std::string folder = host::CommandWorkingFolder("", "C:\\Temp");
    EXPECT_EQ(folder, "C:\\Temp\\");
    const host::BatchFile batch = Batch(folder, "magick convert -version");
    const std::string expected =
        "@echo off\r\n"
        "C:\r\n"
        "cd \"C:\\Temp\\\"\r\n"
        "magick convert -version > dump.txt 2>&1\r\n";
    EXPECT_EQ(batch.text, expected);
    EXPECT_EQ(batch.text.size(), 71u);
    EXPECT_TRUE(batch.variables.empty());
}

TEST(BatchFile, WorkingFolderRule) {
    EXPECT_EQ(host::CommandWorkingFolder("D:\\x\\\\", "C:\\Temp"), "D:\\x\\");
    EXPECT_EQ(host::CommandWorkingFolder("C:\\work", "C:\\Temp"), "C:\\work\\");
    EXPECT_EQ(host::CommandWorkingFolder("", "C:\\Temp\\\\"), "C:\\Temp\\");
    // TEMP unset and no folder: the root of the current drive, and line 2 is that one character.
    const std::string root = host::CommandWorkingFolder("", "");
    EXPECT_EQ(root, "\\");
    EXPECT_EQ(Batch(root, "ver").text, "@echo off\r\n\\\r\ncd \"\\\"\r\nver > dump.txt 2>&1\r\n");
    EXPECT_EQ(Batch("D:\\x\\", "ver").text.substr(11, 4), "D:\r\n");
}

TEST(BatchFile, QuotesStayAndPercentSignsAreDoubled) {
    const auto quoted = Batch("C:\\w\\", "magick \"C:\\a b\\c.png\" \"C:\\a b\\c.ico\"");
    EXPECT_NE(
        quoted.text.find("\r\nmagick \"C:\\a b\\c.png\" \"C:\\a b\\c.ico\" > dump.txt 2>&1\r\n"),
        std::string::npos);
    const auto percent = Batch("C:\\50%\\", "type 100%x%.png");
    EXPECT_EQ(percent.text,
              "@echo off\r\nC:\r\ncd \"C:\\50%%\\\"\r\ntype 100%%x%%.png > dump.txt 2>&1\r\n");
    EXPECT_TRUE(percent.variables.empty());
}

TEST(BatchFile, NonAsciiRunsTravelInVariables) {
    // "Café 写真" twice, and a second name: each distinct run becomes one variable.
    const std::string folder = "C:\\Caf\xC3\xA9 \xE5\x86\x99\xE7\x9C\x9F\\";
    const auto batch = Batch(folder, "type \"" + folder + "x%.txt\" \xC3\xA9");
    for (char c : batch.text) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    ASSERT_EQ(batch.variables.size(), 2u);
    EXPECT_EQ(batch.variables[0].first, "LUMORA_RUN_TEXT_1");
    EXPECT_EQ(batch.variables[0].second, "\xC3\xA9");
    EXPECT_EQ(batch.variables[1].second, "\xE5\x86\x99\xE7\x9C\x9F");
    EXPECT_EQ(batch.text,
              "@echo off\r\nC:\r\n"
              "cd \"C:\\Caf%LUMORA_RUN_TEXT_1% %LUMORA_RUN_TEXT_2%\\\"\r\n"
              "type \"C:\\Caf%LUMORA_RUN_TEXT_1% %LUMORA_RUN_TEXT_2%\\x%%.txt\" "
              "%LUMORA_RUN_TEXT_1% > dump.txt 2>&1\r\n");
    // A folder that starts with a non-ASCII letter: line 2 holds two characters, not two bytes.
    const auto relative = Batch("\xC3\xA9\xC3\xA9x\\", "ver");
    EXPECT_EQ(relative.text,
              "@echo off\r\n%LUMORA_RUN_TEXT_1%\r\ncd \"%LUMORA_RUN_TEXT_1%x\\\"\r\n"
              "ver > dump.txt 2>&1\r\n");
    EXPECT_EQ(relative.variables[0].second, "\xC3\xA9\xC3\xA9");
}

TEST(BatchFile, NamesBetweenPercentSigns) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(host::PercentEnclosedNames("C:\\100%x%\\temp.bat"), Names{"x"});
    EXPECT_EQ(host::PercentEnclosedNames("a%b%c%d"), (Names{"b", "c"}));
    EXPECT_EQ(host::PercentEnclosedNames("50%%off%"), Names{"off"});
    EXPECT_EQ(host::PercentEnclosedNames("C:\\Temp\\temp.bat"), Names{});
    EXPECT_EQ(host::PercentEnclosedNames("only one %"), Names{});
}

TEST(BatchFile, TrimsOnlyTrailingLineBreaks) {
    EXPECT_EQ(host::TrimTrailingLineBreaks("a\r\nb\r\n\r\n\n\r"), "a\r\nb");
    EXPECT_EQ(host::TrimTrailingLineBreaks("\r\n\r\n"), "");
    EXPECT_EQ(host::TrimTrailingLineBreaks(""), "");
    EXPECT_EQ(host::TrimTrailingLineBreaks("x \r\n"), "x ");
}

TEST(BatchFile, RecognisesUtf8) {
    EXPECT_TRUE(host::IsValidUtf8("plain"));
    EXPECT_TRUE(host::IsValidUtf8("Caf\xC3\xA9 \xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\xB7"));
    EXPECT_FALSE(host::IsValidUtf8("Caf\x82.txt"));   // OEM 437 e-acute
    EXPECT_FALSE(host::IsValidUtf8("Caf\xE9"));       // Windows-1252 e-acute at the end
    EXPECT_FALSE(host::IsValidUtf8("\xC0\xAF"));      // overlong '/'
    EXPECT_FALSE(host::IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(host::IsValidUtf8("\xE5\x86"));      // cut short
}

TEST(BatchFile, RunFilesAreUniqueToProcessAndRun) {
    const host::CommandFileNames first = host::CommandFiles(4242, 1);
    EXPECT_EQ(first.batch, "temp-4242-1.bat");
    EXPECT_EQ(first.capture, "dump-4242-1.txt");
    EXPECT_NE(host::CommandFiles(4242, 2).capture, first.capture);
    EXPECT_NE(host::CommandFiles(4243, 1).batch, first.batch);
    EXPECT_EQ(host::MakeBatchFile("C:\\T\\", "ver", first.capture).text,
              "@echo off\r\nC:\r\ncd \"C:\\T\\\"\r\nver > dump-4242-1.txt 2>&1\r\n");
}

TEST(CommandSearch, PathTimesPathextInTheShellsOrderButNeverTheCurrentFolder) {
    using Candidates = std::vector<std::string>;
    EXPECT_EQ(host::SearchPathCandidates(
                  "magick", "C:\\IM;.;bin;\"D:\\Program Files\\x\\\";;\\\\srv\\tools", ".EXE;.BAT"),
              (Candidates{"C:\\IM\\magick.EXE", "C:\\IM\\magick.BAT",
                          "D:\\Program Files\\x\\magick.EXE", "D:\\Program Files\\x\\magick.BAT",
                          "\\\\srv\\tools\\magick.EXE", "\\\\srv\\tools\\magick.BAT"}));
    EXPECT_EQ(host::SearchPathCandidates("magick", "C:\\IM", ""),
              (Candidates{"C:\\IM\\magick.COM", "C:\\IM\\magick.EXE", "C:\\IM\\magick.BAT",
                          "C:\\IM\\magick.CMD"}));
    EXPECT_EQ(host::SearchPathCandidates("magick", "", ".EXE"), Candidates{});
}

}  // namespace
