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
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/uPaths.h"

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
    // OpenRead takes regular files only: a directory, a FIFO or a device is
    // refused with EFileError at once (opening a FIFO would wait for a writer).
    TFileStream(const std::string& FileName, TFileMode Mode);
    // Takes over an open descriptor; errors name DisplayName.
    TFileStream(int Fd, std::string DisplayName);
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

// The size of the regular file FileName; EFileError when it cannot be opened
// or is no regular file. Lets a reader refuse a file before reading it.
std::int64_t RegularFileSize(const std::string& FileName);

// One safe replacement of a file: the content goes to a temporary sibling that
// is renamed over the target only after everything is written and flushed, so
// a failure never leaves a damaged file where a good one was.
// - A target that is a symbolic link is followed: the file it points to is
//   replaced and the link stays.
// - A target that may not be written is refused with the file-system error
//   (write protection holds even though a rename could get past it).
// - The new file keeps the permission bits, and where the user may set them
//   the owner and group, of the file it replaces.
// - The temporary's name does not grow with the target's, so every valid name
//   can be saved; temporaries a killed save of the same file left behind are
//   removed after the next successful one.
// - Every error message names the user's file, never the temporary.
// - A missing folder of the user's settings or tables is made first.
class TSafeFileWriter {
public:
    explicit TSafeFileWriter(const std::string& FileName);
    ~TSafeFileWriter();
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    TStream& Stream() { return *stream_; }
    // Flushes, renames over the target and tidies up; without it nothing changes.
    void Commit();
    // The file that is really replaced (the target with its links followed).
    const std::string& Target() const { return target_; }
    const std::string& TempName() const { return temp_; }

private:
    std::string shown_;
    std::string target_;
    std::string temp_;
    std::unique_ptr<TFileStream> stream_;
    bool committed_ = false;
};

// Writer receives the open temporary stream (see TSafeFileWriter).
template <class F>
void WriteFileSafely(const std::string& FileName, F&& Writer) {
    TSafeFileWriter w(FileName);
    Writer(w.Stream());
    w.Commit();
}

// Prefix of the temporaries that saves of FileName (its last path component)
// create beside it.
std::string TempPrefixFor(const std::string& FileName);
void RemoveFileQuietly(const std::string& FileName);

}  // namespace tessum
