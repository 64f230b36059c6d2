// Byte streams shared by the container and the record layouts.
//
// The data files are small and always handled whole, so the workhorse is an
// in-memory stream; the file stream exists only to move whole files in and out.
// Reading past the end throws EReadError: a layout that runs short must never be
// completed with invented bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessum {

class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A read that could not be satisfied in full.
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// Opening, creating, writing or seeking a file failed.
class EFileError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

enum class TSeekOrigin { Beginning, Current, End };

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to Count bytes; returns how many were read (0 at the end).
    virtual std::size_t Read(void* Buffer, std::size_t Count) = 0;
    // Writes Count bytes; throws when they cannot all be written.
    virtual void Write(const void* Buffer, std::size_t Count) = 0;
    virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;
    virtual std::int64_t Size() const = 0;
    virtual void SetSize(std::int64_t NewSize) = 0;

    std::int64_t Position() const { return const_cast<TStream*>(this)->Seek(0, TSeekOrigin::Current); }
    void SetPosition(std::int64_t Pos) { Seek(Pos, TSeekOrigin::Beginning); }
    std::int64_t Remaining() const { return Size() - Position(); }

    // Reads exactly Count bytes or throws EReadError (position is then unspecified).
    void ReadBuffer(void* Buffer, std::size_t Count);
    void WriteBuffer(const void* Buffer, std::size_t Count) { Write(Buffer, Count); }

    // Copies Count bytes from Source's current position; Count 0 copies the whole
    // of Source from position 0, like the classic CopyFrom. Returns bytes copied.
    std::int64_t CopyFrom(TStream& Source, std::int64_t Count);
};

class TMemoryStream final : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> Bytes) : data_(std::move(Bytes)) {}

    std::size_t Read(void* Buffer, std::size_t Count) override;
    void Write(const void* Buffer, std::size_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }
    void SetSize(std::int64_t NewSize) override;

    void Clear() { data_.clear(); pos_ = 0; }
    void Reserve(std::size_t Capacity) { data_.reserve(Capacity); }

    // Direct access for the compression and cipher routines, which work on whole buffers.
    std::uint8_t* Memory() { return data_.data(); }
    const std::uint8_t* Memory() const { return data_.data(); }
    const std::vector<std::uint8_t>& Bytes() const { return data_; }
    std::vector<std::uint8_t>& Bytes() { return data_; }

    void LoadFromStream(TStream& Source);      // whole of Source, position 0 afterwards
    void SaveToStream(TStream& Dest) const;    // whole content at Dest's position
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

private:
    std::vector<std::uint8_t> data_;
    std::size_t pos_ = 0;
};

enum class TFileMode { OpenRead, Create };

class TFileStream final : public TStream {
public:
    TFileStream(const std::string& FileName, TFileMode Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::size_t Read(void* Buffer, std::size_t Count) override;
    void Write(const void* Buffer, std::size_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    std::int64_t Size() const override;
    void SetSize(std::int64_t NewSize) override;

    // Pushes buffered bytes to the operating system and to the disk; throws on failure.
    void Flush();
    const std::string& FileName() const { return name_; }

private:
    std::FILE* f_ = nullptr;
    std::string name_;
};

bool FileExists(const std::string& FileName);

// Writes a file through a temporary sibling and renames it over the target only
// after everything is written and flushed, so a failure never leaves a damaged
// file where a good one was. Writer receives the open temporary stream.
template <class F>
void WriteFileSafely(const std::string& FileName, F&& Writer);

void ReplaceFile(const std::string& TempName, const std::string& FileName);
std::string TempSiblingName(const std::string& FileName);
void RemoveFileQuietly(const std::string& FileName);

template <class F>
void WriteFileSafely(const std::string& FileName, F&& Writer) {
    const std::string temp = TempSiblingName(FileName);
    try {
        {
            TFileStream out(temp, TFileMode::Create);
            Writer(static_cast<TStream&>(out));
            out.Flush();
        }
        ReplaceFile(temp, FileName);
    } catch (...) {
        RemoveFileQuietly(temp);
        throw;
    }
}

}  // namespace tessum
