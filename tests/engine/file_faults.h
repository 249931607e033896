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
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    sighandler_t oldHandler_;
};

// Sets the immutable attribute of a file or directory for a scope: it cannot be removed (nor
// anything in a directory created or removed), even by root. Ok() is false where the file system
// has no such attribute.
class Immutable {
public:
    explicit Immutable(const wxString& path)
        : fd_(open(ToUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {
        int flags = 0;
        if (fd_ >= 0 && ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            ok_ = ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
        }
    }
    ~Immutable()
    {
        int flags = 0;
        if (ok_ && ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ioctl(fd_, FS_IOC_SETFLAGS, &flags);
        }
        if (fd_ >= 0)
            close(fd_);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    bool Ok() const { return ok_; }

private:
    int fd_;
    bool ok_ = false;
};

// A directory on another file system than the temporary directory: a fresh one on /dev/shm, or
// a tmpfs of the given size mounted for the scope (a medium that fills up). Path() is empty when
// the machine offers no such file system.
class OtherFileSystem {
public:
    explicit OtherFileSystem(std::size_t mountBytes = 0)
    {
        std::string pattern = "/dev/shm/dralvo-test-XXXXXX";
        if (!mkdtemp(pattern.data()))
            return;
        dir_ = pattern;
        if (mountBytes > 0)
            mounted_ = mount("tmpfs", dir_.c_str(), "tmpfs", 0,
                             ("size=" + std::to_string(mountBytes)).c_str()) == 0;
        struct stat here, there;
        const bool other = stat(std::filesystem::temp_directory_path().c_str(), &here) == 0
                           && stat(dir_.c_str(), &there) == 0 && here.st_dev != there.st_dev;
        if (other && (mountBytes == 0 || mounted_))
            path_ = FromUtf8(dir_) + "/";
    }
    ~OtherFileSystem()
    {
        std::error_code ec;
        if (mounted_)
            umount2(dir_.c_str(), MNT_DETACH);
        if (!dir_.empty())
            std::filesystem::remove_all(dir_, ec);
    }
    OtherFileSystem(const OtherFileSystem&) = delete;
    OtherFileSystem& operator=(const OtherFileSystem&) = delete;

    const wxString& Path() const { return path_; }

private:
    std::string dir_;
    wxString path_;
    bool mounted_ = false;
};

// Leaves a temporary file beside target as a run killed while writing it would.
inline void LeaveTemporary(const wxString& target)
{
    const pid_t child = fork();
    if (child == 0) {
        AtomicFile file(target);
        _exit(file.Create() ? 0 : 1);
    }
    waitpid(child, nullptr, 0);
}
