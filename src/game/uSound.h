// The program's sound effects: WAVE files compiled into the program under
// ":/sounds/", played one at a time. Playing returns at once; each new sound cuts
// off the one before. Without a sound device, or without a sound of the name,
// nothing plays and nothing is reported: sound is never worth an error message.
#pragma once

#include <QString>

#include <memory>
#include <string>
#include <string_view>

namespace tessum {

// Where the sounds leave the program. The device output is the default; tests
// put their own in its place to see what would have been heard.
class ISoundOutput {
public:
    virtual ~ISoundOutput() = default;
    // Starts the WAVE resource at ResourcePath (":/sounds/<file>") and returns at once.
    virtual void Play(const QString& ResourcePath) = 0;
    // Silences whatever this output is playing; harmless when it plays nothing.
    virtual void Stop() = 0;
};

// Stops the current sound, then starts the sound resource Name ("start",
// "1steininmulde", ...; case does not matter, a ".wav" ending may be given).
void PlaySoundResource(std::string_view Name);
// Stops whatever sound the program is playing.
void StopSound();

// The resource a name refers to, or an empty string when there is none.
QString SoundResourcePath(std::string_view Name);

// Replaces the output; nullptr goes back to the sound device. The device output
// is created on first use and released before the application object goes away.
void SetSoundOutput(std::unique_ptr<ISoundOutput> Output);

}  // namespace tessum
