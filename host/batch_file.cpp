#include "host/batch_file.h"

#include "host/path_text.h"

namespace host {

namespace {

constexpr std::string_view kVariablePrefix = "LUMORA_RUN_TEXT_";

bool IsAscii(unsigned char c) { return c < 0x80; }

// Length in bytes of the UTF-8 sequence starting with this byte (1 for stray bytes, so that
// malformed text still advances).
size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

// The first two characters (not bytes) of the folder: its drive, such as "C:".
std::string_view DrivePart(std::string_view folder) {
    size_t end = 0;
    for (int count = 0; count < 2 && end < folder.size(); ++count) {
        end += SequenceLength(static_cast<unsigned char>(folder[end]));
    }
    return folder.substr(0, end < folder.size() ? end : folder.size());
}

}  // namespace

std::string DoublePercent(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

BatchBuilder& BatchBuilder::Syntax(std::string_view syntax) {
    out_.text += syntax;
    return *this;
}

BatchBuilder& BatchBuilder::Text(std::string_view text) {
    while (!text.empty()) {
        const bool ascii = IsAscii(static_cast<unsigned char>(text[0]));
        size_t end = 1;
        while (end < text.size() && IsAscii(static_cast<unsigned char>(text[end])) == ascii) ++end;
        const std::string_view run = text.substr(0, end);
        out_.text += ascii ? DoublePercent(run) : '%' + VariableFor(run) + '%';
        text.remove_prefix(end);
    }
    return *this;
}

BatchFile BatchBuilder::Take() { return std::move(out_); }

std::string BatchBuilder::VariableFor(std::string_view value) {
    for (const auto& [name, known] : out_.variables) {
        if (known == value) return name;
    }
    std::string name(kVariablePrefix);
    name += std::to_string(out_.variables.size() + 1);
    out_.variables.emplace_back(name, std::string(value));
    return name;
}

std::string CommandWorkingFolder(std::string_view folder, std::string_view temp) {
    if (folder.empty()) return WithOneTrailingBackslash(std::string(temp) + '\\');
    return WithOneTrailingBackslash(folder);
}

CommandFileNames CommandFiles(std::uint32_t processId, std::uint32_t run) {
    const std::string id = std::to_string(processId) + "-" + std::to_string(run);
    return {"temp-" + id + ".bat", "dump-" + id + ".txt"};
}

BatchFile MakeBatchFile(std::string_view workingFolder, std::string_view command,
                        std::string_view captureFileName) {
    BatchBuilder batch;
    batch.Syntax("@echo off\r\n").Text(DrivePart(workingFolder));
    batch.Syntax("\r\ncd \"").Text(workingFolder).Syntax("\"\r\n");
    batch.Text(command).Syntax(" > ").Text(captureFileName).Syntax(" 2>&1\r\n");
    return batch.Take();
}

std::vector<std::string> PercentEnclosedNames(std::string_view text) {
    std::vector<std::string> names;
    size_t open = text.find('%');
    while (open != std::string_view::npos) {
        const size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        if (close > open + 1) names.emplace_back(text.substr(open + 1, close - open - 1));
        open = close;
    }
    return names;
}

std::string TrimTrailingLineBreaks(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
    return std::string(text);
}

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (IsAscii(lead)) {
            ++i;
            continue;
        }
        const size_t length = SequenceLength(lead);
        if (length == 1 || i + length > bytes.size()) return false;
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        // Overlong forms, UTF-16 surrogates and values past U+10FFFF are not UTF-8.
        if (lead == 0xE0 && second < 0xA0) return false;
        if (lead == 0xED && second > 0x9F) return false;
        if (lead == 0xF0 && second < 0x90) return false;
        if (lead == 0xF4 && second > 0x8F) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace host
