// The game's eleven sound effects, each rendered in the format the game ships.
#pragma once

#include "Synth.h"

#include <string>
#include <vector>

namespace tessum::soundgen {

struct TSoundFile {
    std::string Name;   // file name without ".wav", as the game asks for it
    TWave Wave;
};

std::vector<TSoundFile> MakeAllSounds();

}  // namespace tessum::soundgen
