#include "archive/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace tessum {

void TStream::ReadBuffer(void* Buffer, std::size_t Count) {
    if (Count == 0) return;
    if (Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    if (Count < 0) throw EStreamError("Invalid stream operation");
    std::uint8_t buf[65536];
    std::int64_t left = Count;
    while (left > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, sizeof buf));
        Source.ReadBuffer(buf, n);
        Write(buf, n);
        left -= static_cast<std::int64_t>(n);
    }
    return Count;
}

std::size_t TMemoryStream::Read(void* Buffer, std::size_t Count) {
    if (pos_ >= data_.size()) return 0;
    const std::size_t n = std::min(Count, data_.size() - pos_);
    std::memcpy(Buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
}

void TMemoryStream::Write(const void* Buffer, std::size_t Count) {
    if (Count == 0) return;
    if (pos_ + Count > data_.size()) data_.resize(pos_ + Count);
    std::memcpy(data_.data() + pos_, Buffer, Count);
    pos_ += Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    std::int64_t base = 0;
    switch (Origin) {
        case TSeekOrigin::Beginning: base = 0; break;
        case TSeekOrigin::Current: base = static_cast<std::int64_t>(pos_); break;
        case TSeekOrigin::End: base = static_cast<std::int64_t>(data_.size()); break;
    }
    const std::int64_t p = base + Offset;
    if (p < 0) throw EStreamError("Invalid stream position");
    // Seeking beyond the end is allowed; a later write fills the gap with zeros.
    pos_ = static_cast<std::size_t>(p);
    return p;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
    if (NewSize < 0) throw EStreamError("Invalid stream size");
    data_.resize(static_cast<std::size_t>(NewSize));
    if (pos_ > data_.size()) pos_ = data_.size();
}

void TMemoryStream::LoadFromStream(TStream& Source) {
    Source.SetPosition(0);
    const std::int64_t n = Source.Size();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    Source.ReadBuffer(bytes.data(), bytes.size());
    data_ = std::move(bytes);
    pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream& Dest) const {
    Dest.Write(data_.data(), data_.size());
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream f(FileName, TFileMode::OpenRead);
    LoadFromStream(f);
}

void TMemoryStream::SaveToFile(const std::string& FileName) const {
    TFileStream f(FileName, TFileMode::Create);
    SaveToStream(f);
    f.Flush();
}

static std::string ErrText(const std::string& what, const std::string& name) {
    return what + " " + name + ": " + std::strerror(errno);
}

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : name_(FileName) {
    f_ = std::fopen(FileName.c_str(), Mode == TFileMode::OpenRead ? "rb" : "w+b");
    if (!f_) {
        throw EFileError(ErrText(Mode == TFileMode::OpenRead ? "Cannot open file" : "Cannot create file", FileName));
    }
}

TFileStream::~TFileStream() {
    if (f_) std::fclose(f_);
}

std::size_t TFileStream::Read(void* Buffer, std::size_t Count) {
    return std::fread(Buffer, 1, Count, f_);
}

void TFileStream::Write(const void* Buffer, std::size_t Count) {
    if (Count == 0) return;
    if (std::fwrite(Buffer, 1, Count, f_) != Count) throw EFileError(ErrText("Cannot write file", name_));
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    const int whence = Origin == TSeekOrigin::Beginning ? SEEK_SET : Origin == TSeekOrigin::Current ? SEEK_CUR : SEEK_END;
    if (Origin == TSeekOrigin::Current && Offset == 0) {
        const long p = std::ftell(f_);
        if (p < 0) throw EFileError(ErrText("Cannot seek in file", name_));
        return p;
    }
    if (std::fseek(f_, static_cast<long>(Offset), whence) != 0) throw EFileError(ErrText("Cannot seek in file", name_));
    return std::ftell(f_);
}

std::int64_t TFileStream::Size() const {
    const long cur = std::ftell(f_);
    std::fseek(f_, 0, SEEK_END);
    const long end = std::ftell(f_);
    std::fseek(f_, cur, SEEK_SET);
    return end;
}

void TFileStream::SetSize(std::int64_t NewSize) {
    std::fflush(f_);
    if (ftruncate(fileno(f_), static_cast<off_t>(NewSize)) != 0) throw EFileError(ErrText("Cannot resize file", name_));
}

void TFileStream::Flush() {
    if (std::fflush(f_) != 0 || fsync(fileno(f_)) != 0) throw EFileError(ErrText("Cannot write file", name_));
}

bool FileExists(const std::string& FileName) {
    std::error_code ec;
    return std::filesystem::is_regular_file(FileName, ec);
}

std::string TempSiblingName(const std::string& FileName) {
    static std::mt19937_64 gen{std::random_device{}()};
    char tail[32];
    std::snprintf(tail, sizeof tail, ".%08llx.tmp", static_cast<unsigned long long>(gen() & 0xffffffffu));
    return FileName + tail;
}

void ReplaceFile(const std::string& TempName, const std::string& FileName) {
    if (std::rename(TempName.c_str(), FileName.c_str()) != 0) throw EFileError(ErrText("Cannot replace file", FileName));
}

void RemoveFileQuietly(const std::string& FileName) {
    std::error_code ec;
    std::filesystem::remove(FileName, ec);
}

}  // namespace tessum
