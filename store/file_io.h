#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/string.h>

// Whole-file reads and safe whole-file writes. Any thread.

// The whole file, or nullopt when it is missing, is not a regular file, cannot be read or
// holds more than maxSize bytes (then nothing is read: a huge file costs no memory).
std::optional<std::vector<char>> ReadBinaryFile(const wxString& path);
std::optional<std::vector<char>> ReadBinaryFile(const wxString& path, std::size_t maxSize);
// The same, but a symbolic link at path is refused instead of followed (files on a medium).
std::optional<std::vector<char>> ReadBinaryFileNoLink(const wxString& path, std::size_t maxSize);
// The whole file decoded as UTF-8 up to its first zero byte (a leading signature stays as
// U+FEFF); empty when missing, not a regular file, unreadable or larger than maxSize bytes.
wxString ReadTextFile(const wxString& path, std::size_t maxSize = SIZE_MAX);

// Replace the file with the text as UTF-8 (no signature) / with the bytes. Written to a
// temporary file beside the target and renamed over it, so a failure leaves any previous
// file untouched; a symbolic link at the target is replaced, never followed. Permissions
// 0666 less the umask. True when the new content is in place.
bool WriteTextFile(const wxString& path, const wxString& text);
bool WriteBinaryFile(const wxString& path, const void* data, std::size_t size);
// The same, and on the device before it is renamed into place (the data flushed, then the
// directory after the rename): for a file the user may carry away at once.
bool WriteBinaryFileFlushed(const wxString& path, const void* data, std::size_t size);

// True for names of this program's temporary files: ".~dralvo-", 12 characters of [a-z0-9],
// ".tmp". Walks skip (and report) them so an interrupted write never spreads.
bool IsTemporaryName(const wxString& name);

// A directory held open (O_PATH): files made below it by their path from there stay where it
// is, whatever its path leads to meanwhile (a stick pulled or swapped). Any thread.
class OpenDirectory {
public:
    // Fd() is negative when path is no directory (a link is not followed).
    explicit OpenDirectory(const wxString& path);
    ~OpenDirectory();
    OpenDirectory(const OpenDirectory&) = delete;
    OpenDirectory& operator=(const OpenDirectory&) = delete;

    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }  // native, no trailing "/"
    // path's part below this directory, as an "at" call takes it with Fd() ("" for the
    // directory itself); nullopt (errno set) when the directory is not open or path does not
    // lie below it.
    std::optional<std::string> Below(const wxString& path) const;

private:
    std::string path_;
    int fd_ = -1;
};

// A file being written beside its final place. Create() opens a fresh temporary file in the
// target's directory (never through a link); Commit() flushes, closes and renames it over the
// target. Destroying an uncommitted file removes the temporary. Not shared between threads.
// With below open on a directory above the target, the temporary file is made, renamed and
// removed by its path from there.
class AtomicFile {
public:
    explicit AtomicFile(const wxString& target,
                        std::shared_ptr<const OpenDirectory> below = nullptr);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False (with errno set) when the temporary file cannot be created.
    bool Create();
    // Writes all bytes; false on any error (the file is then abandoned at destruction).
    bool Write(const void* data, std::size_t size);
    // Close and rename; false on failure (the temporary is removed). With flush, the data
    // reach the device before the rename and the directory entry after it.
    bool Commit(bool flush = false);
    // Removes the temporary file now.
    void Abandon();

    int Fd() const { return fd_; }
    const std::string& TempPath() const { return tempPath_; }

private:
    int DirFd() const;
    // path as DirFd() reaches it.
    const char* FromDir(const std::string& path) const;

    std::string target_;
    std::string tempPath_;
    int fd_ = -1;
    std::shared_ptr<const OpenDirectory> below_;
};
