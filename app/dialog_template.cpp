#include "app/dialog_template.h"

#include "app/dialog_ids.h"

namespace app {
namespace {

// Window and control styles, spelled out because this file does not see <windows.h>.
constexpr std::uint32_t kChildVisible = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr std::uint32_t kTabStop = 0x00010000;
constexpr std::uint32_t kBorder = 0x00800000;
constexpr std::uint32_t kEsAutoHScroll = 0x0080;
constexpr std::uint32_t kSsPathEllipsis = 0x8000;
constexpr std::uint32_t kSsGrayRect = 0x0005;
constexpr std::uint32_t kSsIcon = 0x0003;
constexpr std::uint32_t kSsNotify = 0x0100;
constexpr std::uint32_t kBsDefPushButton = 0x0001;
constexpr std::uint32_t kWsExClientEdge = 0x0200;
constexpr std::uint8_t kDefaultCharset = 1;

class TemplateWriter {
public:
    void Word(std::uint16_t v) {
        bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void Dword(std::uint32_t v) {
        Word(static_cast<std::uint16_t>(v & 0xFFFF));
        Word(static_cast<std::uint16_t>(v >> 16));
    }
    void Short(std::int16_t v) { Word(static_cast<std::uint16_t>(v)); }
    void Byte(std::uint8_t v) { bytes_.push_back(v); }
    // A NUL-terminated UTF-16 string.
    void Text(std::u16string_view text) {
        for (char16_t c : text) Word(static_cast<std::uint16_t>(c));
        Word(0);
    }
    // Every item starts on a DWORD boundary.
    void AlignDword() {
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

const std::vector<DialogItem>& MainDialogItems() {
    static const std::vector<DialogItem> items = {
        // The label follows the box so that its mnemonic, which moves to the next tab stop,
        // reaches "..." (the box only shows the folder; it is not where one is chosen).
        {kEditAtom, kFolderEntryId, u"", 40, 4, 150, 12, kChildVisible | kTabStop | kEsAutoHScroll,
         kWsExClientEdge},
        {kStaticAtom, -1, u"&Folder :", 5, 6, 35, 12, kChildVisible, 0},
        {kStaticAtom, kHintLabelId, u"Browse for a folder or drag'n drop one here ^", 5, 22, 155,
         10, kChildVisible | kSsPathEllipsis, 0},
        {kButtonAtom, kBrowseButtonId, u"...", 190, 4, 12, 12, kChildVisible | kTabStop, 0},
        {kButtonAtom, kBuildButtonId, u"&Build", 162, 22, 40, 14,
         kChildVisible | kTabStop | kBsDefPushButton, 0},
        {kStaticAtom, -1, u"", 215, 5, 22, 22, kChildVisible | kSsGrayRect, 0},
        // The picture and the link are tab stops too: the keyboard reaches everything.
        {kStaticAtom, kIconPictureId, u"", 213, 4, 22, 22,
         kChildVisible | kTabStop | kBorder | kSsNotify | kSsIcon, 0},
        {kStaticAtom, kHelpLinkId, u"[?]", 236, 29, 8, 12, kChildVisible | kTabStop | kSsNotify, 0},
    };
    return items;
}

std::vector<std::uint8_t> BuildMainDialogTemplate(std::u16string_view caption) {
    const std::vector<DialogItem>& items = MainDialogItems();
    TemplateWriter out;
    out.Word(1);       // dlgVer
    out.Word(0xFFFF);  // signature: extended template
    out.Dword(0);      // helpID
    out.Dword(0);      // exStyle
    out.Dword(kMainDialogStyle);
    out.Word(static_cast<std::uint16_t>(items.size()));
    out.Short(0);  // x, y: DS_CENTER places the window
    out.Short(0);
    out.Short(kMainDialogWidth);
    out.Short(kMainDialogHeight);
    out.Word(0);  // no menu
    out.Word(0);  // standard dialog class
    out.Text(caption);
    out.Word(kMainDialogFontPoints);
    out.Word(kMainDialogFontWeight);
    out.Byte(0);  // not italic
    out.Byte(kDefaultCharset);
    out.Text(kMainDialogFont);
    for (const DialogItem& item : items) {
        out.AlignDword();
        out.Dword(0);  // helpID
        out.Dword(item.exStyle);
        out.Dword(item.style);
        out.Short(item.x);
        out.Short(item.y);
        out.Short(item.width);
        out.Short(item.height);
        out.Dword(static_cast<std::uint32_t>(item.id));
        out.Word(0xFFFF);  // class given as a predefined atom
        out.Word(item.classAtom);
        out.Text(item.text);
        out.Word(0);  // no creation data
    }
    return out.Take();
}

}  // namespace app
