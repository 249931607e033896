#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

#include <wx/string.h>

#include "store/file_io.h"
#include "store/text.h"

// Failures of the file system made on purpose, for the tests of code that writes files.

// Calls of the C library that fail while set (see the definitions in file_copy_test.cpp):
// copy_file_range copies nothing, or setting a file's time fails.
enum class Fault { none, kernelCopiesNothing, timeNotSet };
inline std::atomic<Fault> injectedFault{Fault::none};

// Bytes that do not compress, the same for the same size.
inline std::string TestBytes(std::size_t size)
{
    std::mt19937 gen(static_cast<unsigned>(size));
    std::string s(size, '\0');
    for (char& c : s)
        c = static_cast<char>(gen());
    return s;
}

// Writes past the given size fail for a scope (EFBIG), as on a medium that is full.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_), signal(SIGXFSZ, handler_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    sighandler_t handler_;
};

// Sets the immutable attribute of a file or directory for a scope: it cannot be removed (nor
// anything in a directory made or removed), even by root. Ok() is false where the file system
// has no such attribute.
class Immutable {
public:
    explicit Immutable(const wxString& path)
        : fd_(open(ToUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {
        ok_ = fd_ >= 0 && ioctl(fd_, FS_IOC_GETFLAGS, &flags_) == 0 &&
              ioctl(fd_, FS_IOC_SETFLAGS, &(flags_ |= FS_IMMUTABLE_FL)) == 0;
    }
    ~Immutable()
    {
        if (ok_)
            ioctl(fd_, FS_IOC_SETFLAGS, &(flags_ &= ~FS_IMMUTABLE_FL));
        if (fd_ >= 0)
            close(fd_);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    bool Ok() const { return ok_; }

private:
    int fd_, flags_ = 0;
    bool ok_ = false;
};

// A fresh directory on /dev/shm when that is another file system than the temporary directory's
// (else Path() is empty), or with bytes set a tmpfs of that size mounted on dir for a scope: a
// medium that fills up (Path() is empty where mounting is not permitted).
class OtherFileSystem {
public:
    OtherFileSystem()
    {
        std::string pattern = "/dev/shm/dralvo-test-XXXXXX";
        struct stat here, there;
        if (mkdtemp(pattern.data()) &&
            stat(std::filesystem::temp_directory_path().c_str(), &here) == 0 &&
            stat(pattern.c_str(), &there) == 0 && here.st_dev != there.st_dev)
            path_ = FromUtf8(pattern) + "/";
        dir_ = pattern;
    }
    OtherFileSystem(const wxString& dir, std::size_t bytes) : dir_(ToUtf8(dir)), mounted_(true)
    {
        const std::string size = "size=" + std::to_string(bytes);
        if (mount("tmpfs", dir_.c_str(), "tmpfs", 0, size.c_str()) == 0)
            path_ = dir;
    }
    ~OtherFileSystem()
    {
        std::error_code ec;
        if (!mounted_)
            std::filesystem::remove_all(dir_, ec);
        else if (!path_.empty())
            umount2(dir_.c_str(), MNT_DETACH);
    }
    OtherFileSystem(const OtherFileSystem&) = delete;
    OtherFileSystem& operator=(const OtherFileSystem&) = delete;
    const wxString& Path() const { return path_; }

private:
    std::string dir_;
    bool mounted_ = false;
    wxString path_;
};

// Leaves a temporary file beside target as a run killed while writing it would.
inline void LeaveTemporary(const wxString& target)
{
    if (const pid_t child = fork(); child == 0)
        _exit(AtomicFile(target).Create() ? 0 : 1);
    else
        waitpid(child, nullptr, 0);
}
