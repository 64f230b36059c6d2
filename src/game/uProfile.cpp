#include "game/uProfile.h"

#include "archive/Streams.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

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

TReadResult ReadWholeFile(const std::string& FileName, std::string& Content) {
    Content.clear();
    std::error_code ec;
    const auto st = std::filesystem::status(FileName, ec);
    if (st.type() == std::filesystem::file_type::not_found) return TReadResult::Missing;
    if (ec || st.type() != std::filesystem::file_type::regular) return TReadResult::Failed;
    std::FILE* f = std::fopen(FileName.c_str(), "rb");
    if (!f) return TReadResult::Failed;
    char buf[16384];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) Content.append(buf, n);
    const bool bad = std::ferror(f) != 0;
    std::fclose(f);
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

std::string& ProgramFolderOverride() {
    static std::string folder;
    return folder;
}

}  // namespace

std::string GetProfileString(const std::string& FileName, std::string_view Section,
                             std::string_view Key, std::string_view Default) {
    const auto fit = [](std::string_view V) { return std::string(V.substr(0, ProfileBufferSize - 1)); };
    std::string content;
    if (Section.empty() || Key.empty() || ReadWholeFile(FileName, content) != TReadResult::Read)
        return fit(Default);
    bool inSection = false;
    for (std::string_view line : SplitLines(content)) {
        std::string_view name, key, value;
        if (ParseSection(line, name)) {
            // Only the first section of a name counts, for reading as for writing.
            if (inSection) break;
            inSection = SameName(name, Section);
        } else if (inSection && ParseKey(line, key, value) && SameName(key, Key)) {
            return fit(Unquote(value));
        }
    }
    return fit(Default);
}

bool WriteProfileString(const std::string& FileName, std::string_view Section,
                        std::string_view Key, std::string_view Value) {
    const std::string section(Trim(OneLine(Section)));
    const std::string key(Trim(OneLine(Key)));
    const std::string value = OneLine(Value);
    if (section.empty() || key.empty() || key.find('=') != std::string::npos) return false;

    std::string content;
    const TReadResult read = ReadWholeFile(FileName, content);
    // A file we cannot read in full must not be replaced by what little we know of it.
    if (read == TReadResult::Failed) return false;
    // Renaming over a write-protected file would succeed; the protection is meant to hold.
    if (read == TReadResult::Read && ::access(FileName.c_str(), W_OK) != 0) return false;

    const std::string eol = content.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    const auto old = SplitLines(content);
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
    try {
        WriteFileSafely(FileName, [&](TStream& s) { s.WriteBuffer(out.data(), out.size()); });
    } catch (const std::exception&) {
        return false;
    }
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

std::string TIniFile::ReadString(std::string_view Section, std::string_view Key,
                                 std::string_view Default) const {
    return GetProfileString(fileName_, Section, Key, Default);
}

int TIniFile::ReadInteger(std::string_view Section, std::string_view Key, int Default) const {
    return ProfileTextToInt(ReadString(Section, Key, ""), Default);
}

bool TIniFile::ReadBool(std::string_view Section, std::string_view Key, bool Default) const {
    return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view Section, std::string_view Key, std::string_view Value) {
    if (!WriteProfileString(fileName_, Section, Key, Value))
        throw EIniFileException("nach " + fileName_ + " kann nicht geschrieben werden");
}

void TIniFile::WriteInteger(std::string_view Section, std::string_view Key, int Value) {
    WriteString(Section, Key, std::to_string(Value));
}

void TIniFile::WriteBool(std::string_view Section, std::string_view Key, bool Value) {
    WriteString(Section, Key, Value ? "1" : "0");
}

std::string ProgramFolder() {
    if (!ProgramFolderOverride().empty()) return ProgramFolderOverride();
    if (QCoreApplication::instance()) {
        const QByteArray dir = QCoreApplication::applicationDirPath().toLocal8Bit();
        if (!dir.isEmpty()) return dir.toStdString();
    }
    // Before the application object exists Qt cannot tell; the kernel can.
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path().string();
    return ".";
}

void SetProgramFolder(std::string Folder) {
    while (Folder.size() > 1 && Folder.back() == '/') Folder.pop_back();
    ProgramFolderOverride() = std::move(Folder);
}

std::string ProgramFile(std::string_view Name) {
    std::string folder = ProgramFolder();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder + std::string(Name);
}

}  // namespace tessum
