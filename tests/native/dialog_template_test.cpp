#include "app/dialog_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Reads the template back the way the dialog manager does.
class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::uint16_t Word() {
        EXPECT_LE(pos_ + 2, bytes_.size());
        if (pos_ + 2 > bytes_.size()) return 0;
        const std::uint16_t v = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t Dword() {
        const std::uint32_t low = Word();
        return low | (static_cast<std::uint32_t>(Word()) << 16);
    }
    std::int16_t Short() { return static_cast<std::int16_t>(Word()); }
    std::uint8_t Byte() { return pos_ < bytes_.size() ? bytes_[pos_++] : 0; }
    std::u16string Text() {
        std::u16string text;
        for (std::uint16_t c = Word(); c != 0; c = Word()) text.push_back(static_cast<char16_t>(c));
        return text;
    }
    void AlignDword() { pos_ = (pos_ + 3) & ~size_t{3}; }
    size_t Position() const { return pos_; }

private:
    const std::vector<std::uint8_t>& bytes_;
    size_t pos_ = 0;
};

struct ExpectedItem {
    std::uint16_t atom;
    std::uint32_t id;
    std::u16string text;
    std::int16_t x, y, cx, cy;
    std::uint32_t style, exStyle;
};

TEST(DialogTemplate, HeaderDescribesTheMainWindow) {
    const auto bytes = app::BuildMainDialogTemplate(u"Lumora-builder 1.6");
    Reader in(bytes);
    EXPECT_EQ(in.Word(), 1);  // dlgVer
    EXPECT_EQ(in.Word(), 0xFFFF);
    EXPECT_EQ(in.Dword(), 0u);  // helpID
    EXPECT_EQ(in.Dword(), 0u);  // no extended style
    EXPECT_EQ(in.Dword(), 0x00CA0854u);
    EXPECT_EQ(in.Word(), 8);
    EXPECT_EQ(in.Short(), 0);
    EXPECT_EQ(in.Short(), 0);
    EXPECT_EQ(in.Short(), 248);
    EXPECT_EQ(in.Short(), 40);
    EXPECT_EQ(in.Word(), 0);  // menu
    EXPECT_EQ(in.Word(), 0);  // class
    EXPECT_EQ(in.Text(), u"Lumora-builder 1.6");
    EXPECT_EQ(in.Word(), 8);    // points
    EXPECT_EQ(in.Word(), 400);  // weight
    EXPECT_EQ(in.Byte(), 0);    // italic
    in.Byte();                  // charset
    EXPECT_EQ(in.Text(), u"MS Sans Serif");
}

TEST(DialogTemplate, ItemsAreAlignedInOrderWithTheirLayout) {
    // A caption of odd length in bytes-after-header shifts the first item: alignment must follow.
    for (std::u16string caption :
         {u"Lumora-builder 1.6", u"Fotos Caf\u00e9 \u5199\u771f 1.6", u"x"}) {
        SCOPED_TRACE(std::string(caption.begin(), caption.end()));
        const auto bytes = app::BuildMainDialogTemplate(caption);
        Reader in(bytes);
        for (int i = 0; i < 15; ++i) in.Word();  // fixed header, menu and class
        EXPECT_EQ(in.Text(), caption);
        in.Word();
        in.Word();
        in.Byte();
        in.Byte();
        in.Text();

        const std::vector<ExpectedItem> expected = {
            {0x81, 3164, u"", 40, 4, 150, 12, 0x50010080, 0x200},
            {0x82, 0xFFFFFFFF, u"&Folder :", 5, 6, 35, 12, 0x50000000, 0},
            {0x82, 3134, u"Browse for a folder or drag'n drop one here ^", 5, 22, 155, 10,
             0x50008000, 0},
            {0x80, 3144, u"...", 190, 4, 12, 12, 0x50010000, 0},
            {0x80, 3145, u"&Build", 162, 22, 40, 14, 0x50010001, 0},
            {0x82, 0xFFFFFFFF, u"", 215, 5, 22, 22, 0x50000005, 0},
            {0x82, 3154, u"", 213, 4, 22, 22, 0x50810103, 0},
            {0x82, 3165, u"[?]", 236, 29, 8, 12, 0x50010100, 0},
        };
        for (size_t k = 0; k < expected.size(); ++k) {
            SCOPED_TRACE("item " + std::to_string(k));
            const ExpectedItem& e = expected[k];
            const size_t before = in.Position();
            in.AlignDword();
            // Padding is zero bytes, never part of the previous item.
            for (size_t p = before; p < in.Position(); ++p) EXPECT_EQ(bytes[p], 0);
            EXPECT_EQ(in.Position() % 4, 0u);
            EXPECT_EQ(in.Dword(), 0u);  // helpID
            EXPECT_EQ(in.Dword(), e.exStyle);
            EXPECT_EQ(in.Dword(), e.style);
            EXPECT_EQ(in.Short(), e.x);
            EXPECT_EQ(in.Short(), e.y);
            EXPECT_EQ(in.Short(), e.cx);
            EXPECT_EQ(in.Short(), e.cy);
            EXPECT_EQ(in.Dword(), e.id);
            EXPECT_EQ(in.Word(), 0xFFFF);
            EXPECT_EQ(in.Word(), e.atom);
            EXPECT_EQ(in.Text(), e.text);
            EXPECT_EQ(in.Word(), 0);  // creation data
        }
        EXPECT_EQ(in.Position(), bytes.size());
    }
}

}  // namespace
