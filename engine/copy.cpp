#include "engine/copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <wx/datetime.h>
#include <wx/intl.h>

#include "engine/compress_pool.h"
#include "engine/file_copy.h"
#include "engine/root_check.h"
#include "store/bzip2.h"
#include "store/catalog.h"
#include "store/file_io.h"
#include "store/file_time.h"
#include "store/options.h"
#include "store/paths.h"
#include "store/text.h"
#include "store/wildcard.h"

namespace {

constexpr char kCompressedSuffix[] = ".bz2";
// The size that a file which cannot be found has: it fails every limit below it.
constexpr std::uint64_t kMissingFileSize = 4294967295u;
// Removals waiting for a flush are settled at least this often (their log lines wait too).
constexpr std::size_t kMaxHeldItems = 1000;

// The system's text for an error number; any thread.
wxString ErrorText(int error)
{
    char buffer[256];
    return FromUtf8(strerror_r(error != 0 ? error : EIO, buffer, sizeof buffer));
}

// True when the last name of path still fits a directory with ".bz2" appended.
bool CompressedNameFits(const wxString& path)
{
    return ToUtf8(path.AfterLast('/')).size() + sizeof kCompressedSuffix - 1 <= NAME_MAX;
}

std::optional<std::uint64_t> RegularFileSize(const wxString& path)
{
    struct stat st;
    if (::stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

// The ".bz2" that the analysis found after the name of the item's file on one side.
CompressedSuffix FoundSuffix(const SyncItem& item, bool onMedium)
{
    return onMedium ? item.mediumSuffix : item.stationSuffix;
}

// Makes a planned path name the file as the analysis found it (see SyncItem); true when that
// is compressed.
bool ResolveFound(wxString& path, CompressedSuffix suffix)
{
    if (suffix == 0)
        return ResolveCompressedName(path);
    path += CompressedSuffixText(suffix);
    return true;
}

// The files the item reads and deletes or replaces, as the analysis found them.
wxString FoundSource(const SyncItem& item)
{
    wxString path = item.source;
    ResolveFound(path, FoundSuffix(item, !item.targetOnMedium));
    return path;
}

wxString FoundTarget(const SyncItem& item)
{
    wxString path = item.target;
    ResolveFound(path, FoundSuffix(item, item.targetOnMedium));
    return path;
}

// The compressed form of a target on the medium: the name of the compressed file there, so
// that it is replaced in place, else the planned name with ".bz2".
wxString CompressedTarget(const SyncItem& item)
{
    return item.target + (item.mediumSuffix ? CompressedSuffixText(item.mediumSuffix)
                                             : kCompressedSuffix);
}

bool MakeDirectories(const wxString& path)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(NativePath(path)), ec);
    return !ec && std::filesystem::is_directory(std::filesystem::path(NativePath(path)), ec);
}

bool DirectoryExists(const wxString& path)
{
    struct stat st;
    return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Masks and paths are compared lower-cased with "\" as the separator, as stored masks are.
wxString MaskForm(const wxString& text)
{
    wxString form = text.Lower();
    form.Replace("/", "\\");
    return form;
}

struct DirEntries {
    std::vector<wxString> subdirectories;  // real directories, links excluded
    std::vector<wxString> temporaries;     // regular files named as this program's temporaries
    bool hasOthers = false;                // files, links and anything else
};

// The directory at path opened for reading, from below when given (then never through a link).
DIR* OpenDirectoryAt(const wxString& path, const std::shared_ptr<const OpenDirectory>& below)
{
    if (!below)
        return ::opendir(NativePath(path).c_str());
    const std::optional<std::string> relative = below->Below(path);
    if (!relative)
        return nullptr;
    const int fd = ::openat(below->Fd(), relative->empty() ? "." : relative->c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (fd >= 0 && !dir)
        ::close(fd);
    return dir;
}

// The entries of a directory without following links; nullopt when it cannot be opened.
std::optional<DirEntries> ListDirectory(const wxString& path,
                                        const std::shared_ptr<const OpenDirectory>& below = nullptr)
{
    DIR* dir = OpenDirectoryAt(path, below);
    if (!dir)
        return std::nullopt;
    DirEntries entries;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st;
        const wxString wxName = FromUtf8(name);
        // A name that is not UTF-8 cannot be named again: its directory stays.
        const bool known =
            !wxName.empty() && ::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (known && S_ISDIR(st.st_mode))
            entries.subdirectories.push_back(wxName);
        else
            entries.hasOthers = true;
        if (known && S_ISREG(st.st_mode) && IsTemporaryName(wxName))
            entries.temporaries.push_back(wxName);
    }
    ::closedir(dir);
    return entries;
}

// The directory part of a path ("" when it has none).
wxString DirectoryOf(const wxString& path)
{
    const int slash = path.Find('/', true);
    return slash == wxNOT_FOUND ? wxString() : path.Left(static_cast<size_t>(slash));
}

// The error result of an item that was not carried out.
const char* ErrorAttribute(int action)
{
    return action == FP_COPY || action == FP_MOVE ? " result=\"cp_error\"" : " result=\"error\"";
}

// The current local time for the log. LogTime() goes through localtime and mktime, which
// look at /etc/localtime on every call: too slow for one call per copied file.
wxDateTime LogTime()
{
    return wxDateTime(std::time(nullptr));
}

} // namespace

swxCopy::swxCopy(wxEvtHandler* owner, JobTree* jobs, bool logOnly, const wxString& logFileName)
    : wxThread(wxTHREAD_JOINABLE),
      jobs(jobs),
      event(owner, ID_THREAD_EVENT),
      logOnly(logOnly),
      logging(!logFileName.empty()),
      bz2Settings(Bz2Settings::FromOptions()),
      removeEmptyFolders(soRemoveEmptyFolders)
{
    if (logging)
        log.Open(logFileName);
}

swxCopy::~swxCopy() = default;

void swxCopy::AddIncompressibleMask(const wxString& mask)
{
    incompressibleMasks.Add(MaskForm(mask));
}

bool swxCopy::TestDestroy()
{
    return stopRequested || wxThread::TestDestroy();
}

void swxCopy::Attribute(const char* attribute)
{
    if (logging)
        log.ItemAttribute(attribute);
}

void swxCopy::Fail(const char* attribute, const wxString& message)
{
    anyItemFailed = true;
    Attribute(attribute);
    if (!message.empty())
        event.PostMessageText(message);
}

void swxCopy::FailHeld(std::size_t line, const char* attribute, const wxString& message)
{
    anyItemFailed = true;
    if (logging)
        log.HeldAttribute(line, attribute);
    if (!message.empty())
        event.PostMessageText(message);
}

wxThread::ExitCode swxCopy::Entry()
{
    runResult = RUN_FINISHED;
    anyItemFailed = false;
    mediumLost = false;
    try {
        RunJobs();
        FlushMedium();
        if (anyItemFailed && runResult == RUN_FINISHED)
            runResult = RUN_FINISHED_WITH_ERRORS;
    } catch (...) {
        // Only the lack of memory throws here; the owner still gets its end event.
        event.PostMessageText(_("The synchronization stopped after an unexpected error."));
        runResult = RUN_FINISHED_WITH_ERRORS;
    }
    // Files written ahead for a folder that an error left unfinished go before the end.
    pool.reset();
    // The run dialog compresses the log when the end event arrives: complete it first.
    log.Close();
    event.PostCode(TE_COPY_END, runResult);
    return nullptr;
}

void swxCopy::RunJobs()
{
    event.PostMessageText(_("Starting synchronization"));
    if (logging)
        log.Header(stationName, LogTime(), logOnly);
    if (!jobs)
        return;
    for (const auto& project : *jobs) {
        if (TestDestroy()) {
            runResult = RUN_CANCELLED;
            return;
        }
        RunProject(*project);
    }
}

void swxCopy::RunProject(const ProjectJob& project)
{
    event.PostMessageText(
        wxString::Format(_("\n******************************************\n Project %s:\n"
                           "******************************************"),
                         project.caption));
    if (logging)
        log.ProjectStart(SyncModeName(project.mode), project.caption, project.ignoreSizeOver,
                         project.compressBelow);
    for (const auto& folder : project.folders) {
        if (TestDestroy()) {
            runResult = RUN_CANCELLED;
            break;
        }
        RunFolder(project, *folder);
    }
    if (logging)
        log.ProjectEnd();
}

void swxCopy::RunFolder(const ProjectJob& project, FolderJob& folder)
{
    event.PostMessageText(
        wxString::Format(_("\n******************************************\n Project %s, folder %s "
                           "(%s on medium)"),
                         project.caption, folder.stationPath, folder.mediumPath));
    const auto count = static_cast<unsigned long>(folder.items.size());
    if (logging) {
        log.FolderStart(folder.stationPath, folder.mediumPath);
        log.ActionsStart(count, LogTime());
    }
    event.PostCode(TE_START, static_cast<long>(count),
                   wxString::Format(_("%lu entries to synchronize"), count));

    // A stick pulled or swapped since the analysis: its folder is left alone entirely.
    const DriveHold hold(folder);
    const wxString change = CheckRootIdentities(folder, &hold);
    currentFolder = &folder;
    driveRoot = hold.Root();
    if (change.empty())
        MakeMediumFolder(folder);
    else
        event.PostMessageText(wxString::Format(_("Nothing done in the folder %s (%s on medium): %s"),
                                               folder.stationPath, folder.mediumPath, change));
    std::size_t ahead = 0;  // the next item the pool may be given
    for (std::size_t i = 0; i < folder.items.size(); ++i) {
        SyncItem& item = *folder.items[i];
        if (TestDestroy()) {
            runResult = RUN_CANCELLED;
            break;
        }
        // The pool writes ahead only while the medium is still the one the analysis saw.
        const bool rootsGone = !change.empty() || MediumLost(folder);
        if (!rootsGone && !logOnly)
            QueueAhead(project, folder, std::max(ahead, i), ahead);
        RunItem(project, folder, item, rootsGone);
        if (pool)
            pool->Drop(&item);
        if (interrupted) {
            runResult = RUN_CANCELLED;
            break;
        }
        if (logging)
            log.ItemClose(LogTime());
        if (!pendingRemovals.empty() && ++itemsHeld >= kMaxHeldItems)
            SettleRemovals(folder);
    }
    if (pool)
        pool->Clear();
    ReportRemovedTemporaries(std::nullopt);
    SettleRemovals(folder);
    if (logging)
        log.ActionsEnd();
    // A pulled stick leaves its bare mount directory, empty, on this disk.
    if (change.empty() && !MediumLost(folder))
        CleanEmptyFolders(project, folder);
    currentFolder = nullptr;
    driveRoot.reset();
    if (logging)
        log.FolderEnd();
}

bool swxCopy::MediumLost(const FolderJob& folder)
{
    // A stick pulled in the middle of a folder leaves its bare mount directory on this disk.
    if (!mediumLost && !MediumStillMounted(folder)) {
        mediumLost = true;
        event.PostMessageText(wxString::Format(
            _("The medium %s was removed or replaced: nothing more is done on it."),
            folder.mediumDriveRoot));
        // Files written ahead would land wherever their paths lead now.
        if (pool)
            pool->Clear();
    }
    return mediumLost;
}

std::shared_ptr<const OpenDirectory> swxCopy::HeldRoot(bool onMedium) const
{
    return onMedium ? driveRoot : nullptr;
}

bool swxCopy::MediumStays()
{
    // A file made from the held root while its stick left would be in place on no medium.
    if (currentFolder && MediumLost(*currentFolder)) {
        errno = ENOENT;
        return false;
    }
    return true;
}

void swxCopy::MakeMediumFolder(const FolderJob& folder)
{
    if (DirectoryExists(folder.mediumPath))
        return;
    // Made with its parents (a location such as Docs/2024 is common on a fresh medium), but on
    // a known drive only below its root and while it is mounted: never on the system disk.
    const wxString& drive = folder.mediumDriveRoot;
    const bool made =
        drive.empty() ? MakeDirectories(folder.mediumPath)
                      : IsMountedDriveRoot(drive)
                            && MakeDirectoriesBelow(drive, folder.mediumPath, driveRoot);
    if (!made)
        event.PostMessageText(wxString::Format(_("Failed to create folder: %s"), folder.mediumPath));
}

void swxCopy::RunItem(const ProjectJob& project, const FolderJob& folder, SyncItem& item,
                      bool rootsChanged)
{
    if (logging)
        log.ItemOpen(item);
    wxString message;
    if (!item.selected) {
        if (logOnly)
            message = wxString::Format(_("Cancelled by user: %s"), item.target);
        Attribute(" result=\"ignored\"");
    } else if (item.action < FP_DELETE || item.action > FP_MKDIR) {
        // Unknown actions are skipped without a result.
    } else if (rootsChanged) {
        Fail(ErrorAttribute(item.action));
        if (logOnly)
            message = wxString::Format(_("Not done: %s"), item.target);
    } else if (logOnly) {
        message = DescribeItem(project, item, true);
    } else {
        // Worded first: the item's paths and files change when it is done.
        if (itemTexts)
            message = DescribeItem(project, item, false);
        PerformItem(project, folder, item);
    }
    if (interrupted) {
        // Left undone, as the items after it are.
        if (logging)
            log.DropItem();
        return;
    }
    event.Event().SetString(message);
    event.PostCode(logOnly ? TE_LOG_ONLY_STEP : TE_STEP);
}

wxString swxCopy::DescribeItem(const ProjectJob& project, const SyncItem& item, bool logResult)
{
    const auto result = [&](const char* attribute) {
        if (logResult)
            Attribute(attribute);
    };
    switch (item.action) {
    case FP_DELETE:
        if (SizeWithinLimit(project, FoundTarget(item))) {
            result("  result=\"ok\"");
            return wxString::Format(_("Delete: %s"), item.target);
        }
        result("  result=\"wrong_size\"");
        return wxString::Format(_("Delete (ignored): %s"), item.target);
    case FP_MOVE:
        if (SizeWithinLimit(project, FoundSource(item))) {
            result("  result=\"ok\"");
            return wxString::Format(_("Move: %s => %s"), item.source, item.target);
        }
        result(" result=\"wrong_size\"");
        return wxString::Format(_("Move (ignored): %s => %s"), item.source, item.target);
    case FP_COPY:
        if (SizeWithinLimit(project, FoundSource(item))) {
            result(" result=\"ok\"");
            return wxString::Format(_("Copy: %s => %s"), item.source, item.target);
        }
        result(" result=\"wrong_size\"");
        return wxString::Format(_("Copy (ignored): %s => %s"), item.source, item.target);
    case FP_MKDIR:
        result("  result=\"ok\"");
        return wxString::Format(_("Makedir: %s"), item.target);
    default:
        return wxString();
    }
}

void swxCopy::PerformItem(const ProjectJob& project, const FolderJob& folder, SyncItem& item)
{
    if (!PathsAreSafe(folder, item)) {
        Fail(ErrorAttribute(item.action),
             wxString::Format(_("Not done, the path leads through a symbolic link: %s"),
                              item.target));
        return;
    }
    // A station folder missing since the analysis (a new location) is made with its parents; one
    // that vanished since was caught by the check of the roots.
    if (!item.targetOnMedium && item.action != FP_DELETE && !DirectoryExists(folder.stationPath))
        MakeDirectories(folder.stationPath);
    switch (item.action) {
    case FP_COPY:
        CopyOneFile(project, item);
        break;
    case FP_MOVE:
        MoveOneFile(project, item);
        break;
    case FP_DELETE:
        DeleteOneFile(project, folder, item);
        break;
    case FP_MKDIR:
        MakeDirectory(folder, item);
        break;
    default:
        break;
    }
}

bool swxCopy::PathsAreSafe(const FolderJob& folder, const SyncItem& item)
{
    const wxString& targetRoot = item.targetOnMedium ? folder.mediumPath : folder.stationPath;
    const wxString& sourceRoot = item.targetOnMedium ? folder.stationPath : folder.mediumPath;
    // A directory to make is examined itself: a link standing there is not replaced.
    if (ReachesThroughLink(targetRoot,
                           item.action == FP_MKDIR ? item.target : DirectoryOf(item.target)))
        return false;
    // The source of a move is removed afterwards.
    return item.action != FP_MOVE || !ReachesThroughLink(sourceRoot, DirectoryOf(item.source));
}

void swxCopy::MakeDirectory(const FolderJob& folder, const SyncItem& item)
{
    const wxString& root = item.targetOnMedium ? folder.mediumPath : folder.stationPath;
    if (MakeDirectoriesBelow(root, item.target, HeldRoot(item.targetOnMedium))) {
        Attribute(" result=\"ok\"");
        return;
    }
    const int error = errno;
    Fail(" result=\"error\"",
         wxString::Format(_("Directory not made: %s: %s"), item.target, ErrorText(error)));
}

void swxCopy::MoveOneFile(const ProjectJob& project, SyncItem& item)
{
    if (!CopyOneFile(project, item))
        return;
    // The source waits until the copy is on the device.
    pendingRemovals.push_back({&item, logging ? log.HoldItem() : 0});
}

void swxCopy::SettleRemovals(const FolderJob& folder)
{
    itemsHeld = 0;
    if (pendingRemovals.empty())
        return;
    std::vector<PendingRemoval> batch;
    batch.swap(pendingRemovals);
    // A stopped run does not wait for the device: the sources stay, and the next run in a move
    // mode removes them beside their copies.
    if (!stopRequested && MediumLost(folder)) {
        // Their copies may be on the stick that left, even when another one now holds their
        // equals.
        for (const PendingRemoval& pending : batch)
            FailHeld(pending.logLine, "  remove=\"error\"", wxString());
        event.PostMessageText(wxString::Format(
            _("The sources of the moves were not removed: the medium %s was removed or replaced "
              "before their copies were flushed."),
            folder.mediumDriveRoot));
    } else if (!stopRequested) {
        const SyncItem& first = *batch.front().item;
        const bool flushed =
            FlushFileSystem(first.targetOnMedium ? folder.mediumPath : folder.stationPath);
        const int flushError = errno;
        for (const PendingRemoval& pending : batch) {
            SyncItem& item = *pending.item;
            // The source goes only while the copy stands with its time.
            FileTime written = 0;
            if (!flushed) {
                FailHeld(pending.logLine, "  remove=\"error\"",
                         wxString::Format(_("Not removed, its copy could not be flushed to the "
                                            "device: %s: %s"),
                                          item.source, ErrorText(flushError)));
            } else if (!GetFileModTime(item.target, written)
                       || TimeNewer(item.sourceTime, written)) {
                FailHeld(pending.logLine, "  remove=\"error\"",
                         wxString::Format(_("Not removed, its counterpart is missing or older: "
                                            "%s"),
                                          item.source));
            } else if (!RemoveRegularFile(item.source, HeldRoot(!item.targetOnMedium))) {
                // Claimed only when true: a source that stays would be moved again next time.
                const int error = errno;
                FailHeld(pending.logLine, "  remove=\"error\"",
                         wxString::Format(_("Not removed: %s: %s"), item.source,
                                          ErrorText(error)));
            } else if (logging) {
                log.HeldAttribute(pending.logLine, "  remove=\"source\"");
            }
        }
    }
    if (logging)
        log.ReleaseItems();
}

void swxCopy::FlushMedium()
{
    if (logOnly || stopRequested || !jobs)
        return;
    // A stick pulled right after the end holds what the log says.
    std::set<dev_t> flushed;
    for (const auto& project : *jobs)
        for (const auto& folder : project->folders) {
            const wxString& root =
                folder->mediumDriveRoot.empty() ? folder->mediumPath : folder->mediumDriveRoot;
            struct stat st;
            const bool known = ::stat(NativePath(root).c_str(), &st) == 0;
            if ((known && !flushed.insert(st.st_dev).second) || FlushFileSystem(root))
                continue;
            const int error = errno;
            anyItemFailed = true;
            event.PostMessageText(wxString::Format(
                _("The medium could not be flushed: %s: %s"), root, ErrorText(error)));
        }
}

void swxCopy::DeleteOneFile(const ProjectJob& project, const FolderJob& folder, SyncItem& item)
{
    const wxString planned = item.target;
    item.target = FoundTarget(item);
    if (!SizeWithinLimit(project, item.target)) {
        Attribute(" result=\"ignored\"");
        return;
    }
    // The move modes delete a file because the other side holds it equal or newer.
    const int justifyingMove =
        item.targetOnMedium ? SYNC_BIT_MOVE_TO_STATION : SYNC_BIT_MOVE_TO_MEDIUM;
    if ((project.mode & justifyingMove) && !CounterpartStands(folder, item, planned)) {
        Fail(" result=\"error\"",
             wxString::Format(_("Not removed, its counterpart is missing or older: %s"),
                              item.target));
        return;
    }
    if (!RemoveRegularFile(item.target, HeldRoot(item.targetOnMedium))) {
        const int error = errno;
        Fail(" result=\"error\"",
             wxString::Format(_("Not deleted: %s: %s"), item.target, ErrorText(error)));
    }
}

bool swxCopy::CounterpartStands(const FolderJob& folder, const SyncItem& item,
                                const wxString& planned)
{
    FileTime own = 0;
    if (!GetFileModTime(item.target, own))
        return true;  // nothing left to remove
    const bool onMedium = item.targetOnMedium;
    const wxString& root = onMedium ? folder.mediumPath : folder.stationPath;
    const wxString& otherRoot = onMedium ? folder.stationPath : folder.mediumPath;
    const wxString relative = planned.Mid(AppendPathSeparator(root).length());
    // First the counterpart as the analysis found it. Either side may hold the compressed
    // form: a medium file compressed by a run, a station file compressed by its user (kept as
    // the plain name on the medium).
    wxString candidates[] = {relative, relative, relative + kCompressedSuffix, relative};
    if (const CompressedSuffix found = FoundSuffix(item, !onMedium))
        candidates[0] = relative + CompressedSuffixText(found);
    if (relative.EndsWith(kCompressedSuffix))
        candidates[3] = relative.Left(relative.length() - 4);
    for (const wxString& candidate : candidates) {
        const wxString other = AppendPathSeparator(otherRoot) + candidate;
        FileTime time = 0;
        if (!ReachesThroughLink(otherRoot, other) && GetFileModTime(other, time))
            return !TimeNewer(own, time);
    }
    return false;
}

bool swxCopy::SizeWithinLimit(const ProjectJob& project, const wxString& path) const
{
    if (project.ignoreSizeOver == 0)
        return true;
    std::optional<std::uint64_t> size = RegularFileSize(path);
    if (!size)
        size = RegularFileSize(path + kCompressedSuffix);
    return size.value_or(kMissingFileSize) <= static_cast<std::uint64_t>(project.ignoreSizeOver);
}

bool swxCopy::ShouldCompress(const ProjectJob& project, const wxString& path) const
{
    if (project.compressBelow == 0)
        return false;
    const std::optional<std::uint64_t> size = RegularFileSize(path);
    if (!size || *size > static_cast<std::uint64_t>(project.compressBelow))
        return false;
    const wxString form = MaskForm(path);
    if (form.EndsWith(kCompressedSuffix))
        return false;
    for (const wxString& mask : incompressibleMasks)
        if (MatchWildcard(mask, form, false))
            return false;
    return true;
}

bool swxCopy::Outcome(bool done, const char* success, const char* failure, const wxString& path,
                      const SyncItem& item)
{
    const int error = errno;
    if (done) {
        Attribute(success);
        return true;
    }
    // A target that vanished with its stick is named, not the source that is still there.
    const bool targetGone = item.targetOnMedium && currentFolder && MediumLost(*currentFolder);
    if (error == ECANCELED && stopRequested)
        interrupted = true;
    else
        Fail(failure, wxString::Format(_("Not copied: %s: %s"), targetGone ? item.target : path,
                                       ErrorText(error)));
    return false;
}

bool swxCopy::CopyOneFile(const ProjectJob& project, SyncItem& item)
{
    if (!SizeWithinLimit(project, FoundSource(item))) {
        Attribute(" result=\"wrong_size\"");
        return false;
    }
    const std::shared_ptr<const OpenDirectory> below = HeldRoot(item.targetOnMedium);
    RemoveTemporaries(DirectoryOf(item.target), true, below);
    const StopFlag* stop = &stopRequested;
    const wxString planned = item.source;  // named in messages
    if (item.targetOnMedium) {
        ResolveFound(item.source, item.stationSuffix);  // a station file may be compressed itself
        // The other form of the name goes right before the new one takes its place: both forms
        // side by side would be twins that stop every later analysis of the folder.
        const wxString plainTarget = item.target, packedTarget = CompressedTarget(item);
        const bool compressedFits = CompressedNameFits(plainTarget);
        const bool compress = ShouldCompress(project, item.source);
        if (compress && !compressedFits) {
            event.PostMessageText(wxString::Format(
                _("Copied uncompressed, the name is too long for its compressed form: %s"),
                planned));
        } else if (compress) {
            item.target = packedTarget;
            const bool done = WriteFile(
                item,
                [&](AtomicFile& file) {
                    return CompressFileBz2(item.source, file, bz2Settings, stop);
                },
                [&] { return MediumStays() && RemoveRegularFile(plainTarget, below); });
            return Outcome(done, " result=\"bz\"", " result=\"bz_error\"", planned, item);
        }
        const bool done = CopyFileAtomic(
            item.source, item.target, item.sourceTime,
            [&] {
                return MediumStays() && (!compressedFits || RemoveRegularFile(packedTarget, below));
            },
            stop, below);
        return Outcome(done, " result=\"cp\"", " result=\"cp_error\"", planned, item);
    }
    // The station keeps any ".bz2" file of its own: the run never writes that name there.
    if (ResolveFound(item.source, item.mediumSuffix)) {
        const bool done = WriteFile(item, [&](AtomicFile& file) {
            return DecompressFileBz2(item.source, file, kNoOutputLimit, stop);
        });
        return Outcome(done, "  result=\"unbz\"", " result=\"unbz_error\"", planned, item);
    }
    const bool done = CopyFileAtomic(item.source, item.target, item.sourceTime, nullptr, stop);
    return Outcome(done, "  result=\"cp\"", " result=\"cp_error\"", planned, item);
}

bool swxCopy::WriteFile(const SyncItem& item, const CompressPool::Write& write,
                        const BeforeRename& beforeRename)
{
    // The pool wrote it already when it foresaw the same source and target.
    std::unique_ptr<AtomicFile> file;
    if (pool)
        file = pool->Take(&item, item.source, item.target);
    if (!file)
        file = CompressPool::WriteNow(item.target, item.sourceTime, write,
                                      HeldRoot(item.targetOnMedium));
    return file && CommitTemporaryFile(*file, beforeRename);
}

void swxCopy::QueueAhead(const ProjectJob& project, const FolderJob& folder, std::size_t from,
                         std::size_t& next)
{
    for (next = from; next < folder.items.size() && !(pool && pool->Full()); ++next) {
        const SyncItem& item = *folder.items[next];
        if (!item.selected || (item.action != FP_COPY && item.action != FP_MOVE)
            || (item.targetOnMedium && project.compressBelow == 0))
            continue;
        // What CopyOneFile will decide, foreseen: a wrong guess only costs the work.
        wxString source = item.source, target = item.target;
        const bool compress = item.targetOnMedium;
        const bool packed = ResolveFound(source, FoundSuffix(item, !compress));
        if (compress) {
            if (!ShouldCompress(project, source) || !CompressedNameFits(target))
                continue;
            target = CompressedTarget(item);
        } else if (!packed) {
            continue;
        }
        // A directory an earlier item makes: looked at again once that item is done.
        const wxString directory = DirectoryOf(target);
        if (!DirectoryExists(directory))
            break;
        if (!PathsAreSafe(folder, item) || !SizeWithinLimit(project, source))
            continue;
        // Leftovers go before the pool writes beside them; they are reported in plan order.
        RemoveTemporaries(directory, false, HeldRoot(compress));
        if (!pool)
            pool = std::make_unique<CompressPool>();
        pool->Submit(
            &item, source, target, item.sourceTime,
            [source, compress, settings = bz2Settings, stop = &stopRequested](AtomicFile& file) {
                return compress ? CompressFileBz2(source, file, settings, stop)
                                : DecompressFileBz2(source, file, kNoOutputLimit, stop);
            },
            driveRoot);
    }
}

void swxCopy::RemoveTemporaries(const wxString& directory, bool report,
                                const std::shared_ptr<const OpenDirectory>& below)
{
    // Once per directory and run: what an interrupted run left where this one writes.
    const std::string native = NativePath(directory);
    auto [place, fresh] = cleanedDirectories.try_emplace(native);
    if (fresh) {
        if (const std::optional<DirEntries> entries = ListDirectory(directory, below))
            for (const wxString& name : entries->temporaries) {
                const wxString path = directory + "/" + name;
                if (RemoveRegularFile(path, below))
                    place->second.push_back(path);
            }
    }
    if (report)
        ReportRemovedTemporaries(native);
}

void swxCopy::ReportRemovedTemporaries(const std::optional<std::string>& directory)
{
    for (auto& [native, removed] : cleanedDirectories) {
        if (removed.empty() || (directory && native != *directory))
            continue;
        for (const wxString& path : removed)
            event.PostMessageText(wxString::Format(_("Removed temporary file: %s"), path));
        std::vector<wxString>().swap(removed);
    }
}

bool swxCopy::CleanEmptyFolders(const ProjectJob& project, const FolderJob& folder)
{
    // A log-only run changes nothing on disk but a missing medium folder.
    if (!removeEmptyFolders || logOnly)
        return true;
    event.Event().SetInt(TE_MESSAGE);
    switch (project.mode) {
    case SD_COPY:
    case SD_COPY_DEL:
        return RemoveEmptyDirs(folder.mediumPath, driveRoot);
    case DS_COPY:
    case DS_COPY_DEL:
        return RemoveEmptyDirs(folder.stationPath);
    default: {
        const bool medium = RemoveEmptyDirs(folder.mediumPath, driveRoot);
        const bool station = RemoveEmptyDirs(folder.stationPath);
        return medium && station;
    }
    }
}

bool swxCopy::RemoveEmptyDirs(const wxString& path,
                              const std::shared_ptr<const OpenDirectory>& below)
{
    const std::optional<DirEntries> entries = ListDirectory(path, below);
    if (!entries)
        return false;
    bool allRemoved = true;
    for (const wxString& name : entries->subdirectories)
        if (!RemoveEmptyDirs(AppendPathSeparator(path) + name, below))
            allRemoved = false;
    if (!allRemoved || entries->hasOthers)
        return false;

    bool removed = false;
    if (!below) {
        removed = ::rmdir(NativePath(path).c_str()) == 0;
    } else if (const std::optional<std::string> relative = below->Below(path)) {
        // The drive root itself stays.
        removed = !relative->empty()
                  && ::unlinkat(below->Fd(), relative->c_str(), AT_REMOVEDIR) == 0;
    }
    if (logging)
        log.RemovedDir(path, removed);
    event.PostMessageText(wxString::Format(removed ? _("Removed empty dir: %s")
                                              : _("Failed to remove empty dir: %s"),
                                      path));
    return removed;
}
