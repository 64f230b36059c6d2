// A 1 MiB sample of what the containers hold: help and record texts, 24-bit
// pictures like the board artwork, and incompressible noise (JPEG entries).
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tessum::bench {

using Bytes = std::vector<std::uint8_t>;

inline void Append(Bytes& B, const Bytes& More) { B.insert(B.end(), More.begin(), More.end()); }

inline Bytes ProseLike(std::size_t N, std::uint32_t Seed) {
    static const char* const words[] = {
        "Die", "Steine", "werden", "aus", "der", "Mulde", "genommen", "und", "einzeln", "in", "die",
        "folgenden", "Mulden", "gesät", "Wer", "zuletzt", "einen", "Stein", "in", "seine", "Stirnmulde",
        "legt", "darf", "noch", "einmal", "ziehen", "The", "player", "who", "captures", "more", "stones",
        "wins", "the", "game", "each", "move", "sows", "all", "stones", "of", "one", "pit", "Variante",
        "Spieler", "Computer", "Mensch", "Runde", "Zeit", "Punkte", "<p>", "</p>", "<b>", "</b>", "<br>",
        "übernimmt", "gegenüberliegenden", "Größe", "zwölf", "Anfänger", "Mittelmäßig", "Profi"};
    std::mt19937 gen(Seed);
    std::string s;
    while (s.size() < N) {
        s += words[gen() % (sizeof words / sizeof *words)];
        const unsigned r = gen() % 16;
        s += r == 0 ? ".\r\n" : r == 1 ? ", " : " ";
    }
    s.resize(N);
    return Bytes(s.begin(), s.end());
}

// A 24-bit bottom-up bitmap with its file header, painted by Pixel(x, y, rgb).
template <class F>
Bytes Bitmap(int W, int H, F&& Pixel) {
    const int stride = (W * 3 + 3) & ~3;
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(stride * H);
    Bytes b(size, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(W));
    put32(22, static_cast<std::uint32_t>(H));
    b[26] = 1;
    b[28] = 24;
    put32(34, size - 54);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            std::uint8_t rgb[3];
            Pixel(x, H - 1 - y, rgb);
            const std::size_t at = 54 + static_cast<std::size_t>(y * stride + x * 3);
            b[at] = rgb[2];
            b[at + 1] = rgb[1];
            b[at + 2] = rgb[0];
        }
    }
    return b;
}

inline std::uint8_t Clamp(double V) { return static_cast<std::uint8_t>(V < 0 ? 0 : V > 255 ? 255 : V); }

inline Bytes WoodPicture(int W, int H, std::uint32_t Seed) {
    std::mt19937 gen(Seed);
    return Bitmap(W, H, [&](int x, int y, std::uint8_t* rgb) {
        const double ring = std::sin((x * 0.05 + std::sin(y * 0.013) * 4.0) * 3.0) * 0.5 + 0.5;
        const double grain = static_cast<double>(gen() % 9);
        rgb[0] = Clamp(150 + ring * 50 + grain);
        rgb[1] = Clamp(100 + ring * 35 + grain);
        rgb[2] = Clamp(50 + ring * 20 + grain / 2);
    });
}

// Shaded stones on a flat key colour, the kind of sprite sheet the board uses.
inline Bytes StonePicture(int W, int H) {
    return Bitmap(W, H, [&](int x, int y, std::uint8_t* rgb) {
        const int cx = x % 40 - 20;
        const int cy = y % 40 - 20;
        const int d2 = cx * cx + cy * cy;
        if (d2 > 17 * 17) {
            rgb[0] = 255;
            rgb[1] = 0;
            rgb[2] = 255;
            return;
        }
        const double light = 1.0 - std::sqrt((cx + 6.0) * (cx + 6.0) + (cy + 6.0) * (cy + 6.0)) / 30.0;
        const int tone = (x / 40 + y / 40) % 3;
        rgb[0] = Clamp(40 + tone * 60 + light * 150);
        rgb[1] = Clamp(40 + tone * 30 + light * 140);
        rgb[2] = Clamp(60 + light * 120);
    });
}

inline Bytes Noise(std::size_t N, std::uint32_t Seed) {
    std::mt19937 gen(Seed);
    Bytes b(N);
    for (auto& x : b) x = static_cast<std::uint8_t>(gen());
    return b;
}

inline Bytes MixedCorpus() {
    constexpr std::size_t Size = 1 << 20;
    Bytes b;
    b.reserve(Size);
    Append(b, ProseLike(180000, 1));
    Append(b, WoodPicture(240, 300, 2));    // 216 KB
    Append(b, Noise(80000, 3));
    Append(b, StonePicture(200, 200));      // 120 KB
    Append(b, ProseLike(150000, 4));
    Append(b, WoodPicture(160, 160, 5));    // 77 KB
    Append(b, Noise(70000, 6));
    Append(b, StonePicture(120, 120));      // 43 KB
    Append(b, ProseLike(Size - std::min(Size, b.size()), 7));
    b.resize(Size);
    return b;
}

}  // namespace tessum::bench
