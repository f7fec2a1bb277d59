// An .ico file built from a group icon as a module stores it. Pure: the resource walk lives in
// group_icon_win.cpp and hands the bytes in here.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace imaging {

// One image resource number of the group directory, in directory order.
struct GroupEntryRef {
    uint16_t imageId = 0;
};

// The entries a group directory declares, cut to what the bytes actually hold: a directory that
// claims more entries than it carries yields only the complete ones.
std::vector<GroupEntryRef> GroupDirectoryEntries(std::span<const uint8_t> directory);

struct IcoResult {
    std::vector<uint8_t> bytes;  // empty when no image could be read
    uint8_t largestWidth = 0;    // largest raw width byte among the images written
};

// Joins the header, the directory records and the image bytes. images[i] belongs to entry i of
// the directory; an unreadable image (nullopt) or an empty one is dropped together with its
// record, so the count and the offsets describe exactly the bytes that follow.
IcoResult AssembleIco(std::span<const uint8_t> directory,
                      const std::vector<std::optional<std::vector<uint8_t>>>& images);

}  // namespace imaging
