#include "imaging/ico_assembly.h"

#include <algorithm>

#include "imaging/byte_reader.h"

namespace imaging {

namespace {

constexpr size_t kHeaderSize = 6;
constexpr size_t kGroupEntrySize = 14;
constexpr size_t kIcoRecordSize = 16;

void Put16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

size_t CompleteEntries(std::span<const uint8_t> directory) {
    if (directory.size() < kHeaderSize) return 0;
    const size_t declared = Le16(directory, 4);
    return std::min(declared, (directory.size() - kHeaderSize) / kGroupEntrySize);
}

}  // namespace

std::vector<GroupEntryRef> GroupDirectoryEntries(std::span<const uint8_t> directory) {
    std::vector<GroupEntryRef> entries;
    const size_t count = CompleteEntries(directory);
    for (size_t i = 0; i < count; ++i) {
        entries.push_back({Le16(directory, kHeaderSize + i * kGroupEntrySize + 12)});
    }
    return entries;
}

IcoResult AssembleIco(std::span<const uint8_t> directory,
                      const std::vector<std::optional<std::vector<uint8_t>>>& images) {
    IcoResult result;
    const size_t entries = std::min(CompleteEntries(directory), images.size());
    std::vector<size_t> kept;
    for (size_t i = 0; i < entries; ++i) {
        if (images[i] && !images[i]->empty()) kept.push_back(i);
    }
    // An .ico counts its images in 16 bits and addresses them in 32; a group that cannot be
    // described that way is not written at all.
    if (kept.empty() || kept.size() > 0xFFFF) return result;

    size_t total = kHeaderSize + kept.size() * kIcoRecordSize;
    for (size_t i : kept) total += images[i]->size();
    if (total > 0xFFFFFFFFu) return result;

    std::vector<uint8_t>& out = result.bytes;
    out.reserve(total);
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(kept.size()));
    uint32_t offset = static_cast<uint32_t>(kHeaderSize + kept.size() * kIcoRecordSize);
    for (size_t i : kept) {
        const auto entry = directory.subspan(kHeaderSize + i * kGroupEntrySize, kGroupEntrySize);
        out.push_back(entry[0]);     // width, 0 stands for 256
        out.push_back(entry[1]);     // height
        out.push_back(entry[2]);     // colour count
        out.push_back(0);            // reserved
        Put16(out, Le16(entry, 4));  // planes
        Put16(out, Le16(entry, 6));  // bit count
        // Bytes in resource as the directory states it; the offsets follow the real sizes.
        for (size_t b = 8; b < 12; ++b) out.push_back(entry[b]);
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i]->size());
        result.largestWidth = std::max(result.largestWidth, entry[0]);
    }
    for (size_t i : kept) out.insert(out.end(), images[i]->begin(), images[i]->end());
    return result;
}

}  // namespace imaging
