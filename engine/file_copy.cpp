#include "engine/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/file_io.h"
#include "store/text.h"

namespace {

constexpr std::size_t kBufferSize = std::size_t(1) << 20;
// A stop request is seen after at most this much of an in-kernel copy.
constexpr std::size_t kKernelStep = kBufferSize * 8;

bool FailWith(int error)
{
    errno = error;
    return false;
}

bool Stopped(const StopFlag* stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

// A source opened for reading. Opening never waits (a FIFO put where a file was is refused)
// and yields nothing but a regular file.
class SourceFile {
public:
    explicit SourceFile(const wxString& path)
    {
        fd_ = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat st;
        if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
            const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            ::close(fd_);
            fd_ = -1;
            errno = error;
        }
        if (fd_ >= 0)
            size_ = st.st_size;
    }
    ~SourceFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    bool Ok() const { return fd_ >= 0; }
    off_t Size() const { return size_; }
    int Fd() const { return fd_; }

private:
    int fd_ = -1;
    off_t size_ = 0;
};

enum class KernelCopy { done, failed, unsupported };

// In-kernel copy; file systems that cannot do it (other mounts, FUSE) say so on the first call,
// some by an error and some by copying nothing from a file that is not empty.
KernelCopy CopyInKernel(int in, int out, off_t size, const StopFlag* stop)
{
    off_t copied = 0;
    for (;;) {
        if (Stopped(stop))
            return FailWith(ECANCELED), KernelCopy::failed;
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kKernelStep, 0);
        if (n > 0) {
            copied += n;
            // A file that has not grown is complete: saves a call per small file.
            if (copied >= size)
                return KernelCopy::done;
            continue;
        }
        if (n == 0)
            return copied == 0 && size > 0 ? KernelCopy::unsupported : KernelCopy::done;
        if (errno == EINTR)
            continue;
        if (copied == 0
            && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            return KernelCopy::unsupported;
        return KernelCopy::failed;
    }
}

bool CopyByReading(int in, AtomicFile& out, std::size_t sizeHint, const StopFlag* stop)
{
    // A buffer no larger than the file keeps copies of many small files cheap.
    const std::size_t size = sizeHint < kBufferSize ? sizeHint + 1 : kBufferSize;
    const std::unique_ptr<char[]> buffer(new char[size]);
    for (;;) {
        if (Stopped(stop))
            return FailWith(ECANCELED);
        const ssize_t n = ::read(in, buffer.get(), size);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!out.Write(buffer.get(), static_cast<std::size_t>(n)))
            return false;
    }
}

} // namespace

namespace {

bool CopyInto(const SourceFile& in, AtomicFile& out, FileTime time,
              const BeforeRename& beforeRename, const StopFlag* stop)
{
    const off_t size = in.Size();
    switch (CopyInKernel(in.Fd(), out.Fd(), size, stop)) {
    case KernelCopy::done:
        break;
    case KernelCopy::failed:
        return false;
    case KernelCopy::unsupported:
        if (!CopyByReading(in.Fd(), out, static_cast<std::size_t>(size), stop))
            return false;
        break;
    }
    return SetFileModTime(out.Fd(), time) && (!beforeRename || beforeRename()) && out.Commit();
}

} // namespace

bool CopyFileAtomic(const wxString& source, const wxString& target, FileTime time,
                    const BeforeRename& beforeRename, const StopFlag* stop,
                    const std::shared_ptr<const OpenDirectory>& below)
{
    if (below) {
        const std::optional<std::string> name = below->Below(target);
        if (!name)
            return false;
        if (name->empty())
            return FailWith(EINVAL);
    }
    const SourceFile in(source);
    if (!in.Ok())
        return false;
    AtomicFile out(target, below);
    if (!out.Create())
        return false;
    if (CopyInto(in, out, time, beforeRename, stop))
        return true;
    // The clean-up must not hide the reason.
    const int error = errno != 0 ? errno : EIO;
    out.Abandon();
    return FailWith(error);
}

bool WriteFileAtomic(const wxString& target, FileTime time,
                     const std::function<bool(const wxString&)>& write,
                     const BeforeRename& beforeRename)
{
    const std::unique_ptr<AtomicFile> file = WriteTemporaryFile(target, time, write);
    return file && CommitTemporaryFile(*file, beforeRename);
}

std::unique_ptr<AtomicFile> WriteTemporaryFile(const wxString& target, FileTime time,
                                               const std::function<bool(const wxString&)>& write)
{
    // The reserved temporary name keeps a crash's leftovers recognisable as ours.
    auto file = std::make_unique<AtomicFile>(target);
    if (!file->Create())
        return nullptr;
    const wxString temporary = FromUtf8(file->TempPath());
    if (write(temporary) && SetFileModTime(temporary, time))
        return file;
    const int error = errno != 0 ? errno : EIO;
    file->Abandon();
    errno = error;
    return nullptr;
}

bool CommitTemporaryFile(AtomicFile& file, const BeforeRename& beforeRename)
{
    if ((!beforeRename || beforeRename()) && file.Commit())
        return true;
    const int error = errno != 0 ? errno : EIO;
    file.Abandon();
    return FailWith(error);
}

namespace {

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The names from root down to path, or nothing when path is not below root.
std::optional<std::vector<std::string>> NamesBelow(const wxString& root, const wxString& path)
{
    const std::string base = WithoutTrailingSlash(NativePath(root));
    const std::string full = WithoutTrailingSlash(NativePath(path));
    if (full == base)
        return std::vector<std::string>();
    if (full.size() <= base.size() + 1 || full.compare(0, base.size(), base) != 0
        || full[base.size()] != '/')
        return std::nullopt;
    std::vector<std::string> names;
    std::size_t start = base.size() + 1;
    while (start <= full.size()) {
        std::size_t end = full.find('/', start);
        if (end == std::string::npos)
            end = full.size();
        std::string name = full.substr(start, end - start);
        if (name == "." || name == "..")
            return std::nullopt;
        if (!name.empty())
            names.push_back(std::move(name));
        start = end + 1;
    }
    return names;
}

} // namespace

bool ReachesThroughLink(const wxString& root, const wxString& path)
{
    const auto names = NamesBelow(root, path);
    if (!names)
        return true;
    std::string current = WithoutTrailingSlash(NativePath(root));
    for (const std::string& name : *names) {
        current += "/" + name;
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0)
            return false;
        if (S_ISLNK(st.st_mode))
            return true;
    }
    return false;
}

bool MakeDirectoriesBelow(const wxString& root, const wxString& path,
                          const std::shared_ptr<const OpenDirectory>& below)
{
    const auto names = NamesBelow(root, path);
    if (!names)
        return FailWith(EINVAL);
    std::string current = WithoutTrailingSlash(NativePath(root));
    int dir = AT_FDCWD;
    if (below) {
        const std::optional<std::string> relative = below->Below(root);
        if (!relative)
            return false;
        current = relative->empty() ? "." : *relative;
        dir = below->Fd();
    }
    struct stat st;
    if (::fstatat(dir, current.c_str(), &st, 0) != 0)
        return false;
    if (!S_ISDIR(st.st_mode))
        return FailWith(ENOTDIR);
    for (const std::string& name : *names) {
        current += "/" + name;
        if (::fstatat(dir, current.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0
            && (::mkdirat(dir, current.c_str(), 0777) != 0
                || ::fstatat(dir, current.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0))
            return false;
        if (!S_ISDIR(st.st_mode))
            return FailWith(S_ISLNK(st.st_mode) ? ELOOP : ENOTDIR);
    }
    return true;
}

bool RemoveRegularFile(const wxString& path, const std::shared_ptr<const OpenDirectory>& below)
{
    std::string name = NativePath(path);
    if (below) {
        std::optional<std::string> relative = below->Below(path);
        if (!relative)
            return false;
        if (relative->empty())
            return FailWith(EISDIR);
        name = std::move(*relative);
    }
    const int dir = below ? below->Fd() : AT_FDCWD;
    struct stat st;
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISREG(st.st_mode))
        return FailWith(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    const int removed = below ? ::unlinkat(dir, name.c_str(), 0) : ::unlink(name.c_str());
    return removed == 0 || errno == ENOENT;
}

bool FlushFileSystem(const wxString& path)
{
    std::string native = WithoutTrailingSlash(NativePath(path));
    for (;;) {
        const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            const bool flushed = ::syncfs(fd) == 0;
            const int error = errno;
            ::close(fd);
            return flushed || FailWith(error);
        }
        const std::size_t slash = native.rfind('/');
        if (slash == std::string::npos || native.empty() || native == "/")
            return false;
        native = slash == 0 ? "/" : native.substr(0, slash);
    }
}
