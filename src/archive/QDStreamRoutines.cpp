#include "archive/QDStreamRoutines.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "archive/BlowfishPi.h"

namespace tessum {

namespace {

// ---------------------------------------------------------------------------
// -lh5- parameters. Every one of them is part of the stored format.

constexpr int DicBit = 13;
constexpr int DicSize = 1 << DicBit;          // window and ring buffer, 8192
constexpr int MaxMatch = 256;
constexpr int Threshold = 3;                  // shortest match
constexpr int NC = 256 + MaxMatch - Threshold + 1;  // literals and lengths, 510
constexpr int NP = DicBit + 1;                // position classes, 14
constexpr int NT = 16 + 3;                    // code-length symbols, 19
constexpr int TBit = 5;
constexpr int CBit = 9;
constexpr int PBit = 4;
constexpr int MaxCodeLen = 16;
constexpr int SymbolBufferSize = 16384;
// A flag byte plus eight three-byte matches must still fit behind this mark.
constexpr int SymbolBufferFull = SymbolBufferSize - 3 * 8;

// The most one block can produce: a 16-bit symbol count of longest matches.
constexpr std::int64_t MaxBlockOutput = 65535LL * MaxMatch;
// The fewest bits a block header can take (count and three single-symbol tables).
constexpr std::int64_t MinBlockHeaderBits = 16 + 2 * TBit + 2 * CBit + 2 * PBit;

[[noreturn]] void BadLayer() { throw ECorruptFile("Compressed file is corrupt"); }

// ---------------------------------------------------------------------------
// Decoder

// MSB-first bit reader over the whole compressed layer. Bits beyond the end
// of the data read as zero, as the format allows; the caller bounds the work.
class TBitReader {
public:
    TBitReader(const std::uint8_t* Data, std::size_t Size) : p_(Data), n_(Size) { Refill(); }

    // Keeps at least 57 valid bits in the buffer.
    void Refill() {
        if (bits_ > 56) return;
        if (pos_ + 8 <= n_) {
            std::uint64_t w = 0;
            for (int i = 0; i < 8; ++i) w = (w << 8) | p_[pos_ + static_cast<std::size_t>(i)];
            buf_ |= w >> bits_;
            pos_ += static_cast<std::size_t>((63 - bits_) >> 3);
            bits_ |= 56;
        } else {
            while (bits_ <= 56) {
                const std::uint64_t b = pos_ < n_ ? p_[pos_] : 0;
                ++pos_;
                buf_ |= b << (56 - bits_);
                bits_ += 8;
            }
        }
    }
    std::uint32_t Peek(int Count) const { return static_cast<std::uint32_t>(buf_ >> (64 - Count)); }
    std::uint64_t Window() const { return buf_; }
    void Skip(int Count) {
        buf_ <<= Count;
        bits_ -= Count;
    }
    // Count must not exceed what the last Refill guaranteed.
    std::uint32_t TakeNoRefill(int Count) {
        if (Count == 0) return 0;
        const std::uint32_t v = Peek(Count);
        Skip(Count);
        return v;
    }
    std::uint32_t Take(int Count) {
        Refill();
        return TakeNoRefill(Count);
    }
    // True once the decoder has used bits that the data does not contain.
    bool Overran() const { return 8 * pos_ - static_cast<std::size_t>(bits_) > 8 * n_; }

private:
    const std::uint8_t* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
    std::uint64_t buf_ = 0;
    int bits_ = 0;
};

// Canonical Huffman decoder: the first TableBits bits index a direct table,
// longer codes continue in a binary tree one bit at a time.
template <int N, int TableBits>
class THuffDecoder {
public:
    std::uint8_t len[N];

    // A code of one symbol that takes no bits.
    void SetSingle(int Symbol) {
        std::fill(std::begin(len), std::end(len), 0);
        std::fill(std::begin(table_), std::end(table_), static_cast<std::uint16_t>(Symbol));
    }

    void Build() {
        std::uint32_t count[MaxCodeLen + 1] = {};
        for (int i = 0; i < N; ++i) ++count[len[i]];
        std::uint32_t space = 0;
        for (int l = 1; l <= MaxCodeLen; ++l) space += count[l] << (MaxCodeLen - l);
        if (space == 0) {
            // Lengths that are all zero fill no code space; every lookup then
            // yields symbol 0 without consuming bits rather than stale entries.
            SetSingle(0);
            return;
        }
        // Checked at full width: a sum that wraps to 65536 in 16 bits would let
        // codes run beyond the table.
        if (space != 1u << MaxCodeLen) BadLayer();

        std::uint32_t start[MaxCodeLen + 2];
        start[1] = 0;
        for (int l = 1; l <= MaxCodeLen; ++l) start[l + 1] = start[l] + (count[l] << (MaxCodeLen - l));

        constexpr int jut = MaxCodeLen - TableBits;
        int avail = N;
        for (int ch = 0; ch < N; ++ch) {
            const int l = len[ch];
            if (l == 0) continue;
            const std::uint32_t code = start[l];
            start[l] += 1u << (MaxCodeLen - l);
            if (l <= TableBits) {
                const std::uint32_t first = code >> jut;
                const std::uint32_t last = first + (1u << (TableBits - l));
                for (std::uint32_t i = first; i < last; ++i) table_[i] = static_cast<std::uint16_t>(ch);
            } else {
                std::uint16_t* slot = &table_[code >> jut];
                std::uint32_t mask = 1u << (jut - 1);
                for (int depth = TableBits; depth < l; ++depth) {
                    if (*slot == Empty) {
                        left_[avail] = right_[avail] = Empty;
                        *slot = static_cast<std::uint16_t>(avail++);
                    }
                    slot = (code & mask) ? &right_[*slot] : &left_[*slot];
                    mask >>= 1;
                }
                *slot = static_cast<std::uint16_t>(ch);
            }
        }
    }

    // The reader must hold at least 16 valid bits.
    int Decode(TBitReader& In) const {
        std::uint32_t j = table_[In.Peek(TableBits)];
        if (j >= static_cast<std::uint32_t>(N)) {
            const std::uint64_t window = In.Window();
            std::uint64_t mask = std::uint64_t{1} << (63 - TableBits);
            do {
                j = (window & mask) ? right_[j] : left_[j];
                mask >>= 1;
            } while (j >= static_cast<std::uint32_t>(N));
        }
        In.Skip(len[j]);
        return static_cast<int>(j);
    }

    void ClearTable() { std::fill(std::begin(table_), std::end(table_), Empty); }

private:
    static constexpr std::uint16_t Empty = 0xFFFF;
    std::uint16_t table_[1 << TableBits];
    std::uint16_t left_[2 * N];
    std::uint16_t right_[2 * N];
};

class TLh5Decoder {
public:
    TLh5Decoder(const std::uint8_t* Data, std::size_t Size) : in_(Data, Size) {}

    void Decode(std::vector<std::uint8_t>& Out, std::size_t OutLen, std::size_t InitialCapacity);

private:
    TBitReader in_;
    THuffDecoder<NT, 8> t_;
    THuffDecoder<NC, 12> c_;
    THuffDecoder<NP, 8> p_;

    template <int N, int TB>
    void ReadPtLen(THuffDecoder<N, TB>& H, int NBit, int Special);
    void ReadCLen();
};

template <int N, int TB>
void TLh5Decoder::ReadPtLen(THuffDecoder<N, TB>& H, int NBit, int Special) {
    const int n = static_cast<int>(in_.Take(NBit));
    if (n == 0) {
        const int c = static_cast<int>(in_.Take(NBit));
        if (c >= N) BadLayer();
        H.SetSingle(c);
        return;
    }
    if (n > N) BadLayer();
    int i = 0;
    while (i < n) {
        in_.Refill();
        int c = static_cast<int>(in_.Peek(3));
        if (c == 7) {
            std::uint64_t mask = std::uint64_t{1} << (63 - 3);
            while (in_.Window() & mask) {
                mask >>= 1;
                if (++c > MaxCodeLen) BadLayer();
            }
        }
        in_.Skip(c < 7 ? 3 : c - 3);
        H.len[i++] = static_cast<std::uint8_t>(c);
        if (i == Special) {
            int zeros = static_cast<int>(in_.Take(2));
            if (i + zeros > N) BadLayer();
            while (zeros-- > 0) H.len[i++] = 0;
        }
    }
    while (i < N) H.len[i++] = 0;
    H.ClearTable();
    H.Build();
}

void TLh5Decoder::ReadCLen() {
    const int n = static_cast<int>(in_.Take(CBit));
    if (n == 0) {
        const int c = static_cast<int>(in_.Take(CBit));
        if (c >= NC) BadLayer();
        c_.SetSingle(c);
        return;
    }
    if (n > NC) BadLayer();
    int i = 0;
    while (i < n) {
        in_.Refill();
        int c = t_.Decode(in_);
        if (c <= 2) {
            int zeros = c == 0 ? 1 : c == 1 ? static_cast<int>(in_.TakeNoRefill(4)) + 3
                                             : static_cast<int>(in_.TakeNoRefill(CBit)) + 20;
            if (i + zeros > NC) BadLayer();
            while (zeros-- > 0) c_.len[i++] = 0;
        } else {
            c_.len[i++] = static_cast<std::uint8_t>(c - 2);
        }
    }
    while (i < NC) c_.len[i++] = 0;
    c_.ClearTable();
    c_.Build();
}

void TLh5Decoder::Decode(std::vector<std::uint8_t>& Out, std::size_t OutLen, std::size_t InitialCapacity) {
    // Room behind the usable part lets matches copy in 8-byte steps.
    constexpr std::size_t Slack = MaxMatch + 16;
    std::size_t limit = std::min(OutLen, std::max<std::size_t>(InitialCapacity, 1));
    Out.assign(limit + Slack, 0);
    std::uint8_t* out = Out.data();
    std::size_t r = 0;
    std::uint32_t blockLeft = 0;

    while (r < OutLen) {
        if (blockLeft == 0) {
            blockLeft = in_.Take(16);
            // A block without symbols makes no progress; no encoder writes one
            // ahead of data that is still to come.
            if (blockLeft == 0) BadLayer();
            ReadPtLen(t_, TBit, 3);
            ReadCLen();
            ReadPtLen(p_, PBit, -1);
        }
        if (r + MaxMatch > limit && limit < OutLen) {
            limit = std::min(OutLen, limit * 2 + MaxMatch);
            Out.resize(limit + Slack);
            out = Out.data();
        }
        --blockLeft;
        in_.Refill();
        const int c = c_.Decode(in_);
        if (c < 256) {
            out[r++] = static_cast<std::uint8_t>(c);
            continue;
        }
        std::size_t len = static_cast<std::size_t>(c - (256 - Threshold));
        const int j = p_.Decode(in_);
        const std::size_t dist = (j == 0 ? 0 : (std::size_t{1} << (j - 1)) + in_.TakeNoRefill(j - 1)) + 1;
        len = std::min(len, OutLen - r);
        if (dist > r) {
            // Reaches back before the first byte: the dictionary starts out zeroed.
            for (std::size_t k = 0; k < len; ++k, ++r) out[r] = r >= dist ? out[r - dist] : 0;
        } else if (dist >= 8) {
            const std::uint8_t* src = out + r - dist;
            std::uint8_t* dst = out + r;
            for (std::size_t k = 0; k < len; k += 8) std::memcpy(dst + k, src + k, 8);
            r += len;
        } else if (dist == 1) {
            std::memset(out + r, out[r - 1], len);
            r += len;
        } else {
            const std::uint8_t* src = out + r - dist;
            std::uint8_t* dst = out + r;
            for (std::size_t k = 0; k < len; ++k) dst[k] = src[k];
            r += len;
        }
    }
    // The encoder writes every bit its symbols need; a stream that only
    // completes with the zeros read past its end has lost its tail.
    if (in_.Overran()) BadLayer();
    Out.resize(OutLen);
}

// ---------------------------------------------------------------------------
// Encoder

class TBitWriter {
public:
    explicit TBitWriter(std::vector<std::uint8_t>& Out) : out_(Out) {}

    // Writes the low Count bits of Value, most significant first (Count <= 16).
    void Put(int Count, std::uint32_t Value) {
        if (Count == 0) return;
        acc_ = (acc_ << Count) | (Value & ((1u << Count) - 1));
        bits_ += Count;
        while (bits_ >= 8) {
            bits_ -= 8;
            out_.push_back(static_cast<std::uint8_t>(acc_ >> bits_));
        }
    }
    void Flush() {
        if (bits_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - bits_)));
        bits_ = 0;
        acc_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t acc_ = 0;
    int bits_ = 0;
};

// Huffman code lengths in the manner of the classic coder: the order in which
// the heap hands out symbols decides who gets the longest codes, and lengths
// beyond 16 are folded back by taking space from the longest shorter codes.
class THuffBuilder {
public:
    // Freq needs room for 2N - 1 entries (inner nodes). Returns the root; a
    // root below N means a single symbol (or none), whose length is 0.
    int MakeTree(int N, std::uint32_t* Freq, std::uint8_t* Len, std::uint16_t* Code) {
        n_ = N;
        freq_ = Freq;
        int heapSize = 0;
        heap_[1] = 0;
        for (int i = 0; i < N; ++i) {
            Len[i] = 0;
            if (Freq[i] != 0) heap_[++heapSize] = i;
        }
        if (heapSize < 2) {
            Code[heap_[1]] = 0;
            return heap_[1];
        }
        heapSize_ = heapSize;
        for (int i = heapSize_ / 2; i >= 1; --i) DownHeap(i);
        order_.clear();
        int avail = N;
        int k = 0;
        do {
            const int i = heap_[1];
            if (i < N) order_.push_back(i);
            heap_[1] = heap_[heapSize_--];
            DownHeap(1);
            const int j = heap_[1];
            if (j < N) order_.push_back(j);
            k = avail++;
            Freq[k] = Freq[i] + Freq[j];
            heap_[1] = k;
            DownHeap(1);
            left_[k] = i;
            right_[k] = j;
        } while (heapSize_ > 1);
        MakeLen(k, Len);
        MakeCode(N, Len, Code);
        return k;
    }

private:
    int n_ = 0;
    std::uint32_t* freq_ = nullptr;
    int heapSize_ = 0;
    int heap_[NC + 1];
    int left_[2 * NC];
    int right_[2 * NC];
    std::uint32_t lenCount_[MaxCodeLen + 1];
    std::vector<int> order_;

    void DownHeap(int i) {
        const int k = heap_[i];
        int j;
        while ((j = 2 * i) <= heapSize_) {
            if (j < heapSize_ && freq_[heap_[j]] > freq_[heap_[j + 1]]) ++j;
            if (freq_[k] <= freq_[heap_[j]]) break;
            heap_[i] = heap_[j];
            i = j;
        }
        heap_[i] = k;
    }

    void CountLen(int Node, int Depth) {
        if (Node < n_) {
            ++lenCount_[std::min(Depth, MaxCodeLen)];
        } else {
            CountLen(left_[Node], Depth + 1);
            CountLen(right_[Node], Depth + 1);
        }
    }

    void MakeLen(int Root, std::uint8_t* Len) {
        std::fill(std::begin(lenCount_), std::end(lenCount_), 0);
        CountLen(Root, 0);
        std::uint32_t cum = 0;
        for (int i = MaxCodeLen; i > 0; --i) cum += lenCount_[i] << (MaxCodeLen - i);
        while (cum != (1u << MaxCodeLen)) {
            --lenCount_[MaxCodeLen];
            for (int i = MaxCodeLen - 1; i > 0; --i) {
                if (lenCount_[i] != 0) {
                    --lenCount_[i];
                    lenCount_[i + 1] += 2;
                    break;
                }
            }
            --cum;
        }
        std::size_t next = 0;
        for (int i = MaxCodeLen; i > 0; --i) {
            for (std::uint32_t k = 0; k < lenCount_[i]; ++k) Len[order_[next++]] = static_cast<std::uint8_t>(i);
        }
    }

    void MakeCode(int N, const std::uint8_t* Len, std::uint16_t* Code) const {
        std::uint32_t start[MaxCodeLen + 2];
        start[1] = 0;
        for (int i = 1; i <= MaxCodeLen; ++i) start[i + 1] = (start[i] + lenCount_[i]) << 1;
        for (int i = 0; i < N; ++i) {
            if (Len[i] != 0) Code[i] = static_cast<std::uint16_t>(start[Len[i]]++);
        }
    }
};

// Longest-match search: a binary tree of the window's positions per hash of
// their first three bytes (the search of LZMA's bt3), which finds the longest
// match within the window without walking long chains on repetitive data.
class TMatchFinder {
public:
    TMatchFinder(const std::uint8_t* Data, std::size_t Size)
        : in_(Data), n_(Size), head_(std::size_t{1} << HashBits, 0), son_(2 * DicSize, 0) {}

    // Enters position Pos and returns the longest match for it (length 0 when
    // below the shortest match); Dist receives its distance (1..DicSize-1).
    // Positions inside a match already sent are only entered, not searched:
    // their tree order needs fewer leading bytes (Depth), which keeps flat
    // picture areas from costing a 256-byte comparison per byte.
    int Insert(std::size_t Pos, std::size_t& Dist, std::size_t Depth = MaxMatch) {
        const std::size_t left = n_ - Pos;
        if (left < static_cast<std::size_t>(Threshold)) return 0;
        const std::uint32_t lenLimit = static_cast<std::uint32_t>(std::min(left, Depth));
        const std::uint8_t* cur = in_ + Pos;
        const std::uint32_t h =
            ((static_cast<std::uint32_t>(cur[0]) << 16 | static_cast<std::uint32_t>(cur[1]) << 8 | cur[2]) *
             2654435761u) >> (32 - HashBits);
        std::uint32_t curMatch = head_[h];
        head_[h] = static_cast<std::uint32_t>(Pos + 1);
        const std::size_t cyclicPos = Pos & (DicSize - 1);
        std::uint32_t* ptr0 = &son_[2 * cyclicPos + 1];
        std::uint32_t* ptr1 = &son_[2 * cyclicPos];
        std::uint32_t len0 = 0;
        std::uint32_t len1 = 0;
        std::uint32_t best = 0;
        int cut = CutValue;
        for (;;) {
            if (curMatch == 0) break;
            const std::size_t mpos = curMatch - 1;
            const std::size_t delta = Pos - mpos;
            if (delta >= static_cast<std::size_t>(DicSize) || cut-- == 0) break;
            std::uint32_t* pair = &son_[2 * (mpos & (DicSize - 1))];
            const std::uint8_t* pb = in_ + mpos;
            std::uint32_t len = std::min(len0, len1);
            if (pb[len] == cur[len]) {
                len = Extend(pb, cur, len + 1, lenLimit);
                if (len > best) {
                    best = len;
                    Dist = delta;
                    if (len == lenLimit) {
                        *ptr1 = pair[0];
                        *ptr0 = pair[1];
                        return Result(best);
                    }
                }
            }
            if (pb[len] < cur[len]) {
                *ptr1 = curMatch;
                ptr1 = pair + 1;
                curMatch = *ptr1;
                len1 = len;
            } else {
                *ptr0 = curMatch;
                ptr0 = pair;
                curMatch = *ptr0;
                len0 = len;
            }
        }
        *ptr0 = 0;
        *ptr1 = 0;
        return Result(best);
    }

private:
    static constexpr int HashBits = 14;
    static constexpr int CutValue = 32;
    const std::uint8_t* in_;
    std::size_t n_;
    std::vector<std::uint32_t> head_;  // newest position + 1 per hash, 0 = none
    std::vector<std::uint32_t> son_;   // left/right links per window slot, position + 1

    // Length of the common prefix of A and B, known to be at least From.
    // Flat picture areas match the full 256 bytes at almost every position,
    // so this compares eight bytes at a time.
    static std::uint32_t Extend(const std::uint8_t* A, const std::uint8_t* B, std::uint32_t From, std::uint32_t Limit) {
        std::uint32_t len = From;
        while (len + 8 <= Limit) {
            std::uint64_t a;
            std::uint64_t b;
            std::memcpy(&a, A + len, 8);
            std::memcpy(&b, B + len, 8);
            const std::uint64_t diff = a ^ b;
            if (diff != 0) return len + static_cast<std::uint32_t>(FirstDifferentByte(diff));
            len += 8;
        }
        while (len < Limit && A[len] == B[len]) ++len;
        return len;
    }
    static int FirstDifferentByte(std::uint64_t Diff) {
        if constexpr (std::endian::native == std::endian::little) {
            return std::countr_zero(Diff) / 8;
        } else {
            return std::countl_zero(Diff) / 8;
        }
    }

    static int Result(std::uint32_t Best) { return Best >= static_cast<std::uint32_t>(Threshold) ? static_cast<int>(Best) : 0; }
};

class TLh5Encoder {
public:
    TLh5Encoder(const std::uint8_t* Data, std::size_t Size, std::vector<std::uint8_t>& Out)
        : in_(Data), n_(Size), bits_(Out), finder_(Data, Size) {}

    void Encode();

private:
    const std::uint8_t* in_;
    std::size_t n_;
    TBitWriter bits_;
    TMatchFinder finder_;
    THuffBuilder huff_;

    std::uint8_t buf_[SymbolBufferSize];
    std::size_t outputPos_ = 0;
    std::size_t cpos_ = 0;
    unsigned outputMask_ = 0;

    std::uint32_t cFreq_[2 * NC - 1] = {};
    std::uint32_t pFreq_[2 * NP - 1] = {};
    std::uint32_t tFreq_[2 * NT - 1] = {};
    std::uint8_t cLen_[NC] = {};
    std::uint16_t cCode_[NC] = {};
    std::uint8_t tLen_[NT] = {};
    std::uint16_t tCode_[NT] = {};
    std::uint8_t pLen_[NP] = {};
    std::uint16_t pCode_[NP] = {};

    void Output(unsigned C, unsigned P);
    void SendBlock();
    void CountTFreq();
    void WritePtLen(const std::uint8_t* Len, int N, int NBit, int Special);
    void WriteCLen();
    void EncodeC(int C) { bits_.Put(cLen_[C], cCode_[C]); }
    void EncodeP(unsigned P);
};

int BitLength(unsigned V) {
    int c = 0;
    while (V != 0) {
        V >>= 1;
        ++c;
    }
    return c;
}

void TLh5Encoder::Output(unsigned C, unsigned P) {
    if ((outputMask_ >>= 1) == 0) {
        outputMask_ = 0x80;
        if (outputPos_ >= static_cast<std::size_t>(SymbolBufferFull)) {
            SendBlock();
            outputPos_ = 0;
        }
        cpos_ = outputPos_++;
        buf_[cpos_] = 0;
    }
    buf_[outputPos_++] = static_cast<std::uint8_t>(C);
    ++cFreq_[C];
    if (C >= 256) {
        buf_[cpos_] |= static_cast<std::uint8_t>(outputMask_);
        buf_[outputPos_++] = static_cast<std::uint8_t>(P >> 8);
        buf_[outputPos_++] = static_cast<std::uint8_t>(P);
        ++pFreq_[BitLength(P)];
    }
}

void TLh5Encoder::CountTFreq() {
    std::fill(std::begin(tFreq_), std::end(tFreq_), 0);
    int n = NC;
    while (n > 0 && cLen_[n - 1] == 0) --n;
    int i = 0;
    while (i < n) {
        const int k = cLen_[i++];
        if (k == 0) {
            int count = 1;
            while (i < n && cLen_[i] == 0) {
                ++i;
                ++count;
            }
            if (count <= 2) {
                tFreq_[0] += static_cast<std::uint32_t>(count);
            } else if (count <= 18) {
                ++tFreq_[1];
            } else if (count == 19) {
                ++tFreq_[0];
                ++tFreq_[1];
            } else {
                ++tFreq_[2];
            }
        } else {
            ++tFreq_[k + 2];
        }
    }
}

void TLh5Encoder::WritePtLen(const std::uint8_t* Len, int N, int NBit, int Special) {
    int n = N;
    while (n > 0 && Len[n - 1] == 0) --n;
    bits_.Put(NBit, static_cast<std::uint32_t>(n));
    int i = 0;
    while (i < n) {
        const int k = Len[i++];
        if (k <= 6) {
            bits_.Put(3, static_cast<std::uint32_t>(k));
        } else {
            bits_.Put(k - 3, (1u << (k - 3)) - 2);
        }
        if (i == Special) {
            while (i < 6 && Len[i] == 0) ++i;
            bits_.Put(2, static_cast<std::uint32_t>(i - 3) & 3);
        }
    }
}

void TLh5Encoder::WriteCLen() {
    int n = NC;
    while (n > 0 && cLen_[n - 1] == 0) --n;
    bits_.Put(CBit, static_cast<std::uint32_t>(n));
    int i = 0;
    while (i < n) {
        const int k = cLen_[i++];
        if (k == 0) {
            int count = 1;
            while (i < n && cLen_[i] == 0) {
                ++i;
                ++count;
            }
            if (count <= 2) {
                for (int m = 0; m < count; ++m) bits_.Put(tLen_[0], tCode_[0]);
            } else if (count <= 18) {
                bits_.Put(tLen_[1], tCode_[1]);
                bits_.Put(4, static_cast<std::uint32_t>(count - 3));
            } else if (count == 19) {
                bits_.Put(tLen_[0], tCode_[0]);
                bits_.Put(tLen_[1], tCode_[1]);
                bits_.Put(4, 15);
            } else {
                bits_.Put(tLen_[2], tCode_[2]);
                bits_.Put(CBit, static_cast<std::uint32_t>(count - 20));
            }
        } else {
            bits_.Put(tLen_[k + 2], tCode_[k + 2]);
        }
    }
}

void TLh5Encoder::EncodeP(unsigned P) {
    const int c = BitLength(P);
    bits_.Put(pLen_[c], pCode_[c]);
    if (c > 1) bits_.Put(c - 1, P & (0xFFFFu >> (17 - c)));
}

void TLh5Encoder::SendBlock() {
    int root = huff_.MakeTree(NC, cFreq_, cLen_, cCode_);
    const std::uint32_t size = cFreq_[root];
    bits_.Put(16, size);
    if (root >= NC) {
        CountTFreq();
        root = huff_.MakeTree(NT, tFreq_, tLen_, tCode_);
        if (root >= NT) {
            WritePtLen(tLen_, NT, TBit, 3);
        } else {
            bits_.Put(TBit, 0);
            bits_.Put(TBit, static_cast<std::uint32_t>(root));
        }
        WriteCLen();
    } else {
        bits_.Put(TBit, 0);
        bits_.Put(TBit, 0);
        bits_.Put(CBit, 0);
        bits_.Put(CBit, static_cast<std::uint32_t>(root));
    }
    root = huff_.MakeTree(NP, pFreq_, pLen_, pCode_);
    if (root >= NP) {
        WritePtLen(pLen_, NP, PBit, -1);
    } else {
        bits_.Put(PBit, 0);
        bits_.Put(PBit, static_cast<std::uint32_t>(root));
    }
    std::size_t pos = 0;
    unsigned flags = 0;
    for (std::uint32_t i = 0; i < size; ++i) {
        if (i % 8 == 0) {
            flags = buf_[pos++];
        } else {
            flags <<= 1;
        }
        if (flags & 0x80) {
            EncodeC(buf_[pos++] + 256);
            unsigned k = static_cast<unsigned>(buf_[pos++]) << 8;
            k += buf_[pos++];
            EncodeP(k);
        } else {
            EncodeC(buf_[pos++]);
        }
    }
    std::fill(std::begin(cFreq_), std::begin(cFreq_) + NC, 0);
    std::fill(std::begin(pFreq_), std::begin(pFreq_) + NP, 0);
}

// How many leading bytes order the positions that are entered without a search.
constexpr std::size_t EnterDepth = 32;

void TLh5Encoder::Encode() {
    // One byte of lookahead: the match at the next position decides whether
    // the match at this one is worth taking (lazy selection).
    std::size_t pos = 0;
    std::size_t remainder = n_;
    std::size_t dist = 0;
    int matchLen = 0;
    if (n_ > 0) matchLen = finder_.Insert(0, dist);
    auto advance = [&] {
        ++pos;
        --remainder;
        matchLen = pos < n_ ? finder_.Insert(pos, dist) : 0;
        if (static_cast<std::size_t>(matchLen) > remainder) matchLen = static_cast<int>(remainder);
    };
    auto enterOnly = [&] {
        ++pos;
        --remainder;
        std::size_t unused = 0;
        if (pos < n_) finder_.Insert(pos, unused, EnterDepth);
    };
    while (remainder > 0) {
        const int lastLen = matchLen;
        const std::size_t lastDist = dist;
        advance();
        if (matchLen > lastLen || lastLen < Threshold) {
            Output(in_[pos - 1], 0);
        } else {
            Output(static_cast<unsigned>(lastLen + (256 - Threshold)), static_cast<unsigned>(lastDist - 1));
            // Only the position behind the match needs its own search.
            for (int k = lastLen - 1; k > 1; --k) enterOnly();
            advance();
        }
    }
    SendBlock();
    bits_.Put(7, 0);
    bits_.Flush();
}

void PutInt32(std::vector<std::uint8_t>& Out, std::uint32_t V) {
    for (int i = 0; i < 4; ++i) Out.push_back(static_cast<std::uint8_t>(V >> (8 * i)));
}

}  // namespace

void CompressStream(TMemoryStream& Source, TMemoryStream& Dest) {
    const std::int64_t start = std::min(Source.Position(), Source.Size());
    const std::size_t n = static_cast<std::size_t>(Source.Size() - start);
    if (n > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw std::length_error("Stream too large to compress");
    }
    std::vector<std::uint8_t> out;
    out.reserve(n / 2 + 64);
    PutInt32(out, static_cast<std::uint32_t>(n));
    {
        auto encoder = std::make_unique<TLh5Encoder>(Source.Memory() + start, n, out);
        encoder->Encode();
    }
    Source.SetPosition(Source.Size());
    Dest.Write(out.data(), out.size());
}

void DecompressStream(TMemoryStream& Source, TMemoryStream& Dest, std::int64_t Limit) {
    const std::int64_t start = std::min(Source.Position(), Source.Size());
    const std::size_t avail = static_cast<std::size_t>(Source.Size() - start);
    if (avail < 4) BadLayer();
    const std::uint8_t* p = Source.Memory() + start;
    const std::int32_t declared = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) |
                                                            static_cast<std::uint32_t>(p[1]) << 8 |
                                                            static_cast<std::uint32_t>(p[2]) << 16 |
                                                            static_cast<std::uint32_t>(p[3]) << 24);
    if (declared < 0 || declared > std::min(Limit, MaxUncompressedSize)) BadLayer();
    const std::size_t body = avail - 4;
    // Even blocks of zero-bit codes need a header each; a length beyond what
    // that many blocks can yield is a lie, refused before anything is allocated.
    const std::int64_t maxBlocks = static_cast<std::int64_t>(body) * 8 / MinBlockHeaderBits + 1;
    if (declared > 0 && static_cast<double>(declared) > static_cast<double>(maxBlocks) * MaxBlockOutput) BadLayer();

    std::vector<std::uint8_t> out;
    if (declared > 0) {
        auto decoder = std::make_unique<TLh5Decoder>(p + 4, body);
        // Start from what ordinary data compresses to and grow only as the
        // stream really delivers bytes.
        decoder->Decode(out, static_cast<std::size_t>(declared), body * 16 + 65536);
    }
    Source.SetPosition(Source.Size());
    if (Dest.Size() == 0 && Dest.Position() == 0) {
        Dest.Bytes().swap(out);
        Dest.SetPosition(Dest.Size());
    } else {
        Dest.Write(out.data(), out.size());
    }
}

// ---------------------------------------------------------------------------
// Blowfish

TBlowfish::TBlowfish(const std::string& Key) {
    if (Key.empty()) throw std::invalid_argument("Empty cipher key");
    if (Key.size() > 255) throw std::invalid_argument("Cipher key longer than 255 bytes");
    for (std::size_t i = 0; i < 18; ++i) p_[i] = BlowfishPi[i];
    for (std::size_t b = 0; b < 4; ++b) {
        for (std::size_t i = 0; i < 256; ++i) s_[b][i] = BlowfishPi[18 + 256 * b + i];
    }
    std::size_t j = 0;
    for (std::size_t i = 0; i < 18; ++i) {
        std::uint32_t data = 0;
        for (int k = 0; k < 4; ++k) {
            data = (data << 8) | static_cast<std::uint8_t>(Key[j]);
            if (++j == Key.size()) j = 0;
        }
        p_[i] ^= data;
    }
    std::uint32_t l = 0;
    std::uint32_t r = 0;
    for (std::size_t i = 0; i < 18; i += 2) {
        Encipher(l, r);
        p_[i] = l;
        p_[i + 1] = r;
    }
    for (auto& box : s_) {
        for (std::size_t i = 0; i < 256; i += 2) {
            Encipher(l, r);
            box[i] = l;
            box[i + 1] = r;
        }
    }
    for (const auto& box : s_) {
        auto sorted = box;
        std::sort(sorted.begin(), sorted.end());
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) weak_ = true;
    }
}

void TBlowfish::Encipher(std::uint32_t& L, std::uint32_t& R) const {
    std::uint32_t l = L;
    std::uint32_t r = R;
    for (int i = 0; i < 16; i += 2) {
        l ^= p_[static_cast<std::size_t>(i)];
        r ^= F(l);
        r ^= p_[static_cast<std::size_t>(i) + 1];
        l ^= F(r);
    }
    l ^= p_[16];
    r ^= p_[17];
    L = r;
    R = l;
}

void TBlowfish::Decipher(std::uint32_t& L, std::uint32_t& R) const {
    std::uint32_t l = L;
    std::uint32_t r = R;
    for (int i = 17; i > 1; i -= 2) {
        l ^= p_[static_cast<std::size_t>(i)];
        r ^= F(l);
        r ^= p_[static_cast<std::size_t>(i) - 1];
        l ^= F(r);
    }
    l ^= p_[1];
    r ^= p_[0];
    L = r;
    R = l;
}

namespace {
std::uint32_t LoadLE(const std::uint8_t* P) {
    return static_cast<std::uint32_t>(P[0]) | static_cast<std::uint32_t>(P[1]) << 8 |
           static_cast<std::uint32_t>(P[2]) << 16 | static_cast<std::uint32_t>(P[3]) << 24;
}
void StoreLE(std::uint8_t* P, std::uint32_t V) {
    for (int i = 0; i < 4; ++i) P[i] = static_cast<std::uint8_t>(V >> (8 * i));
}
}  // namespace

void TBlowfish::EncipherBlock(std::uint8_t* Block) const {
    std::uint32_t l = LoadLE(Block);
    std::uint32_t r = LoadLE(Block + 4);
    Encipher(l, r);
    StoreLE(Block, l);
    StoreLE(Block + 4, r);
}

void TBlowfish::DecipherBlock(std::uint8_t* Block) const {
    std::uint32_t l = LoadLE(Block);
    std::uint32_t r = LoadLE(Block + 4);
    Decipher(l, r);
    StoreLE(Block, l);
    StoreLE(Block + 4, r);
}

bool InitCipher(const std::string& Key) { return !TBlowfish(Key).WeakKey(); }

void EncryptStream(TMemoryStream& Stream, const std::string& Key) {
    if (Stream.Size() == 0) return;
    const TBlowfish cipher(Key);
    // A weak key leaves the data as it is; the reader makes the same decision,
    // so such files still round-trip.
    if (cipher.WeakKey()) return;
    auto& bytes = Stream.Bytes();
    const std::size_t n = bytes.size();
    const std::size_t fill = 8 - ((n + 1) % 8);
    bytes.insert(bytes.end(), fill, 0x01);
    bytes.push_back(static_cast<std::uint8_t>(fill));
    for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) cipher.EncipherBlock(bytes.data() + i);
    Stream.SetPosition(0);
}

void DecryptStream(TMemoryStream& Stream, const std::string& Key) {
    if (Stream.Size() == 0) return;
    const TBlowfish cipher(Key);
    if (cipher.WeakKey()) return;
    auto& bytes = Stream.Bytes();
    for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) cipher.DecipherBlock(bytes.data() + i);
    const std::size_t pad = bytes.back();
    if (pad + 1 > bytes.size()) throw ECorruptFile("Bad cipher padding");
    bytes.resize(bytes.size() - pad - 1);
    Stream.SetPosition(0);
}

}  // namespace tessum
