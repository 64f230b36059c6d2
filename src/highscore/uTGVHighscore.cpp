#include "highscore/uTGVHighscore.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

#include "archive/QDStreamCol.h"
#include "records/uRecordFile.h"
#include "records/uStreamProcs.h"

namespace tessum {

namespace {

constexpr const char* CorruptText = "File is corrupt.";

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

std::int32_t ClampToInt32(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (d <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::lround(d));
}

double ParseDouble(const std::string& s) {
    double d = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), d);
    return r.ec == std::errc() ? d : 0.0;
}

}  // namespace

// ---- TGVValue ---------------------------------------------------------------

TGVValue::TGVValue(TGVValueList& Owner, std::string AName, TGVValueType AValueType, TGVGetText AOnGetText)
    : Name(std::move(AName)), ValueType(AValueType), OnGetText(std::move(AOnGetText)), owner_(&Owner) {}

std::string TGVValue::StandardText() const {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(const std::string& s) const { return s; }
        std::string operator()(std::int32_t i) const { return std::to_string(i); }
        std::string operator()(bool b) const { return b ? "-1" : "0"; }
        std::string operator()(double d) const {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.15g", d);
            return buf;
        }
    };
    return std::visit(Visitor{}, Value);
}

std::string TGVValue::GetText() const { return OnGetText ? OnGetText(*this) : StandardText(); }

std::int32_t TGVValue::AsInteger() const { return ValueType == TGVValueType::Integer ? ToInteger() : 0; }

std::int32_t TGVValue::ToInteger() const {
    struct Visitor {
        std::int32_t operator()(std::monostate) const { return 0; }
        std::int32_t operator()(const std::string& s) const {
            std::int32_t i = 0;
            const auto r = std::from_chars(s.data(), s.data() + s.size(), i);
            return r.ec == std::errc() ? i : ClampToInt32(ParseDouble(s));
        }
        std::int32_t operator()(std::int32_t i) const { return i; }
        std::int32_t operator()(bool b) const { return b ? -1 : 0; }
        std::int32_t operator()(double d) const { return ClampToInt32(d); }
    };
    return std::visit(Visitor{}, Value);
}

bool TGVValue::ToBoolean() const {
    struct Visitor {
        bool operator()(std::monostate) const { return false; }
        bool operator()(const std::string& s) const {
            if (SameName(s, "true")) return true;
            return ParseDouble(s) != 0.0;
        }
        bool operator()(std::int32_t i) const { return i != 0; }
        bool operator()(bool b) const { return b; }
        bool operator()(double d) const { return d != 0.0; }
    };
    return std::visit(Visitor{}, Value);
}

double TGVValue::ToDouble() const {
    struct Visitor {
        double operator()(std::monostate) const { return 0.0; }
        double operator()(const std::string& s) const { return ParseDouble(s); }
        double operator()(std::int32_t i) const { return i; }
        double operator()(bool b) const { return b ? -1.0 : 0.0; }
        double operator()(double d) const { return d; }
    };
    return std::visit(Visitor{}, Value);
}

// ---- TGVValueList -----------------------------------------------------------

TGVValue& TGVValueList::Add(const std::string& Name, TGVValueType ValueType, TGVGetText OnGetText) {
    values_.push_back(std::make_unique<TGVValue>(*this, Name, ValueType, std::move(OnGetText)));
    return *values_.back();
}

TGVValue* TGVValueList::Find(std::string_view Name) {
    for (auto& v : values_)
        if (SameName(v->Name, Name)) return v.get();
    return nullptr;
}

const TGVValue* TGVValueList::Find(std::string_view Name) const {
    return const_cast<TGVValueList*>(this)->Find(Name);
}

void TGVValueList::Assign(const TGVValueList& Source) {
    if (&Source == this) return;
    values_.clear();
    for (const auto& v : Source.values_) Add(v->Name, v->ValueType, v->OnGetText).Value = v->Value;
}

void TGVValueList::SaveToStream(TStream& Stream) const {
    for (const auto& v : values_) {
        switch (v->ValueType) {
            case TGVValueType::String: WriteString(Stream, v->ToString()); break;
            case TGVValueType::Integer: WriteInteger(Stream, v->ToInteger()); break;
            case TGVValueType::Byte: WriteByte(Stream, static_cast<std::uint8_t>(v->ToInteger())); break;
            case TGVValueType::Boolean: WriteBoolean(Stream, v->ToBoolean()); break;
            case TGVValueType::Float: WriteDouble(Stream, v->ToDouble()); break;
        }
    }
}

void TGVValueList::LoadFromStream(TStream& Stream) {
    for (auto& v : values_) {
        switch (v->ValueType) {
            case TGVValueType::String: v->Value = ReadString(Stream); break;
            case TGVValueType::Integer: v->Value = ReadInteger(Stream); break;
            case TGVValueType::Byte: v->Value = static_cast<std::int32_t>(ReadByte(Stream)); break;
            case TGVValueType::Boolean: v->Value = ReadBoolean(Stream); break;
            case TGVValueType::Float: v->Value = ReadDouble(Stream); break;
        }
    }
}

std::int64_t TGVValueList::MinStreamSize() const {
    std::int64_t n = 0;
    for (const auto& v : values_) {
        switch (v->ValueType) {
            case TGVValueType::String: n += 2; break;
            case TGVValueType::Integer: n += 4; break;
            case TGVValueType::Byte:
            case TGVValueType::Boolean: n += 1; break;
            case TGVValueType::Float: n += 8; break;
        }
    }
    return n;
}

// ---- TCustomHighscore -------------------------------------------------------

TCustomHighscore::TCustomHighscore(std::string Key, TGVCompare Compare, const TGVValueList& Template)
    : key_(std::move(Key)), compare_(std::move(Compare)), template_(&Template) {}

const TGVValueList& TCustomHighscore::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw std::out_of_range("Highscore index out of range");
    return *entries_[static_cast<std::size_t>(Index)];
}

void TCustomHighscore::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw std::out_of_range("Highscore index out of range");
    entries_.erase(entries_.begin() + Index);
}

// Tied entries end up wherever this particular quicksort puts them, and files
// and ranks already shown to players depend on that, so it is kept exactly.
// The bounds on the scans never bite for a consistent ordering; they only keep
// a faulty Compare from running off the list.
void TCustomHighscore::Sort(int L, int R) {
    for (;;) {
        int I = L;
        int J = R;
        const TGVValueList* P = entries_[static_cast<std::size_t>((L + R) / 2)].get();
        do {
            while (I < R && compare_(*entries_[static_cast<std::size_t>(I)], *P) < 0) ++I;
            while (J > L && compare_(*entries_[static_cast<std::size_t>(J)], *P) > 0) --J;
            if (I <= J) {
                std::swap(entries_[static_cast<std::size_t>(I)], entries_[static_cast<std::size_t>(J)]);
                ++I;
                --J;
            }
        } while (I <= J);
        if (L < J) Sort(L, J);
        L = I;
        if (I >= R) break;
    }
}

int TCustomHighscore::Add(const TGVValueList& Entry) {
    auto copy = std::make_unique<TGVValueList>();
    copy->Assign(Entry);
    const TGVValueList* added = copy.get();
    entries_.push_back(std::move(copy));
    if (compare_ && Count() > 1) Sort(0, Count() - 1);
    const int limit = MaxEntries < 0 ? 0 : MaxEntries;
    while (Count() > limit) entries_.pop_back();
    for (int i = 0; i < Count(); ++i)
        if (entries_[static_cast<std::size_t>(i)].get() == added) return i;
    return -1;
}

std::string TCustomHighscore::GetValueText(std::string_view FieldName, int Index) const {
    const TGVValue* v = Items(Index).Find(FieldName);
    return v ? v->GetText() : std::string();
}

void TCustomHighscore::SaveToStream(TStream& Stream) const {
    WriteWord(Stream, static_cast<std::uint16_t>(entries_.size()));
    for (const auto& e : entries_) e->SaveToStream(Stream);
}

void TCustomHighscore::LoadFromStream(TStream& Stream) {
    // Read aside and swap in only when the whole stream made sense.
    std::vector<std::unique_ptr<TGVValueList>> old;
    old.swap(entries_);
    try {
        const std::uint16_t n = ReadWord(Stream);
        const std::int64_t least = template_->MinStreamSize();
        if (least > 0 && n > Stream.Remaining() / least) throw ECorruptFile(CorruptText);
        TGVValueList work;
        work.Assign(*template_);
        for (std::uint16_t i = 0; i < n; ++i) {
            work.LoadFromStream(Stream);
            Add(work);
        }
    } catch (const EReadError&) {
        entries_.swap(old);
        throw ECorruptFile(CorruptText);
    } catch (...) {
        entries_.swap(old);
        throw;
    }
}

void TCustomHighscore::SaveToContainerStream(TStream& Dest) const {
    TMemoryStream body;
    SaveToStream(body);
    SaveRecordContainer(Dest, key_, EntryName, body);
}

void TCustomHighscore::LoadFromContainerStream(TStream& Source) {
    TMemoryStream body;
    LoadRecordContainer(Source, key_, EntryName, body);
    LoadFromStream(body);
}

void TCustomHighscore::SaveToFile(const std::string& FileName) const {
    SaveRecordFile(FileName, [this](TStream& out) { SaveToContainerStream(out); });
}

void TCustomHighscore::LoadFromFile(const std::string& FileName) {
    LoadRecordFile(FileName, [this](TStream& in) { LoadFromContainerStream(in); });
}

}  // namespace tessum
