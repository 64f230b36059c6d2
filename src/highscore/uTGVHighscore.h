// Generic highscore machinery: an entry is a list of named, typed values; a
// template list says which values an entry has, in which order they are
// stored, and how each is shown; a table keeps the best entries sorted and
// bounded and stores them in an encrypted container.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "archive/Streams.h"

namespace tessum {

// Stored as one byte in the template's meaning; the codes are fixed.
enum class TGVValueType : std::uint8_t { String = 0, Integer = 1, Byte = 2, Boolean = 3, Float = 4 };

class TGVValue;
class TGVValueList;

// Display text of a value; may read sibling values through the value's Owner.
using TGVGetText = std::function<std::string(const TGVValue&)>;

// Empty until set; then a string, an integer, a Boolean or a double.
using TGVVariant = std::variant<std::monostate, std::string, std::int32_t, bool, double>;

class TGVValue {
public:
    std::string Name;
    TGVValueType ValueType = TGVValueType::String;
    TGVVariant Value;
    TGVGetText OnGetText;

    TGVValue(TGVValueList& Owner, std::string Name, TGVValueType ValueType, TGVGetText OnGetText);
    TGVValue(const TGVValue&) = delete;
    TGVValue& operator=(const TGVValue&) = delete;

    TGVValueList& Owner() const { return *owner_; }

    // OnGetText when set, else the standard text: strings as they are,
    // integers in decimal, Booleans "-1" / "0", nothing for an empty value.
    std::string GetText() const;
    std::string StandardText() const;
    // The value as an integer when the field is an Integer field, 0 otherwise.
    std::int32_t AsInteger() const;

    // The held value converted to each storage type; used when writing.
    std::string ToString() const { return StandardText(); }
    std::int32_t ToInteger() const;
    bool ToBoolean() const;
    double ToDouble() const;

private:
    TGVValueList* owner_;
};

// One table entry, or the template. Owns its values; their Owner points back
// here, so a list is neither copied nor moved (use Assign).
class TGVValueList {
public:
    TGVValueList() = default;
    TGVValueList(const TGVValueList&) = delete;
    TGVValueList& operator=(const TGVValueList&) = delete;

    TGVValue& Add(const std::string& Name, TGVValueType ValueType, TGVGetText OnGetText = {});
    // First value whose name matches, ignoring the case of A to Z; null if none.
    TGVValue* Find(std::string_view Name);
    const TGVValue* Find(std::string_view Name) const;
    // Becomes a copy of Source: same names, types, text functions and values.
    void Assign(const TGVValueList& Source);
    void Clear() { values_.clear(); }

    int Count() const { return static_cast<int>(values_.size()); }
    TGVValue& Items(int Index) { return *values_.at(static_cast<std::size_t>(Index)); }
    const TGVValue& Items(int Index) const { return *values_.at(static_cast<std::size_t>(Index)); }

    // Each value with the primitive of its type; names and types are not stored.
    void SaveToStream(TStream& Stream) const;
    // Reads into the existing values in order; a Byte field is held as an integer.
    void LoadFromStream(TStream& Stream);
    // Fewest bytes one entry of this shape can take in a stream.
    std::int64_t MinStreamSize() const;

private:
    std::vector<std::unique_ptr<TGVValue>> values_;
};

// Negative when A ranks before B, positive when after, 0 when equal.
using TGVCompare = std::function<int(const TGVValueList& A, const TGVValueList& B)>;

class TCustomHighscore {
public:
    // Template is referred to, not copied: it must outlive the table.
    TCustomHighscore(std::string Key, TGVCompare Compare, const TGVValueList& Template);
    virtual ~TCustomHighscore() = default;
    TCustomHighscore(const TCustomHighscore&) = delete;
    TCustomHighscore& operator=(const TCustomHighscore&) = delete;

    std::int32_t MaxEntries = 20;
    // The container entry the table is stored under.
    static constexpr const char* EntryName = "hs";

    const TGVValueList& Template() const { return *template_; }
    const std::string& Key() const { return key_; }

    void Clear() { entries_.clear(); }
    int Count() const { return static_cast<int>(entries_.size()); }
    // Best entry first; an index outside 0..Count-1 throws std::out_of_range.
    const TGVValueList& Items(int Index) const;
    void Delete(int Index);

    // Adds a copy of Entry, sorts, cuts the table to MaxEntries. Returns the
    // copy's 0-based rank, or -1 when it did not stay. The caller keeps Entry.
    int Add(const TGVValueList& Entry);

    // Display text of a field of an entry; empty when the entry has no such field.
    std::string GetValueText(std::string_view FieldName, int Index) const;

    void SaveToStream(TStream& Stream) const;
    // Entries are sorted in one by one, so an unsorted or over-long stream
    // still gives a sorted table of at most MaxEntries. A stream that ends
    // early, or claims more entries than its bytes can hold, throws
    // ECorruptFile ("File is corrupt.") and leaves the table as it was.
    void LoadFromStream(TStream& Stream);

    // The whole file: a compressed, encrypted container holding "hs".
    void SaveToContainerStream(TStream& Dest) const;
    void LoadFromContainerStream(TStream& Source);

    // Written through a temporary sibling, so a failed save keeps the old table.
    void SaveToFile(const std::string& FileName) const;
    // A missing file leaves the table as it is; a damaged one, one written with
    // another key, or one without the entry throws ECorruptFile and leaves it too.
    void LoadFromFile(const std::string& FileName);

private:
    std::string key_;
    TGVCompare compare_;
    const TGVValueList* template_;
    std::vector<std::unique_ptr<TGVValueList>> entries_;

    void Sort(int L, int R);
};

}  // namespace tessum
