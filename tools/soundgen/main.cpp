// soundgen: writes the game's sound effects as WAVE files into a folder.
//   soundgen <folder>
// The committed files in src/resources/sounds are made with this tool.
#include "Sounds.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    try {
        for (const auto& sound : tessum::soundgen::MakeAllSounds()) {
            const std::string name = std::string(argv[1]) + "/" + sound.Name + ".wav";
            tessum::soundgen::WriteWaveFile(name, sound.Wave);
            std::printf("%s\n", name.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "soundgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
