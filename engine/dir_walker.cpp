#include "engine/dir_walker.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

#include "engine/relative_path.h"
#include "store/file_io.h"
#include "store/paths.h"
#include "store/text.h"

namespace {

// Times before 1601 have no file-time value; such files are left out like unreadable times.
constexpr std::int64_t kEarliestUnixSecond = -11644473600LL;

// The names of one directory in listing order, kept in one buffer.
struct Listing {
    struct Name {
        size_t offset;
        bool isDir;
    };
    std::string buffer;
    std::vector<Name> names;
    bool incomplete = false;

    const char* At(const Name& n) const { return buffer.c_str() + n.offset; }
};

bool IsDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Reads the directory, keeping subdirectories and regular-file candidates. Symbolic links,
// devices, FIFOs and sockets are dropped here when the listing tells the type.
Listing ReadListing(DIR* dir)
{
    Listing listing;
    const int fd = dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* de = readdir(dir);
        if (!de) {
            listing.incomplete = errno != 0;
            break;
        }
        if (IsDotOrDotDot(de->d_name))
            continue;
        bool isDir = de->d_type == DT_DIR;
        if (de->d_type == DT_UNKNOWN) {
            struct stat st;
            if (fstatat(fd, de->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno != ENOENT)
                    listing.incomplete = true;
                continue;
            }
            if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))
                continue;
            isDir = S_ISDIR(st.st_mode);
        } else if (!isDir && de->d_type != DT_REG) {
            continue;
        }
        listing.names.push_back({listing.buffer.size(), isDir});
        listing.buffer.append(de->d_name);
        listing.buffer.push_back('\0');
    }
    return listing;
}

wxString ShownName(const char* name)
{
    wxString shown;
    for (const char* p = name; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        shown += (c >= 0x20 && c < 0x7f) ? wxUniChar(c) : wxUniChar('?');
    }
    return shown;
}

class Walker {
public:
    Walker(const wxString& root, DirWalkVisitor& visitor) : root_(root), visitor_(visitor) {}

    // Walks the open directory fd (taken over and closed); false when the walk is to stop.
    bool WalkLevel(int fd, const std::string& rel);

private:
    // child = rel + separator + name. False, after reporting the name, when it is not UTF-8.
    bool ChildRel(const std::string& rel, const char* name, std::string& child);
    // The full path of a name in the directory rel, for messages.
    wxString ShownPath(const std::string& rel, const wxString& name) const;
    bool WalkSubdirectory(int parentFd, const std::string& rel, const char* name);
    bool OfferFile(int parentFd, const std::string& rel, const char* name,
                   bool& reportedUnreadable);
    void ReportUnreadable(const std::string& rel, bool& reported);

    wxString root_;
    DirWalkVisitor& visitor_;
};

bool Walker::ChildRel(const std::string& rel, const char* name, std::string& child)
{
    const size_t length = std::strlen(name);
    const bool utf8 = IsValidUtf8(std::string_view(name, length));
    if (!utf8 || std::memchr(name, '\\', length)) {
        visitor_.WalkSkippedName(ShownPath(rel, utf8 ? FromUtf8(name) : ShownName(name)),
                                 utf8 ? SkippedName::Backslash : SkippedName::NotUtf8);
        return false;
    }
    child.clear();
    child.reserve(rel.size() + 1 + length);
    if (!rel.empty()) {
        child.append(rel);
        child.push_back(kNativeSeparator);
    }
    child.append(name, length);
    return true;
}

wxString Walker::ShownPath(const std::string& rel, const wxString& name) const
{
    wxString shown = AppendPathSeparator(root_);
    if (!rel.empty())
        shown << Utf8Text(rel) << wxFILE_SEP_PATH;
    return shown + name;
}

void Walker::ReportUnreadable(const std::string& rel, bool& reported)
{
    if (!reported)
        visitor_.WalkUnreadable(rel);
    reported = true;
}

bool Walker::WalkSubdirectory(int parentFd, const std::string& rel, const char* name)
{
    std::string childRel;
    if (!ChildRel(rel, name, childRel))
        return true;
    const wxDirTraverseResult answer = visitor_.WalkDir(childRel);
    if (answer == wxDIR_STOP)
        return false;
    if (answer == wxDIR_IGNORE)
        return true;
    const int fd = openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // A directory replaced by a link or removed since the listing is simply gone.
        if (errno != ENOENT && errno != ELOOP && errno != ENOTDIR)
            visitor_.WalkUnreadable(childRel);
        return true;
    }
    return WalkLevel(fd, childRel);
}

bool Walker::OfferFile(int parentFd, const std::string& rel, const char* name,
                       bool& reportedUnreadable)
{
    std::string childRel;
    if (!ChildRel(rel, name, childRel))
        return true;
    // Temporary names start with ".~"; the byte test spares the others the full check.
    if (name[0] == '.' && name[1] == '~' && IsTemporaryName(FromUtf8(name))) {
        visitor_.WalkSkippedName(ShownPath(rel, FromUtf8(name)), SkippedName::Temporary);
        return true;
    }
    struct stat st;
    if (fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        // A file removed since the listing is gone; any other failure hides what is there.
        if (errno != ENOENT)
            ReportUnreadable(rel, reportedUnreadable);
        return true;
    }
    if (!S_ISREG(st.st_mode) || st.st_mtim.tv_sec < kEarliestUnixSecond)
        return true;
    const FileTime time = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return visitor_.WalkFile(childRel, time, static_cast<std::uint64_t>(st.st_size)) != wxDIR_STOP;
}

bool Walker::WalkLevel(int fd, const std::string& rel)
{
    // Owned here, so a visitor that throws does not leak the directory.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(fdopendir(fd), closedir);
    if (!dir) {
        close(fd);
        visitor_.WalkUnreadable(rel);
        return true;
    }
    const Listing listing = ReadListing(dir.get());
    bool reported = false;
    if (listing.incomplete)
        ReportUnreadable(rel, reported);

    bool go = true;
    for (const Listing::Name& n : listing.names)
        if (go && n.isDir)
            go = WalkSubdirectory(fd, rel, listing.At(n));
    for (const Listing::Name& n : listing.names)
        if (go && !n.isDir)
            go = OfferFile(fd, rel, listing.At(n), reported);
    return go;
}

} // namespace

bool WalkDirectoryTree(const wxString& root, DirWalkVisitor& visitor)
{
    const int fd = open(NativePath(root).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            visitor.WalkMissingRoot();
        else
            visitor.WalkUnreadable(std::string());
        return false;
    }
    Walker(root, visitor).WalkLevel(fd, std::string());
    return true;
}
