// Deterministic sample inputs for the layer tests: kinds of data that
// exercise different parts of the coder (literals, long matches, runs,
// incompressible noise).
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tessum::testdata {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Random(std::size_t N, std::uint32_t Seed = 1) {
    std::mt19937 gen(Seed);
    Bytes b(N);
    for (auto& x : b) x = static_cast<std::uint8_t>(gen());
    return b;
}

// Word salad with the letter frequencies of prose and Western umlauts.
inline Bytes Text(std::size_t N, std::uint32_t Seed = 2) {
    static const char* const words[] = {"der", "die", "das", "Mulde", "Stein", "Spieler", "sät", "über",
                                        "the", "stones", "pit", "store", "wins", "Größe", "and", "von",
                                        "Runde", "Zeit", "move", "\r\n", "capture", "Stirnmulde", "zwölf"};
    std::mt19937 gen(Seed);
    std::string s;
    while (s.size() < N) {
        s += words[gen() % (sizeof words / sizeof *words)];
        s += (gen() % 9 == 0) ? ", " : " ";
    }
    s.resize(N);
    return Bytes(s.begin(), s.end());
}

inline Bytes Runs(std::size_t N, std::uint32_t Seed = 3) {
    std::mt19937 gen(Seed);
    Bytes b;
    while (b.size() < N) b.insert(b.end(), 1 + gen() % 700, static_cast<std::uint8_t>(gen() % 4));
    b.resize(N);
    return b;
}

// Rows of a 24-bit picture: smooth gradients with a little grain and shapes,
// like the board artwork.
inline Bytes Picture(std::size_t N, std::uint32_t Seed = 4) {
    std::mt19937 gen(Seed);
    Bytes b;
    b.reserve(N);
    const int width = 181;
    for (int y = 0; b.size() < N; ++y) {
        for (int x = 0; x < width && b.size() < N; ++x) {
            const bool disc = (x - 90) * (x - 90) + (y % 120 - 60) * (y % 120 - 60) < 900;
            const int grain = static_cast<int>(gen() % 3);
            b.push_back(static_cast<std::uint8_t>(disc ? 30 : (x + y) / 2 + grain));
            if (b.size() < N) b.push_back(static_cast<std::uint8_t>(disc ? 60 : 120 + (y % 64) + grain));
            if (b.size() < N) b.push_back(static_cast<std::uint8_t>(disc ? 200 : 255 - x + grain));
        }
    }
    return b;
}

inline Bytes Mixed(std::size_t N, std::uint32_t Seed = 5) {
    Bytes b;
    std::uint32_t s = Seed;
    while (b.size() < N) {
        const std::size_t piece = 3000 + (s * 7919u) % 20000;
        Bytes p;
        switch (s % 4) {
            case 0: p = Text(piece, s); break;
            case 1: p = Picture(piece, s); break;
            case 2: p = Runs(piece, s); break;
            default: p = Random(piece / 4, s); break;
        }
        b.insert(b.end(), p.begin(), p.end());
        ++s;
    }
    b.resize(N);
    return b;
}

}  // namespace tessum::testdata
