#include "store/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string_view>

#include "store/text.h"

namespace {

// A temporary name is exactly the prefix, kTempTagLength characters of [a-z0-9] and the suffix,
// so that a user's file is hardly ever taken for one.
constexpr char kTempPrefix[] = ".~dralvo-";
constexpr char kTempSuffix[] = ".tmp";
constexpr std::size_t kTempTagLength = 12;
constexpr char kTagCharacters[] = "0123456789abcdefghijklmnopqrstuvwxyz";

std::string DirectoryOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return path.substr(0, slash + 1);
}

// Puts the directory's entries on the device. A file system that cannot sync a directory
// (EINVAL) keeps them with the file's data.
bool SyncDirectory(const std::string& dir)
{
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return synced;
}

std::string RandomTag()
{
    thread_local std::mt19937 gen{std::random_device{}()};
    std::string tag(kTempTagLength, '0');
    std::uniform_int_distribution<int> pick(0, 35);
    for (char& c : tag)
        c = kTagCharacters[pick(gen)];
    return tag;
}

bool WriteAll(int fd, const void* data, std::size_t size)
{
    auto p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool IsTemporaryName(const wxString& name)
{
    const std::size_t prefix = sizeof kTempPrefix - 1;
    if (name.length() != prefix + kTempTagLength + sizeof kTempSuffix - 1 ||
        !name.StartsWith(kTempPrefix) || !name.EndsWith(kTempSuffix))
        return false;
    for (std::size_t i = prefix; i < prefix + kTempTagLength; ++i) {
        const wxUniChar c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

OpenDirectory::OpenDirectory(const wxString& path) : path_(NativePath(path))
{
    while (path_.size() > 1 && path_.back() == '/')
        path_.pop_back();
    fd_ = ::open(path_.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

std::optional<std::string> OpenDirectory::Below(const wxString& path) const
{
    if (fd_ < 0) {
        errno = EBADF;
        return std::nullopt;
    }
    std::string native = NativePath(path);
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    if (native == path_)
        return std::string();
    if (native.size() <= path_.size() + 1 || !native.starts_with(path_ + "/")) {
        errno = EINVAL;
        return std::nullopt;
    }
    std::string relative = native.substr(path_.size() + 1);
    // ".." would lead above the directory.
    for (std::size_t start = 0; start <= relative.size();) {
        const std::size_t end = std::min(relative.find('/', start), relative.size());
        const std::string_view name(relative.data() + start, end - start);
        if (name == "." || name == "..") {
            errno = EINVAL;
            return std::nullopt;
        }
        start = end + 1;
    }
    return relative;
}

OpenDirectory::~OpenDirectory()
{
    if (fd_ >= 0)
        ::close(fd_);
}

AtomicFile::AtomicFile(const wxString& target, std::shared_ptr<const OpenDirectory> below)
    : target_(NativePath(target))
{
    if (below && below->Fd() >= 0 && target_.size() > below->Path().size() + 1
        && target_.starts_with(below->Path() + "/"))
        below_ = std::move(below);
}

int AtomicFile::DirFd() const
{
    return below_ ? below_->Fd() : AT_FDCWD;
}

const char* AtomicFile::FromDir(const std::string& path) const
{
    return below_ ? path.c_str() + below_->Path().size() + 1 : path.c_str();
}

AtomicFile::~AtomicFile()
{
    Abandon();
}

bool AtomicFile::Create()
{
    Abandon();
    const std::string dir = DirectoryOf(target_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath_ = dir + kTempPrefix + RandomTag() + kTempSuffix;
        // O_EXCL never follows a link and never reuses another writer's file.
        fd_ = ::openat(DirFd(), FromDir(tempPath_),
                       O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd_ >= 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    tempPath_.clear();
    return false;
}

bool AtomicFile::Write(const void* data, std::size_t size)
{
    return fd_ >= 0 && WriteAll(fd_, data, size);
}

bool AtomicFile::Commit(bool flush)
{
    if (fd_ < 0)
        return false;
    const bool flushed = !flush || ::fdatasync(fd_) == 0;
    const int closed = ::close(fd_);
    fd_ = -1;
    // rename() replaces a link at the target rather than writing through it.
    const auto rename = [&] {
        return below_ ? ::renameat(DirFd(), FromDir(tempPath_), DirFd(), FromDir(target_))
                      : ::rename(tempPath_.c_str(), target_.c_str());
    };
    if (!flushed || closed != 0 || rename() != 0) {
        const int saved = errno;
        Abandon();
        errno = saved;
        return false;
    }
    tempPath_.clear();
    return !flush || SyncDirectory(DirectoryOf(target_));
}

void AtomicFile::Abandon()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        if (below_)
            ::unlinkat(DirFd(), FromDir(tempPath_), 0);
        else
            ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

std::optional<std::vector<char>> ReadBinaryFile(const wxString& path)
{
    return ReadBinaryFile(path, SIZE_MAX);
}

namespace {

std::optional<std::vector<char>> ReadRegularFile(const wxString& path, std::size_t maxSize,
                                                 int extraFlags)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer. Only regular files are read, so
    // a FIFO or a device never blocks or reads without end.
    const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | extraFlags);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxSize) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<char> data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        // A file that grew past the limit while being read is refused as well.
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        if (static_cast<std::size_t>(n) > maxSize - data.size()) {
            ::close(fd);
            return std::nullopt;
        }
        data.insert(data.end(), buf, buf + n);
    }
    ::close(fd);
    return data;
}

} // namespace

std::optional<std::vector<char>> ReadBinaryFile(const wxString& path, std::size_t maxSize)
{
    return ReadRegularFile(path, maxSize, 0);
}

std::optional<std::vector<char>> ReadBinaryFileNoLink(const wxString& path, std::size_t maxSize)
{
    return ReadRegularFile(path, maxSize, O_NOFOLLOW);
}

wxString ReadTextFile(const wxString& path, std::size_t maxSize)
{
    const auto data = ReadBinaryFile(path, maxSize);
    if (!data)
        return wxString();
    std::string_view bytes(data->data(), data->size());
    const auto zero = bytes.find('\0');
    if (zero != std::string_view::npos)
        bytes = bytes.substr(0, zero);
    return FromUtf8(bytes);
}

bool WriteBinaryFile(const wxString& path, const void* data, std::size_t size)
{
    AtomicFile file(path);
    return file.Create() && file.Write(data, size) && file.Commit();
}

bool WriteBinaryFileFlushed(const wxString& path, const void* data, std::size_t size)
{
    AtomicFile file(path);
    return file.Create() && file.Write(data, size) && file.Commit(true);
}

bool WriteTextFile(const wxString& path, const wxString& text)
{
    const std::string bytes = ToUtf8(text);
    return WriteBinaryFile(path, bytes.data(), bytes.size());
}
