#include "imaging/theme_icon.h"

#include <cmath>

namespace imaging {
namespace {

// Premultiplied channels, so that averaging weighs colour by opacity.
struct Premultiplied {
    double a = 0, r = 0, g = 0, b = 0;
};

Premultiplied FromArgb(uint32_t argb) {
    const double a = static_cast<double>(argb >> 24) / 255.0;
    return {a, a * ((argb >> 16) & 0xFF), a * ((argb >> 8) & 0xFF), a * (argb & 0xFF)};
}

uint32_t ToArgb(const Premultiplied& p) {
    if (p.a <= 0.0) return 0;
    auto channel = [](double value) {
        const long rounded = std::lround(value);
        return static_cast<uint32_t>(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
    };
    return channel(p.a * 255.0) << 24 | channel(p.r / p.a) << 16 | channel(p.g / p.a) << 8 |
           channel(p.b / p.a);
}

// For one axis: which source cells each target cell covers, and by how much (weights sum to 1).
struct Span {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Span> Coverage(int from, int to) {
    std::vector<Span> spans(static_cast<size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int t = 0; t < to; ++t) {
        const double begin = t * scale;
        const double end = (t + 1) * scale;
        Span& span = spans[static_cast<size_t>(t)];
        span.first = static_cast<int>(std::floor(begin));
        for (int s = span.first; s < from && s < end; ++s) {
            const double overlap =
                std::fmin(end, s + 1.0) - std::fmax(begin, static_cast<double>(s));
            span.weights.push_back(overlap / scale);
        }
    }
    return spans;
}

}  // namespace

std::string ThemeFolder(std::string_view iconFolder) {
    return std::string(iconFolder) + "hicolor\\";
}

std::string ThemeIconPath(std::string_view iconFolder, int size, std::string_view name) {
    const std::string n = std::to_string(size);
    return ThemeFolder(iconFolder) + n + "x" + n + "\\apps\\" + std::string(name) + ".png";
}

std::vector<uint32_t> ScaleArgb(std::span<const uint32_t> pixels, int width, int height, int size) {
    if (width <= 0 || height <= 0 || size <= 0) return {};
    if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) return {};
    const std::vector<Span> columns = Coverage(width, size);
    const std::vector<Span> rows = Coverage(height, size);

    // Across first: every source row becomes `size` cells wide.
    std::vector<Premultiplied> across(static_cast<size_t>(height) * size);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < size; ++x) {
            const Span& span = columns[static_cast<size_t>(x)];
            Premultiplied sum;
            for (size_t k = 0; k < span.weights.size(); ++k) {
                const Premultiplied p =
                    FromArgb(pixels[static_cast<size_t>(y) * width + span.first + k]);
                const double w = span.weights[k];
                sum.a += w * p.a;
                sum.r += w * p.r;
                sum.g += w * p.g;
                sum.b += w * p.b;
            }
            across[static_cast<size_t>(y) * size + x] = sum;
        }
    }
    // Then down.
    std::vector<uint32_t> scaled(static_cast<size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        const Span& span = rows[static_cast<size_t>(y)];
        for (int x = 0; x < size; ++x) {
            Premultiplied sum;
            for (size_t k = 0; k < span.weights.size(); ++k) {
                const Premultiplied& p = across[(span.first + k) * size + x];
                const double w = span.weights[k];
                sum.a += w * p.a;
                sum.r += w * p.r;
                sum.g += w * p.g;
                sum.b += w * p.b;
            }
            scaled[static_cast<size_t>(y) * size + x] = ToArgb(sum);
        }
    }
    return scaled;
}

}  // namespace imaging
