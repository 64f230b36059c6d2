#include "archive/QDStreamCol.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tessum {

namespace {

constexpr std::uint8_t Signature[8] = {1, 2, 3, 4, 5, 6, 7, 8};
constexpr std::uint8_t MarkCompressed = '&';
constexpr std::uint8_t MarkEncrypted = '*';
constexpr std::uint8_t MarkPlain = ' ';
constexpr std::size_t MaxKeyLength = 255;
constexpr std::size_t MaxNameLength = 0xFFFF;
// Largest body that can hold a payload of Limit bytes: room for the coding
// overhead on incompressible data (well under one percent), the length word
// and the cipher's padding.
std::int64_t MaxBodyFor(std::int64_t Limit) { return Limit + Limit / 16 + 64; }

// Lower case in the Western code page: ASCII, the accented capitals
// 0xC0..0xDE (without the multiplication sign) and the four capitals that
// live in the 0x80 row.
unsigned char FoldCase(unsigned char C) {
    if (C >= 'A' && C <= 'Z') return static_cast<unsigned char>(C + 32);
    if (C >= 0xC0 && C <= 0xDE && C != 0xD7) return static_cast<unsigned char>(C + 32);
    switch (C) {
        case 0x8A: return 0x9A;  // S caron
        case 0x8C: return 0x9C;  // OE
        case 0x8E: return 0x9E;  // Z caron
        case 0x9F: return 0xFF;  // Y diaeresis
        default: return C;
    }
}

bool HasSignature(const TMemoryStream& S) {
    return S.Size() >= 8 && std::memcmp(S.Memory(), Signature, sizeof Signature) == 0;
}

void PutLE(TMemoryStream& S, std::uint32_t V, int Bytes) {
    std::uint8_t b[4];
    for (int i = 0; i < Bytes; ++i) b[i] = static_cast<std::uint8_t>(V >> (8 * i));
    S.WriteBuffer(b, static_cast<std::size_t>(Bytes));
}

std::uint32_t GetLE(TStream& S, int Bytes) {
    std::uint8_t b[4] = {};
    S.ReadBuffer(b, static_cast<std::size_t>(Bytes));
    std::uint32_t v = 0;
    for (int i = Bytes - 1; i >= 0; --i) v = (v << 8) | b[i];
    return v;
}

}  // namespace

int CompareEntryNames(std::string_view A, std::string_view B) {
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char a = FoldCase(static_cast<unsigned char>(A[i]));
        const unsigned char b = FoldCase(static_cast<unsigned char>(B[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : A.size() < B.size() ? -1 : 1;
}

int TQDStreams::IndexOf(std::string_view Name) const {
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), Name, [](const auto& E, std::string_view N) {
        return CompareEntryNames(E.first, N) < 0;
    });
    if (it == entries_.end() || CompareEntryNames(it->first, Name) != 0) return -1;
    return static_cast<int>(it - entries_.begin());
}

namespace {
// Inserts in name order; a name that is present already keeps its entry.
template <class List>
void InsertSorted(List& Entries, std::string Name, std::unique_ptr<TMemoryStream> Data) {
    const auto it = std::lower_bound(Entries.begin(), Entries.end(), Name, [](const auto& E, const std::string& N) {
        return CompareEntryNames(E.first, N) < 0;
    });
    if (it != Entries.end() && CompareEntryNames(it->first, Name) == 0) return;
    Entries.emplace(it, std::move(Name), std::move(Data));
}

// Puts entries read in file order into name order in n log n, keeping the
// first of each name as inserting them one by one would.
template <class List>
void SortKeepingFirst(List& Entries) {
    std::stable_sort(Entries.begin(), Entries.end(), [](const auto& A, const auto& B) {
        return CompareEntryNames(A.first, B.first) < 0;
    });
    const auto end = std::unique(Entries.begin(), Entries.end(), [](const auto& A, const auto& B) {
        return CompareEntryNames(A.first, B.first) == 0;
    });
    Entries.erase(end, Entries.end());
}
}  // namespace

void TQDStreams::AddStream(const std::string& Name, TStream* Source) {
    if (Name.empty() || Source == nullptr) return;
    if (Name.size() > MaxNameLength) throw std::length_error("Entry name longer than 65535 bytes");
    if (IndexOf(Name) >= 0) return;
    auto data = std::make_unique<TMemoryStream>();
    if (Source->Size() > 0) data->CopyFrom(*Source, 0);
    data->SetPosition(0);
    InsertSorted(entries_, Name, std::move(data));
}

bool TQDStreams::GetStream(const std::string& Name, TStream& Dest) const {
    if (Name.empty()) return false;
    const int i = IndexOf(Name);
    if (i >= 0) {
        const auto& bytes = entries_[static_cast<std::size_t>(i)].second->Bytes();
        Dest.WriteBuffer(bytes.data(), bytes.size());
    }
    Dest.SetPosition(0);
    return i >= 0;
}

void TQDStreams::Clear() { entries_.clear(); }

void TQDStreams::LoadFromFile(const std::string& FileName) {
    TFileStream f(FileName, TFileMode::OpenRead);
    LoadFromStream(f);
}

void TQDStreams::Corrupt() {
    if (OnCorrupt) OnCorrupt(*this);
    throw ECorruptFile("File is corrupt.");
}

void TQDStreams::LoadFromStream(TStream& Source) {
    const std::int64_t limit = std::clamp<std::int64_t>(SizeLimit, 0, MaxUncompressedSize);
    Source.SetPosition(0);
    const std::int64_t size = Source.Size();
    // Not even the two markers: nothing here can be a container. Beyond what
    // a payload at the limit can become, it is no file this caller expects,
    // and it is refused before its size is allocated.
    if (size < 2 || size - 2 > MaxBodyFor(limit)) Corrupt();
    std::uint8_t marks[2];
    Source.ReadBuffer(marks, 2);
    TMemoryStream work;
    work.Bytes().resize(static_cast<std::size_t>(size - 2));
    Source.ReadBuffer(work.Memory(), work.Bytes().size());
    work.SetPosition(0);

    const bool compressed = marks[0] == MarkCompressed;
    const bool encrypted = marks[1] == MarkEncrypted;
    std::string key = Key;
    if (encrypted) {
        if (OnAskForKey) key = OnAskForKey(*this);
        bool ok = true;
        try {
            DecryptStream(work, key);
        } catch (...) {
            ok = false;
        }
        if (!ok) Corrupt();
    }
    if (!compressed && (!HasSignature(work) || work.Size() > limit)) Corrupt();

    TMemoryStream unpacked;
    TMemoryStream* payload = &work;
    if (compressed) {
        bool ok = true;
        try {
            work.SetPosition(0);
            DecompressStream(work, unpacked, limit);
        } catch (...) {
            ok = false;
        }
        if (!ok) Corrupt();
        payload = &unpacked;
    }
    if (!HasSignature(*payload)) Corrupt();

    payload->SetPosition(8);
    const std::int32_t count = static_cast<std::int32_t>(GetLE(*payload, 4));
    if (count > MaxEntryCount) Corrupt();
    Clear();
    // Read in file order and sorted once at the end: inserting each entry at
    // its place would move the whole table for every entry.
    try {
        for (std::int32_t i = 0; i < count; ++i) {
            const std::size_t nameLen = GetLE(*payload, 2);
            std::string name(nameLen, '\0');
            payload->ReadBuffer(name.data(), nameLen);
            const std::int32_t dataLen = static_cast<std::int32_t>(GetLE(*payload, 4));
            // Checked before allocating: a length the file cannot hold is damage,
            // not a request for memory.
            if (dataLen < 0 || dataLen > payload->Remaining()) throw EReadError("Stream read error");
            auto data = std::make_unique<TMemoryStream>();
            if (dataLen > 0) {
                data->Bytes().resize(static_cast<std::size_t>(dataLen));
                payload->ReadBuffer(data->Memory(), static_cast<std::size_t>(dataLen));
            }
            entries_.emplace_back(std::move(name), std::move(data));
        }
    } catch (...) {
        SortKeepingFirst(entries_);
        throw;
    }
    SortKeepingFirst(entries_);

    Key = key;
    Compressed = compressed;
    Encrypted = encrypted;
}

void TQDStreams::SaveToStream(TStream& Dest) const {
    const bool encrypt = Encrypted && !Key.empty();
    if (encrypt && Key.size() > MaxKeyLength) throw std::invalid_argument("Cipher key longer than 255 bytes");

    TMemoryStream payload;
    payload.WriteBuffer(Signature, sizeof Signature);
    PutLE(payload, static_cast<std::uint32_t>(entries_.size()), 4);
    for (const auto& [name, data] : entries_) {
        if (data->Size() > std::numeric_limits<std::int32_t>::max()) throw std::length_error("Entry too large");
        PutLE(payload, static_cast<std::uint32_t>(name.size()), 2);
        payload.WriteBuffer(name.data(), name.size());
        PutLE(payload, static_cast<std::uint32_t>(data->Size()), 4);
        payload.WriteBuffer(data->Memory(), data->Bytes().size());
    }

    // The reader refuses payloads beyond this bound, so writing one would
    // lose the data.
    if (payload.Size() > MaxUncompressedSize) throw std::length_error("Container too large");

    TMemoryStream body;
    if (Compressed) {
        payload.SetPosition(0);
        CompressStream(payload, body);
    } else {
        body.Bytes().swap(payload.Bytes());
    }
    if (encrypt) EncryptStream(body, Key);

    const std::uint8_t marks[2] = {Compressed ? MarkCompressed : MarkPlain, encrypt ? MarkEncrypted : MarkPlain};
    Dest.WriteBuffer(marks, 2);
    Dest.WriteBuffer(body.Memory(), body.Bytes().size());
}

}  // namespace tessum
