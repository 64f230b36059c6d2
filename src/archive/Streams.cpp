#include "archive/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
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

namespace {

// Opens FileName for reading if it is a regular file. O_NONBLOCK keeps a FIFO
// from blocking the open until some writer appears; it is dropped again
// before any reading.
int OpenRegularForReading(const std::string& FileName) {
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw EFileError(ErrText("Cannot open file", FileName));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        errno = e;
        throw EFileError(ErrText("Cannot open file", FileName));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            throw EFileError(ErrText("Cannot open file", FileName));
        }
        throw EFileError("Cannot open file " + FileName + ": not a regular file");
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : name_(FileName) {
    if (Mode == TFileMode::OpenRead) {
        const int fd = OpenRegularForReading(FileName);
        f_ = ::fdopen(fd, "rb");
        if (!f_) {
            const int e = errno;
            ::close(fd);
            errno = e;
            throw EFileError(ErrText("Cannot open file", FileName));
        }
        return;
    }
    f_ = std::fopen(FileName.c_str(), "w+b");
    if (!f_) throw EFileError(ErrText("Cannot create file", FileName));
}

TFileStream::TFileStream(int Fd, std::string DisplayName) : name_(std::move(DisplayName)) {
    f_ = ::fdopen(Fd, "w+b");
    if (!f_) {
        const int e = errno;
        ::close(Fd);
        errno = e;
        throw EFileError(ErrText("Cannot create file", name_));
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

std::int64_t RegularFileSize(const std::string& FileName) {
    const int fd = OpenRegularForReading(FileName);
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0;
    const int e = errno;
    ::close(fd);
    errno = e;
    if (!ok) throw EFileError(ErrText("Cannot open file", FileName));
    return static_cast<std::int64_t>(st.st_size);
}

namespace {

std::string DirectoryPart(const std::string& Path) {
    const auto slash = Path.rfind('/');
    return slash == std::string::npos ? std::string() : Path.substr(0, slash + 1);
}

std::string LastComponent(const std::string& Path) {
    const auto slash = Path.rfind('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

// Follows symbolic links from Name to the file they end at (which need not
// exist yet: a dangling link names the file to create).
std::string FollowLinks(const std::string& Name) {
    std::string current = Name;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(current.c_str(), buf.data(), buf.size());
        if (n < 0 || static_cast<std::size_t>(n) >= buf.size()) return current;
        std::string target(buf.data(), static_cast<std::size_t>(n));
        current = (!target.empty() && target[0] == '/') ? target : DirectoryPart(current) + target;
    }
    errno = ELOOP;
    throw EFileError(ErrText("Cannot write file", Name));
}

// Whether the user may write the file: access() answers for ordinary users;
// for root, which may write anything, a file without any write bit is meant
// to stay as it is all the same.
bool MayWrite(const std::string& Name, const struct stat& St) {
    if (::access(Name.c_str(), W_OK) != 0) return false;
    if (::geteuid() == 0 && (St.st_mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

std::uint32_t NameHash(const std::string& Name) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : Name) h = (h ^ c) * 16777619u;
    return h;
}

bool IsHex8(std::string_view S) {
    return S.size() == 8 && std::all_of(S.begin(), S.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// Removes what earlier saves of Target left behind when they were killed:
// temporaries of the current form and the longer "<name>.<8 hex>.tmp" ones
// of earlier versions.
void RemoveStaleTemporaries(const std::string& Target, const std::string& Current) {
    const std::string dir = DirectoryPart(Target);
    const std::string prefix = TempPrefixFor(Target);
    const std::string base = LastComponent(Target);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".tmp") != 0) continue;
        const bool ours = name.size() == prefix.size() + 12 && name.compare(0, prefix.size(), prefix) == 0 &&
                          IsHex8(std::string_view(name).substr(prefix.size(), 8));
        const bool older = name.size() == base.size() + 13 && name.compare(0, base.size(), base) == 0 &&
                           name[base.size()] == '.' && IsHex8(std::string_view(name).substr(base.size() + 1, 8));
        if ((ours || older) && dir + name != Current) {
            std::error_code ignored;
            if (std::filesystem::is_regular_file(std::filesystem::symlink_status(it->path(), ignored)))
                std::filesystem::remove(it->path(), ignored);
        }
    }
}

}  // namespace

std::string TempPrefixFor(const std::string& FileName) {
    char head[32];
    std::snprintf(head, sizeof head, ".tessum-%08x-", static_cast<unsigned>(NameHash(LastComponent(FileName))));
    return head;
}

TSafeFileWriter::TSafeFileWriter(const std::string& FileName) : shown_(FileName) {
    PrepareFolderFor(FileName);
    target_ = FollowLinks(FileName);
    struct stat old {};
    const bool replacing = ::stat(target_.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) {
        errno = EISDIR;
        throw EFileError(ErrText("Cannot write file", shown_));
    }
    // A rename would put a regular file where a device or a pipe was.
    if (replacing && !S_ISREG(old.st_mode)) throw EFileError("Cannot write file " + shown_ + ": not a regular file");
    if (replacing && !MayWrite(target_, old)) throw EFileError(ErrText("Cannot write file", shown_));

    static std::mt19937_64 gen{std::random_device{}()};
    const std::string prefix = DirectoryPart(target_) + TempPrefixFor(target_);
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        char tail[16];
        std::snprintf(tail, sizeof tail, "%08x.tmp", static_cast<unsigned>(gen() & 0xffffffffu));
        temp_ = prefix + tail;
        fd = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 100)) throw EFileError(ErrText("Cannot create file", shown_));
    }
    if (replacing) {
        // Owner first: a change of owner may clear the set-id bits again.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            const int e = errno;
            ::close(fd);
            RemoveFileQuietly(temp_);
            errno = e;
            throw EFileError(ErrText("Cannot create file", shown_));
        }
    }
    try {
        stream_ = std::make_unique<TFileStream>(fd, shown_);
    } catch (...) {
        RemoveFileQuietly(temp_);
        throw;
    }
}

TSafeFileWriter::~TSafeFileWriter() {
    stream_.reset();
    if (!committed_) RemoveFileQuietly(temp_);
}

void TSafeFileWriter::Commit() {
    stream_->Flush();
    stream_.reset();
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) throw EFileError(ErrText("Cannot replace file", shown_));
    committed_ = true;
    // The rename is only durable once the folder itself is on disk.
    const std::string dir = DirectoryPart(target_);
    const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        [[maybe_unused]] const int ignored = ::fsync(dfd);
        ::close(dfd);
    }
    RemoveStaleTemporaries(target_, temp_);
}

void RemoveFileQuietly(const std::string& FileName) {
    std::error_code ec;
    std::filesystem::remove(FileName, ec);
}

}  // namespace tessum
