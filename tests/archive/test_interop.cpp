// Our -lh5- layer against two independent coders: Debian's liblhasa decodes
// what we write, and we decode what the Java LHA tools (jlha) write.
#include "archive/QDStreamRoutines.h"
#include "SampleData.h"

#include <unistd.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

extern "C" {
#include <lha_decoder.h>
}

using namespace tessum;
using testdata::Bytes;

namespace {

struct TFeed {
    const std::uint8_t* p;
    std::size_t left;
};

size_t Feed(void* Buf, size_t Len, void* User) {
    auto* f = static_cast<TFeed*>(User);
    const std::size_t n = std::min(Len, f->left);
    std::memcpy(Buf, f->p, n);
    f->p += n;
    f->left -= n;
    return n;
}

// Decodes the bit stream behind our 4-byte length with liblhasa.
Bytes LhasaDecode(const Bytes& Layer, std::size_t Length) {
    char method[] = "-lh5-";
    LHADecoderType* type = lha_decoder_for_name(method);
    if (type == nullptr) throw std::runtime_error("liblhasa knows no -lh5-");
    TFeed feed{Layer.data() + 4, Layer.size() - 4};
    LHADecoder* d = lha_decoder_new(type, Feed, &feed, Length);
    if (d == nullptr) throw std::runtime_error("liblhasa decoder");
    Bytes out(Length + 1);
    std::size_t got = 0;
    for (;;) {
        const std::size_t n = lha_decoder_read(d, out.data() + got, out.size() - got);
        if (n == 0) break;
        got += n;
    }
    lha_decoder_free(d);
    out.resize(got);
    return out;
}

std::uint32_t LE(const Bytes& B, std::size_t At, int N) {
    std::uint32_t v = 0;
    for (int i = N - 1; i >= 0; --i) v = (v << 8) | B.at(At + static_cast<std::size_t>(i));
    return v;
}

struct TLhaEntry {
    std::string method;
    std::uint32_t original = 0;
    Bytes data;
};

// Level-2 headers, as jlha writes them with option 2.
std::map<std::string, TLhaEntry> ReadLevel2Archive(const Bytes& A) {
    std::map<std::string, TLhaEntry> entries;
    std::size_t at = 0;
    while (at < A.size() && A[at] != 0) {
        const std::size_t headerSize = LE(A, at, 2);
        if (A.at(at + 20) != 2) throw std::runtime_error("not a level-2 header");
        TLhaEntry e;
        e.method.assign(A.begin() + static_cast<std::ptrdiff_t>(at + 2), A.begin() + static_cast<std::ptrdiff_t>(at + 7));
        const std::size_t packed = LE(A, at + 7, 4);
        e.original = LE(A, at + 11, 4);
        std::string name;
        // Extended headers: size (2 bytes, including itself), type, content.
        for (std::size_t x = at + 24; ;) {
            const std::size_t size = LE(A, x, 2);
            if (size == 0) break;
            if (A.at(x + 2) == 0x01) name.assign(A.begin() + static_cast<std::ptrdiff_t>(x + 3), A.begin() + static_cast<std::ptrdiff_t>(x + size));
            x += size;
        }
        const std::size_t data = at + headerSize;
        e.data.assign(A.begin() + static_cast<std::ptrdiff_t>(data), A.begin() + static_cast<std::ptrdiff_t>(data + packed));
        entries[name] = std::move(e);
        at = data + packed;
    }
    return entries;
}

std::map<std::string, Bytes> Samples() {
    return {
        {"tiny.bin", Bytes{'a', 'b', 'c', 'a', 'b', 'c', 'a', 'b', 'c', 'd'}},
        {"text.txt", testdata::Text(120000)},
        {"runs.bin", testdata::Runs(90000)},
        {"picture.bmp", testdata::Picture(200000)},
        {"mixed.bin", testdata::Mixed(300000)},
        {"window.bin", testdata::Mixed(8193, 11)},
    };
}

}  // namespace

TEST(Interop, LiblhasaDecodesOurStreams) {
    auto samples = Samples();
    samples["random.bin"] = testdata::Random(70000);
    samples["same.bin"] = Bytes(100000, 'z');
    for (const auto& [name, in] : samples) {
        TMemoryStream src(in);
        TMemoryStream packed;
        CompressStream(src, packed);
        EXPECT_EQ(LhasaDecode(packed.Bytes(), in.size()), in) << name;
    }
}

TEST(Interop, WeDecodeJlhaArchives) {
    const auto dir = std::filesystem::temp_directory_path() / ("tessum_jlha_interop-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto samples = Samples();
    std::string files;
    for (const auto& [name, in] : samples) {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(in.data()), static_cast<std::streamsize>(in.size()));
        files += " " + name;
    }
    const std::string cmd = "cd '" + dir.string() + "' && jlha co52q test.lzh" + files + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    TMemoryStream archive;
    archive.LoadFromFile((dir / "test.lzh").string());
    const auto entries = ReadLevel2Archive(archive.Bytes());
    ASSERT_EQ(entries.size(), samples.size());
    int lh5 = 0;
    for (const auto& [name, in] : samples) {
        const TLhaEntry& e = entries.at(name);
        ASSERT_EQ(e.original, in.size()) << name;
        if (e.method != "-lh5-") continue;  // stored when packing did not pay
        ++lh5;
        TMemoryStream layer;
        const std::uint32_t n = e.original;
        layer.Write(&n, 4);
        layer.Write(e.data.data(), e.data.size());
        layer.SetPosition(0);
        TMemoryStream out;
        DecompressStream(layer, out);
        EXPECT_EQ(out.Bytes(), in) << name;
    }
    EXPECT_GE(lh5, 5);
    std::filesystem::remove_all(dir);
}
