#include "engine/copy.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/datetime.h>
#include <wx/intl.h>

#include "engine/file_copy.h"
#include "store/bzip2.h"
#include "store/catalog.h"
#include "store/file_time.h"
#include "store/options.h"
#include "store/paths.h"
#include "store/text.h"
#include "store/wildcard.h"

namespace {

constexpr char kCompressedSuffix[] = ".bz2";
// The size that a file which cannot be found has: it fails every limit below it.
constexpr std::uint64_t kMissingFileSize = 4294967295u;

std::optional<std::uint64_t> RegularFileSize(const wxString& path)
{
    struct stat st;
    if (::stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool FileExists(const wxString& path)
{
    return RegularFileSize(path).has_value();
}

bool RemoveFile(const wxString& path)
{
    return ::unlink(NativePath(path).c_str()) == 0;
}

// Removes a regular file of this name if there is one (never a directory or what a link names).
void RemoveRegularFile(const wxString& path)
{
    struct stat st;
    const std::string native = NativePath(path);
    if (::lstat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ::unlink(native.c_str());
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
    bool hasOthers = false;                // files, links and anything else
};

// The entries of a directory without following links; nullopt when it cannot be opened.
std::optional<DirEntries> ListDirectory(const wxString& path)
{
    const std::string native = NativePath(path);
    DIR* dir = ::opendir(native.c_str());
    if (!dir)
        return std::nullopt;
    DirEntries entries;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st;
        const std::string full = native + "/" + name;
        const wxString wxName = FromUtf8(name);
        // A name that is not UTF-8 cannot be named again: its directory stays.
        if (!wxName.empty() && ::lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            entries.subdirectories.push_back(wxName);
        else
            entries.hasOthers = true;
    }
    ::closedir(dir);
    return entries;
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
      logging(!logFileName.empty())
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

wxThread::ExitCode swxCopy::Entry()
{
    runResult = RUN_FINISHED;
    try {
        RunJobs();
    } catch (...) {
        // Only the lack of memory throws here; the owner still gets its end event.
        event.PostMessageText(_("The synchronization stopped after an unexpected error."));
        runResult = RUN_FINISHED_WITH_ERRORS;
    }
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

    MakeMediumFolder(folder.mediumPath);
    for (const auto& item : folder.items) {
        if (TestDestroy()) {
            runResult = RUN_CANCELLED;
            break;
        }
        RunItem(project, *item);
        if (logging)
            log.ItemClose(LogTime());
    }
    if (logging)
        log.ActionsEnd();
    CleanEmptyFolders(project, folder);
    if (logging)
        log.FolderEnd();
}

void swxCopy::MakeMediumFolder(const wxString& path)
{
    // Made with its parents: a location such as Docs/2024 is common on a fresh medium.
    if (!DirectoryExists(path) && !MakeDirectories(path))
        event.PostMessageText(wxString::Format(_("Failed to create folder: %s"), path));
}

void swxCopy::RunItem(const ProjectJob& project, SyncItem& item)
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
    } else if (logOnly) {
        message = DescribeItem(project, item);
    } else {
        PerformItem(project, item);
    }
    if (logOnly) {
        event.Event().SetString(message);
        event.PostCode(TE_LOG_ONLY_STEP);
    } else {
        event.PostCode(TE_STEP);
    }
}

wxString swxCopy::DescribeItem(const ProjectJob& project, const SyncItem& item)
{
    switch (item.action) {
    case FP_DELETE:
        if (SizeWithinLimit(project, item.target)) {
            Attribute("  result=\"ok\"");
            return wxString::Format(_("Delete: %s"), item.target);
        }
        Attribute("  result=\"wrong_size\"");
        return wxString::Format(_("Delete (ignored): %s"), item.target);
    case FP_MOVE:
        if (SizeWithinLimit(project, item.source)) {
            Attribute("  result=\"ok\"");
            return wxString::Format(_("Move: %s => %s"), item.source, item.target);
        }
        Attribute(" result=\"wrong_size\"");
        return wxString::Format(_("Move (ignored): %s => %s"), item.source, item.target);
    case FP_COPY:
        if (SizeWithinLimit(project, item.source)) {
            Attribute(" result=\"ok\"");
            return wxString::Format(_("Copy: %s => %s"), item.source, item.target);
        }
        Attribute(" result=\"wrong_size\"");
        return wxString::Format(_("Copy (ignored): %s => %s"), item.source, item.target);
    case FP_MKDIR:
        Attribute("  result=\"ok\"");
        return wxString::Format(_("Makedir: %s"), item.target);
    default:
        return wxString();
    }
}

void swxCopy::PerformItem(const ProjectJob& project, SyncItem& item)
{
    switch (item.action) {
    case FP_COPY:
        CopyOneFile(project, item);
        break;
    case FP_MOVE:
        if (CopyOneFile(project, item)) {
            // Claimed only when true: a source that stays would be moved again next time.
            if (RemoveFile(item.source))
                Attribute("  remove=\"source\"");
        }
        break;
    case FP_DELETE:
        if (!SizeWithinLimit(project, item.target)) {
            Attribute(" result=\"ignored\"");
            break;
        }
        ResolveCompressedName(item.target);
        RemoveFile(item.target);
        break;
    case FP_MKDIR:
        Attribute(MakeDirectories(item.target) ? " result=\"ok\"" : " result=\"error\"");
        break;
    default:
        break;
    }
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

bool swxCopy::CopyOneFile(const ProjectJob& project, SyncItem& item)
{
    if (!SizeWithinLimit(project, item.source)) {
        Attribute(" result=\"wrong_size\"");
        return false;
    }
    // After one form of a name (x or x.bz2) is written the other goes: both forms side by side
    // would be twins that stop every later analysis of the folder.
    const wxString plainTarget = item.target;
    if (item.targetOnMedium) {
        if (!FileExists(item.source))
            item.source += kCompressedSuffix;  // a station file that is itself compressed
        if (ShouldCompress(project, item.source)) {
            item.target += kCompressedSuffix;
            if (!CompressFileBz2(item.source, item.target)) {
                Attribute(" result=\"bz_error\"");
                return false;
            }
            SetFileModTime(item.target, item.sourceTime);
            Attribute(" result=\"bz\"");
            RemoveRegularFile(plainTarget);
            return true;
        }
        if (!CopyFileAtomic(item.source, item.target, item.sourceTime)) {
            Attribute(" result=\"cp_error\"");
            return false;
        }
        Attribute(" result=\"cp\"");
        RemoveRegularFile(plainTarget + kCompressedSuffix);
        return true;
    }
    if (ResolveCompressedName(item.source)) {
        if (!DecompressFileBz2(item.source, item.target)) {
            Attribute(" result=\"unbz_error\"");
            return false;
        }
        SetFileModTime(item.target, item.sourceTime);
        Attribute("  result=\"unbz\"");
    } else {
        if (!CopyFileAtomic(item.source, item.target, item.sourceTime)) {
            Attribute(" result=\"cp_error\"");
            return false;
        }
        Attribute("  result=\"cp\"");
    }
    RemoveRegularFile(plainTarget + kCompressedSuffix);
    return true;
}

bool swxCopy::CleanEmptyFolders(const ProjectJob& project, const FolderJob& folder)
{
    // A log-only run changes nothing on disk but a missing medium folder.
    if (!soRemoveEmptyFolders || logOnly)
        return true;
    event.Event().SetInt(TE_MESSAGE);
    switch (project.mode) {
    case SD_COPY:
    case SD_COPY_DEL:
        return RemoveEmptyDirs(folder.mediumPath);
    case DS_COPY:
    case DS_COPY_DEL:
        return RemoveEmptyDirs(folder.stationPath);
    default: {
        const bool medium = RemoveEmptyDirs(folder.mediumPath);
        const bool station = RemoveEmptyDirs(folder.stationPath);
        return medium && station;
    }
    }
}

bool swxCopy::RemoveEmptyDirs(const wxString& path)
{
    const std::optional<DirEntries> entries = ListDirectory(path);
    if (!entries)
        return false;
    bool allRemoved = true;
    for (const wxString& name : entries->subdirectories)
        if (!RemoveEmptyDirs(AppendPathSeparator(path) + name))
            allRemoved = false;
    if (!allRemoved || entries->hasOthers)
        return false;

    const bool removed = ::rmdir(NativePath(path).c_str()) == 0;
    if (logging)
        log.RemovedDir(path, removed);
    event.PostMessageText(wxString::Format(removed ? _("Removed empty dir: %s")
                                              : _("Failed to remove empty dir: %s"),
                                      path));
    return removed;
}
