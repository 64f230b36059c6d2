// Any byte string as a settings file: reading any key gives at most the
// buffer's worth of text without a NUL, and setting a key gives a file in
// which that key reads back as set while every other key of every section
// reads as before.
#include "game/uProfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace tessum;

namespace {
constexpr std::string_view Sections[] = {"settings", "newgame", "Settings ", "[x]", ""};
constexpr std::string_view Keys[] = {"sound", "language", "name1", "SOUND", "", "a=b", ";c", "[k"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 2) return 0;
    // The first two bytes pick the section and key to set; the rest is the file.
    const std::string_view section = Sections[Data[0] % std::size(Sections)];
    const std::string_view key = Keys[Data[1] % std::size(Keys)];
    std::string content(reinterpret_cast<const char*>(Data + 2), Size - 2);

    for (auto s : Sections)
        for (auto k : Keys) {
            const std::string v = ProfileValue(content, s, k, "dflt");
            if (v.size() >= ProfileBufferSize || v.find('\0') != std::string::npos) std::abort();
            ProfileTextToInt(v, 0);
        }

    std::string changed = content;
    const std::string value = "v" + std::to_string(Size);
    if (!SetProfileValue(changed, section, key, value)) {
        if (changed != content) std::abort();
        return 0;
    }
    if (ProfileValue(changed, section, key, "dflt") != value) std::abort();
    for (auto s : {std::string_view("settings"), std::string_view("newgame")})
        for (auto k : {std::string_view("sound"), std::string_view("language"), std::string_view("name1")}) {
            // Skips the key that was set, under whatever spelling names it.
            if (ProfileValue("[" + std::string(section) + "]\n" + std::string(key) + "=1", s, k, "") == "1") continue;
            if (ProfileValue(changed, s, k, "dflt") != ProfileValue(content, s, k, "dflt")) std::abort();
        }
    return 0;
}
