// tessum-archive: command-line access to the stream containers.
//
//   tessum-archive list FILE [--key KEY]
//   tessum-archive extract FILE NAME OUT [--key KEY]      (OUT "-" = stdout)
//   tessum-archive create OUT [--stored] [--key KEY] NAME=PATH ...
//
// Errors go to standard error; the exit code is 1 for a failed operation
// (also an input that is a directory, a FIFO or a device) and 2 for a wrong
// command line. `list` shows control characters in names as \xNN.
#include "archive/QDStreamCol.h"
#include "archive/Streams.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

using namespace tessum;

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

const char* const Usage =
    "usage: tessum-archive list FILE [--key KEY]\n"
    "       tessum-archive extract FILE NAME OUT [--key KEY]\n"
    "       tessum-archive create OUT [--stored] [--key KEY] NAME=PATH ...\n";

struct TUsageError {
    std::string text;
};

struct TArgs {
    std::vector<std::string> positional;
    std::optional<std::string> key;
    bool stored = false;
};

TArgs Parse(int argc, char** argv, bool AllowStored) {
    TArgs a;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--key") {
            if (i + 1 >= argc) throw TUsageError{"--key needs a value"};
            a.key = argv[++i];
        } else if (arg.rfind("--key=", 0) == 0) {
            a.key = arg.substr(6);
        } else if (arg == "--stored" && AllowStored) {
            a.stored = true;
        } else if (arg == "--") {
            for (++i; i < argc; ++i) a.positional.emplace_back(argv[i]);
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            throw TUsageError{"unknown option " + arg};
        } else {
            a.positional.push_back(arg);
        }
    }
    if (a.key && a.key->empty()) throw TUsageError{"the key must not be empty"};
    if (a.key && a.key->size() > 255) throw TUsageError{"the key must not be longer than 255 bytes"};
    return a;
}

void Open(TQDStreams& Q, const std::string& File, const TArgs& A) {
    if (A.key) Q.Key = *A.key;
    try {
        Q.LoadFromFile(File);
    } catch (const ECorruptFile& e) {
        // The markers tell whether a missing key is the likely cause.
        bool encrypted = false;
        try {
            TFileStream f(File, TFileMode::OpenRead);
            std::uint8_t marks[2] = {};
            encrypted = f.Read(marks, 2) == 2 && marks[1] == '*';
        } catch (const std::exception&) {
        }
        std::string text = File + ": " + e.what();
        if (encrypted) text += A.key ? " (encrypted: wrong key?)" : " (encrypted: give --key)";
        throw std::runtime_error(text);
    }
}

// An entry name as one line of the listing: control characters (also the
// C1 range, which some terminals obey) and the backslash become \xNN, so a
// hostile name can neither drive the terminal nor forge lines or columns.
std::string Printable(const std::string& Name) {
    std::string out;
    for (const char ch : Name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == '\\') {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02x", c);
            out += esc;
        } else {
            out += ch;
        }
    }
    return out;
}

int List(const TArgs& A) {
    if (A.positional.size() != 1) throw TUsageError{"list takes one FILE"};
    TQDStreams q;
    Open(q, A.positional[0], A);
    for (int i = 0; i < q.Count(); ++i) {
        std::printf("%s\t%lld\n", Printable(q.Names(i)).c_str(), static_cast<long long>(q.Streams(i).Size()));
    }
    return 0;
}

int Extract(const TArgs& A) {
    if (A.positional.size() != 3) throw TUsageError{"extract takes FILE NAME OUT"};
    const std::string& file = A.positional[0];
    const std::string& name = A.positional[1];
    const std::string& out = A.positional[2];
    TQDStreams q;
    Open(q, file, A);
    const int i = q.IndexOf(name);
    if (i < 0 || name.empty()) throw std::runtime_error(file + ": no entry \"" + name + "\"");
    const auto& bytes = q.Streams(i).Bytes();
    if (out == "-") {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
            throw std::runtime_error("cannot write to standard output");
        }
    } else {
        WriteFileSafely(out, [&](TStream& s) { s.WriteBuffer(bytes.data(), bytes.size()); });
    }
    return 0;
}

int Create(const TArgs& A) {
    if (A.positional.empty()) throw TUsageError{"create takes OUT and NAME=PATH entries"};
    const std::string& out = A.positional[0];
    TQDStreams q;
    q.Compressed = !A.stored;
    q.Encrypted = A.key.has_value();
    if (A.key) q.Key = *A.key;
    for (std::size_t i = 1; i < A.positional.size(); ++i) {
        const std::string& pairText = A.positional[i];
        const auto eq = pairText.find('=');
        if (eq == std::string::npos || eq == 0 || eq + 1 == pairText.size()) {
            throw TUsageError{"expected NAME=PATH, got \"" + pairText + "\""};
        }
        const std::string name = pairText.substr(0, eq);
        if (name.size() > 0xFFFF) throw TUsageError{"entry name too long"};
        // The container silently keeps the first of two names that differ only
        // in case; for a tool building archives that is a mistake worth naming.
        if (q.IndexOf(name) >= 0) throw TUsageError{"entry \"" + name + "\" given twice (names ignore case)"};
        TMemoryStream data;
        data.LoadFromFile(pairText.substr(eq + 1));
        q.AddStream(name, data);
    }
    WriteFileSafely(out, [&](TStream& s) { q.SaveToStream(s); });
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(Usage, stderr);
        return ExitUsage;
    }
    const std::string command = argv[1];
    try {
        if (command == "list") return List(Parse(argc, argv, false));
        if (command == "extract") return Extract(Parse(argc, argv, false));
        if (command == "create") return Create(Parse(argc, argv, true));
        if (command == "--help" || command == "-h" || command == "help") {
            std::fputs(Usage, stdout);
            return 0;
        }
        throw TUsageError{"unknown command \"" + command + "\""};
    } catch (const TUsageError& e) {
        std::fprintf(stderr, "tessum-archive: %s\n%s", e.text.c_str(), Usage);
        return ExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessum-archive: %s\n", e.what());
        return ExitFailed;
    }
}
