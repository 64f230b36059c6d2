// Settings files: text files of [sections] and key=value lines, read and
// written one value at a time so that everything the program does not know
// about (other keys, other sections, comments, blank lines) stays as it was.
//
// Section and key names are compared without regard to case (ASCII only, as
// the texts are 8-bit Windows-1252 strings). Blanks around names and values do
// not count, and a value wrapped in a pair of matching quotes loses them.
// A missing file or key simply yields the default; a file is created by its
// first write.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "archive/uPaths.h"

namespace tessum {

// A value could not be written; carries "nach <file> kann nicht geschrieben werden".
class EIniFileException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value is read into a buffer of this many characters, its terminating zero
// included, so a read returns at most ProfileBufferSize - 1 characters.
inline constexpr std::size_t ProfileBufferSize = 2048;

// The value of Key in Section, or Default when the file, the section or the key
// is missing (also when the file cannot be read). Cut to the buffer size.
std::string GetProfileString(const std::string& FileName, std::string_view Section,
                             std::string_view Key, std::string_view Default);

// A settings file larger than this is no file of ours (a real one is well
// under a kilobyte): it is read as a damaged one, giving the defaults, and
// is not rewritten, so whatever it holds stays for the user to look at.
inline constexpr std::size_t MaxSettingsFileSize = 1024 * 1024;

// The two halves of the calls above on a file's content in memory: the value
// of Key in Section, and the content with Key set to Value (false, and
// Content unchanged, when the section or key cannot be stored).
std::string ProfileValue(std::string_view Content, std::string_view Section, std::string_view Key,
                         std::string_view Default);
bool SetProfileValue(std::string& Content, std::string_view Section, std::string_view Key, std::string_view Value);

// How many times a settings file has been read from disk (for tests).
std::size_t ProfileFileReads();

// Sets Key in Section to Value, adding the section and key when missing and the
// file when it does not exist. Line breaks in the value become blanks, since they
// would split it into lines of their own. Returns false when the file could not
// be written; the file on disk is then unchanged.
bool WriteProfileString(const std::string& FileName, std::string_view Section,
                        std::string_view Key, std::string_view Value);

// Integer text of a settings file: decimal with an optional sign, or hexadecimal
// after "0x"/"0X" when the text is longer than two characters (up to 8 digits,
// taken as a 32-bit pattern, so 0xFFFFFFFF is -1). Anything else, including
// values outside the 32-bit range, gives Default.
int ProfileTextToInt(std::string_view Text, int Default);

// One settings file by name. Its content is read at the first call and
// kept while the file on disk stays unchanged; writes go to the file at once.
class TIniFile {
public:
    explicit TIniFile(std::string FileName);

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(std::string_view Section, std::string_view Key,
                           std::string_view Default) const;
    int ReadInteger(std::string_view Section, std::string_view Key, int Default) const;
    // Read as an integer: any value other than 0 is true.
    bool ReadBool(std::string_view Section, std::string_view Key, bool Default) const;

    // All writes throw EIniFileException when the file cannot be written.
    void WriteString(std::string_view Section, std::string_view Key, std::string_view Value);
    void WriteInteger(std::string_view Section, std::string_view Key, int Value);
    // Written as "1" or "0".
    void WriteBool(std::string_view Section, std::string_view Key, bool Value);

private:
    struct TCache;
    const TCache& Current() const;

    std::string fileName_;
    std::shared_ptr<TCache> cache_;
};

}  // namespace tessum
