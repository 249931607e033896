#include "engine/root_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include <wx/intl.h>

#include "engine/file_copy.h"
#include "engine/sync_types.h"
#include "platform/drives.h"
#include "store/media.h"
#include "store/text.h"

namespace {

// No real tree is deeper; a loop of bind mounts cannot keep the walk up going.
constexpr int kMaxDepth = 4096;

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string ParentOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? "/" : path.substr(0, slash);
}

using Identity = std::pair<dev_t, ino_t>;

// A directory and its ancestors up to "/", as the kernel resolves them (links followed, ".."
// taken from the directory itself, so a bind mount shows the ancestors of what it shows).
struct Lineage {
    std::vector<Identity> ids;  // the nearest existing directory first
    bool exact = false;         // that directory is the path itself
};

Lineage LineageOf(const wxString& path)
{
    Lineage lineage;
    std::string native = WithoutTrailingSlash(NativePath(path));
    int fd = -1;
    for (int depth = 0; fd < 0 && !native.empty() && depth < kMaxDepth; ++depth) {
        fd = ::open(native.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        lineage.exact = fd >= 0 && depth == 0;
        if (fd < 0)
            native = native == "/" || native == "." ? std::string() : ParentOf(native);
    }
    for (int depth = 0; fd >= 0 && depth < kMaxDepth; ++depth) {
        struct stat st;
        const bool known = ::fstat(fd, &st) == 0;
        const Identity id{st.st_dev, st.st_ino};
        if (!known || (!lineage.ids.empty() && lineage.ids.back() == id))
            break;  // "/" is its own parent
        lineage.ids.push_back(id);
        const int up = ::openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = up;
    }
    if (fd >= 0)
        ::close(fd);
    return lineage;
}

// True when inner is outer or lies below it.
bool Within(const Lineage& inner, const Lineage& outer)
{
    return outer.exact && !outer.ids.empty() && std::ranges::find(inner.ids, outer.ids[0]) != inner.ids.end();
}

bool NamesOverlap(const wxString& first, const wxString& second)
{
    namespace fs = std::filesystem;
    const auto normal = [](const wxString& path) {
        return WithoutTrailingSlash(fs::path(NativePath(path)).lexically_normal().string()) + "/";
    };
    const std::string a = normal(first), b = normal(second);
    return a.starts_with(b) || b.starts_with(a);
}

} // namespace

RootIdentity ReadRootIdentity(const wxString& path)
{
    RootIdentity id;
    struct stat st {};
    const wxScopedCharBuffer native = path.utf8_str();
    if (path.empty() || ::lstat(native.data(), &st) != 0 || !S_ISDIR(st.st_mode))
        return id;
    id.exists = true;
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.inode = static_cast<std::uint64_t>(st.st_ino);
    return id;
}

bool IsMountedDriveRoot(const wxString& driveRoot)
{
    const std::string wanted = WithoutTrailingSlash(driveRoot.utf8_string());
    if (wanted.empty())
        return false;
    for (const MountedDrive& drive : ListMountedDrives()) {
        if (WithoutTrailingSlash(drive.mountPoint) == wanted)
            return true;
    }
    return false;
}

bool FoldersOverlap(const wxString& first, const wxString& second)
{
    const Lineage a = LineageOf(first), b = LineageOf(second);
    return Within(a, b) || Within(b, a) || NamesOverlap(first, second);
}

void RecordRootIdentities(FolderJob& folder)
{
    folder.stationRootId = ReadRootIdentity(folder.stationPath);
    folder.mediumRootId = ReadRootIdentity(folder.mediumPath);
    folder.driveId = DriveIdentity{};
    if (folder.mediumDriveRoot.empty())
        return;
    const std::string root = WithoutTrailingSlash(NativePath(folder.mediumDriveRoot));
    folder.driveId.root = ReadRootIdentity(folder.mediumDriveRoot);
    folder.driveId.mountId = MountIdOf(root);
    folder.driveId.ownDevice = ReadRootIdentity(FromUtf8(ParentOf(root))).device
                               != folder.driveId.root.device;
}

DriveHold::DriveHold(const FolderJob& folder)
{
    if (folder.mediumDriveRoot.empty())
        return;
    root_ = std::make_shared<const OpenDirectory>(folder.mediumDriveRoot);
    if (root_->Fd() >= 0)
        mountId_ = MountIdOfOpen(root_->Fd(), root_->Path());
}

bool DriveHold::OnRecordedMount(const FolderJob& folder) const
{
    return folder.mediumDriveRoot.empty()
           || (root_->Fd() >= 0 && mountId_ == folder.driveId.mountId);
}

wxString CheckRootIdentities(const FolderJob& folder, const DriveHold* hold)
{
    if (!folder.refusal.empty())
        return folder.refusal;
    if (!folder.mediumDriveRoot.empty()) {
        const wxString marker = ReadMediumMarker(folder.mediumDriveRoot);
        if (!IsMountedDriveRoot(folder.mediumDriveRoot) || !MediumStillMounted(folder) ||
            (hold && !hold->OnRecordedMount(folder)) || marker.empty() || marker != folder.mediumGuid)
            return wxString::Format(_("The medium %s is no longer the drive the analysis saw."),
                                    folder.mediumDriveRoot);
        // A hostile stick may hold a link where the folder's directories are (a folder still to
        // be made is made without following one).
        struct stat st;
        if (::stat(NativePath(folder.mediumPath).c_str(), &st) == 0 &&
            ReachesThroughLink(folder.mediumDriveRoot, folder.mediumPath))
            return wxString::Format(_("The folder %s is reached through a symbolic link on the medium."),
                                    folder.mediumPath);
    }
    const struct {
        const wxString& path;
        const RootIdentity& seen;
    } roots[] = {{folder.stationPath, folder.stationRootId}, {folder.mediumPath, folder.mediumRootId}};
    for (const auto& root : roots) {
        if (root.seen.exists && ReadRootIdentity(root.path) != root.seen)
            return wxString::Format(_("The folder %s changed or vanished after the analysis."),
                                    root.path);
    }
    return wxString();
}

bool MediumStillMounted(const FolderJob& folder)
{
    if (folder.mediumDriveRoot.empty())
        return true;
    const RootIdentity& seen = folder.driveId.root;
    const std::string root = WithoutTrailingSlash(NativePath(folder.mediumDriveRoot));
    struct stat here, parent;
    if (!seen.exists || ::lstat(root.c_str(), &here) != 0 || here.st_dev != seen.device ||
        here.st_ino != seen.inode)
        return false;
    // Sticks formatted alike share device and inode numbers; the mount tells them apart.
    if (folder.driveId.ownDevice &&
        (::lstat(ParentOf(root).c_str(), &parent) != 0 || parent.st_dev == here.st_dev))
        return false;
    return MountIdOf(root) == folder.driveId.mountId;
}
