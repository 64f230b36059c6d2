#include "game/uProfile.h"

#include "archive/Streams.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace tessum {

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\r'; }

std::string_view Trim(std::string_view S) {
    while (!S.empty() && IsBlank(S.front())) S.remove_prefix(1);
    while (!S.empty() && IsBlank(S.back())) S.remove_suffix(1);
    return S;
}

char LowerAscii(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C; }

bool SameName(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i)
        if (LowerAscii(A[i]) != LowerAscii(B[i])) return false;
    return true;
}

// An editor may have put a byte-order mark before the first section.
std::string_view WithoutBom(std::string_view Line) {
    if (Line.substr(0, 3) == "\xEF\xBB\xBF") Line.remove_prefix(3);
    return Line;
}

// "[name]" -> name. A header without its closing bracket still opens a section,
// named by the rest of the line, rather than being taken for a key.
bool ParseSection(std::string_view Line, std::string_view& Name) {
    Line = Trim(WithoutBom(Line));
    if (Line.empty() || Line.front() != '[') return false;
    Line.remove_prefix(1);
    const auto close = Line.find(']');
    Name = Trim(close == std::string_view::npos ? Line : Line.substr(0, close));
    return true;
}

bool ParseKey(std::string_view Line, std::string_view& Key, std::string_view& Value) {
    Line = Trim(WithoutBom(Line));
    if (Line.empty() || Line.front() == ';' || Line.front() == '[') return false;
    const auto eq = Line.find('=');
    if (eq == std::string_view::npos) return false;
    Key = Trim(Line.substr(0, eq));
    Value = Trim(Line.substr(eq + 1));
    return !Key.empty();
}

std::string_view Unquote(std::string_view V) {
    if (V.size() >= 2 && (V.front() == '"' || V.front() == '\'') && V.back() == V.front())
        return V.substr(1, V.size() - 2);
    return V;
}

enum class TReadResult { Missing, Read, Failed };

// What identifies one state of the file on disk: a save through a temporary
// gives a new inode, an edit in place a new size or time.
struct TFileIdentity {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    std::int64_t mtimeNs = 0;
    bool operator==(const TFileIdentity&) const = default;
};

TFileIdentity IdentityOf(const std::string& FileName) {
    TFileIdentity id;
    struct stat st {};
    if (::stat(FileName.c_str(), &st) != 0) return id;
    id.exists = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = st.st_size;
    id.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}

std::size_t& ReadCounter() {
    static std::size_t reads = 0;
    return reads;
}

TReadResult ReadWholeFile(const std::string& FileName, std::string& Content) {
    Content.clear();
    std::error_code ec;
    const auto st = std::filesystem::status(FileName, ec);
    if (st.type() == std::filesystem::file_type::not_found) return TReadResult::Missing;
    if (ec || st.type() != std::filesystem::file_type::regular) return TReadResult::Failed;
    // A file this large is no settings file of ours; it counts as damaged
    // before a byte of it is read.
    if (std::filesystem::file_size(FileName, ec) > MaxSettingsFileSize || ec) return TReadResult::Failed;
    std::FILE* f = std::fopen(FileName.c_str(), "rb");
    if (!f) return TReadResult::Failed;
    ++ReadCounter();
    char buf[16384];
    std::size_t n;
    bool bad = false;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        Content.append(buf, n);
        // It may have grown since it was measured.
        if (Content.size() > MaxSettingsFileSize) {
            bad = true;
            break;
        }
    }
    bad = bad || std::ferror(f) != 0;
    std::fclose(f);
    if (bad) Content.clear();
    return bad ? TReadResult::Failed : TReadResult::Read;
}

std::vector<std::string_view> SplitLines(std::string_view Content) {
    std::vector<std::string_view> lines;
    while (!Content.empty()) {
        const auto nl = Content.find('\n');
        if (nl == std::string_view::npos) {
            lines.push_back(Content);
            break;
        }
        std::string_view line = Content.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        Content.remove_prefix(nl + 1);
    }
    return lines;
}

// A name or value is one line of the file; a NUL ends it as it would end a C string.
std::string OneLine(std::string_view S) {
    std::string r(S.substr(0, S.find('\0')));
    for (char& c : r)
        if (c == '\r' || c == '\n') c = ' ';
    return r;
}

}  // namespace

namespace {

std::string FitBuffer(std::string_view V) { return std::string(V.substr(0, ProfileBufferSize - 1)); }

std::string LookUp(std::string_view Content, std::string_view RawSection, std::string_view RawKey,
                   std::string_view Default) {
    // Names are taken as a write stores them, so what was written reads back.
    const std::string section(Trim(OneLine(RawSection)));
    const std::string key(Trim(OneLine(RawKey)));
    const std::string_view Section = section, Key = key;
    if (Section.empty() || Key.empty()) return FitBuffer(Default);
    bool inSection = false;
    for (std::string_view line : SplitLines(Content)) {
        std::string_view name, key, value;
        if (ParseSection(line, name)) {
            // Only the first section of a name counts, for reading as for writing.
            if (inSection) break;
            inSection = SameName(name, Section);
        } else if (inSection && ParseKey(line, key, value) && SameName(key, Key)) {
            // The value is read as a C string: a NUL ends it.
            return FitBuffer(Unquote(Trim(value.substr(0, value.find('\0')))));
        }
    }
    return FitBuffer(Default);
}

// Sets Key in the file whose current state is Read/Content; on success
// NewContent holds what the file now contains.
bool WriteIntoContent(const std::string& FileName, TReadResult Read, const std::string& Content,
                      std::string_view Section, std::string_view Key, std::string_view Value,
                      std::string& NewContent) {
    // A file we cannot read in full must not be replaced by what little we know of it.
    if (Read == TReadResult::Failed) return false;
    std::string out = Content;
    if (!SetProfileValue(out, Section, Key, Value)) return false;
    try {
        // Refuses a write-protected file, keeps the permissions of the one it
        // replaces and writes through a symbolic link.
        WriteFileSafely(FileName, [&](TStream& s) { s.WriteBuffer(out.data(), out.size()); });
    } catch (const std::exception&) {
        return false;
    }
    NewContent = std::move(out);
    return true;
}

}  // namespace

std::string GetProfileString(const std::string& FileName, std::string_view Section,
                             std::string_view Key, std::string_view Default) {
    std::string content;
    if (Section.empty() || Key.empty() || ReadWholeFile(FileName, content) != TReadResult::Read)
        return FitBuffer(Default);
    return LookUp(content, Section, Key, Default);
}

bool WriteProfileString(const std::string& FileName, std::string_view Section,
                        std::string_view Key, std::string_view Value) {
    std::string content, written;
    const TReadResult read = ReadWholeFile(FileName, content);
    return WriteIntoContent(FileName, read, content, Section, Key, Value, written);
}

std::size_t ProfileFileReads() { return ReadCounter(); }

std::string ProfileValue(std::string_view Content, std::string_view Section, std::string_view Key,
                         std::string_view Default) {
    return LookUp(Content, Section, Key, Default);
}

bool SetProfileValue(std::string& Content, std::string_view Section, std::string_view Key, std::string_view Value) {
    const std::string section(Trim(OneLine(Section)));
    const std::string key(Trim(OneLine(Key)));
    const std::string value = OneLine(Value);
    // Names the file could not give back: a bracket would end the section
    // header early, a key would read as a comment or a header or end at "=".
    if (section.empty() || key.empty() || key.find('=') != std::string::npos ||
        section.find(']') != std::string::npos || key.front() == ';' || key.front() == '[')
        return false;

    const std::string eol = Content.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    const auto old = SplitLines(Content);
    std::vector<std::string> lines(old.begin(), old.end());

    std::size_t header = lines.size();
    std::size_t insertAt = lines.size();
    bool replaced = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name, k, v;
        if (ParseSection(lines[i], name)) {
            if (header != lines.size()) break;
            if (SameName(name, section)) insertAt = (header = i) + 1;
        } else if (header != lines.size() && ParseKey(lines[i], k, v)) {
            if (SameName(k, key)) {
                lines[i] = std::string(k) + "=" + value;
                replaced = true;
                break;
            }
            insertAt = i + 1;
        }
    }
    if (!replaced) {
        if (header == lines.size()) {
            if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
            lines.push_back("[" + section + "]");
            insertAt = lines.size();
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), key + "=" + value);
    }

    std::string out;
    for (const auto& l : lines) out += l + eol;
    Content = std::move(out);
    return true;
}

int ProfileTextToInt(std::string_view Text, int Default) {
    Text = Trim(Text);
    if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
        std::uint64_t v = 0;
        for (char c : Text.substr(2)) {
            int d;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else return Default;
            v = v * 16 + static_cast<std::uint64_t>(d);
            if (v > 0xFFFFFFFFu) return Default;
        }
        return static_cast<int>(static_cast<std::uint32_t>(v));
    }
    std::size_t i = 0;
    bool negative = false;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) negative = Text[i++] == '-';
    if (i == Text.size()) return Default;
    std::int64_t v = 0;
    for (; i < Text.size(); ++i) {
        if (Text[i] < '0' || Text[i] > '9') return Default;
        v = v * 10 + (Text[i] - '0');
        if (v > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1) return Default;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max()) return Default;
    return static_cast<int>(v);
}

struct TIniFile::TCache {
    bool valid = false;
    TFileIdentity identity;
    TReadResult result = TReadResult::Missing;
    std::string content;
};

TIniFile::TIniFile(std::string FileName) : fileName_(std::move(FileName)), cache_(std::make_shared<TCache>()) {}

// The file is read once and kept while it stays as it is on disk, so the keys
// of one operation cost one read and a change by anyone else is still seen.
// File times are coarse: a file changed within the last moments could change
// again without its time or size showing it, so such a read is not kept.
const TIniFile::TCache& TIniFile::Current() const {
    const TFileIdentity now = IdentityOf(fileName_);
    if (!cache_->valid || !(cache_->identity == now)) {
        const std::int64_t readAt = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::system_clock::now().time_since_epoch())
                                        .count();
        cache_->result = ReadWholeFile(fileName_, cache_->content);
        cache_->identity = now;
        cache_->valid = !now.exists || readAt - now.mtimeNs > 2'000'000'000;
    }
    return *cache_;
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Key,
                                 std::string_view Default) const {
    const TCache& c = Current();
    if (c.result != TReadResult::Read) return FitBuffer(Default);
    return LookUp(c.content, Section, Key, Default);
}

int TIniFile::ReadInteger(std::string_view Section, std::string_view Key, int Default) const {
    return ProfileTextToInt(ReadString(Section, Key, ""), Default);
}

bool TIniFile::ReadBool(std::string_view Section, std::string_view Key, bool Default) const {
    return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view Section, std::string_view Key, std::string_view Value) {
    const TCache& c = Current();
    std::string written;
    if (!WriteIntoContent(fileName_, c.result, c.content, Section, Key, Value, written)) {
        cache_->valid = false;
        throw EIniFileException("nach " + fileName_ + " kann nicht geschrieben werden");
    }
    // Just written, so not to be trusted by its time (see Current).
    cache_->valid = false;
}

void TIniFile::WriteInteger(std::string_view Section, std::string_view Key, int Value) {
    WriteString(Section, Key, std::to_string(Value));
}

void TIniFile::WriteBool(std::string_view Section, std::string_view Key, bool Value) {
    WriteString(Section, Key, Value ? "1" : "0");
}

}  // namespace tessum
