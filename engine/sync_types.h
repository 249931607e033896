#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <wx/event.h>
#include <wx/string.h>

#include "engine/relative_path.h"
#include "engine/root_check.h"
#include "store/file_time.h"

// The vocabulary of a synchronisation run: action codes, modes, the job tree and the
// progress channel shared by the analysis and copy threads.

// Action codes of a planned item.
enum : int {
    FP_DELETE = 1,
    FP_MOVE = 2,
    FP_COPY = 3,
    FP_MKDIR = 4,
};

// Synchronisation mode: a bit set.
using SyncMode = int;
enum : int {
    SYNC_BIT_COPY_TO_MEDIUM = 1,
    SYNC_BIT_DELETE_ON_MEDIUM = 2,
    SYNC_BIT_MOVE_TO_MEDIUM = 4,
    SYNC_BIT_COPY_TO_STATION = 8,
    SYNC_BIT_DELETE_ON_STATION = 16,
    SYNC_BIT_MOVE_TO_STATION = 32,
};
enum : int {
    SD_COPY = 1,
    SD_COPY_DEL = 3,
    SD_COPY_M = 5,
    SD_COPY_MDEL = 7,
    DS_COPY = 8,
    SD_COPY_DS = 9,
    SD_COPY_DEL_DS = 11,
    DS_COPY_DEL = 24,
    DS_COPY_DEL_SD = 25,
    DS_COPY_M = 40,
    DS_COPY_MDEL = 56,
};
// The eleven named modes in their order of display.
inline constexpr int kSyncModes[] = {SD_COPY,    SD_COPY_DEL,    SD_COPY_M,   SD_COPY_MDEL,
                                     DS_COPY,    SD_COPY_DS,     SD_COPY_DEL_DS, DS_COPY_DEL,
                                     DS_COPY_DEL_SD, DS_COPY_M,  DS_COPY_MDEL};

// Run result codes (the long value of the end events).
enum RunResult : int {
    RUN_FINISHED = 0,
    RUN_FINISHED_WITH_ERRORS = 1,
    RUN_CANCELLED = 2,
};

// One planned action.
struct SyncItem {
    wxString source;       // full path of the file to copy or move; empty for delete/mkdir
    wxString target;       // full path to write, delete or create (never with ".bz2" on the medium
                           // until the copy thread appends it)
    int action = 0;        // FP_*
    FileTime sourceTime = 0;  // set for copy and move only
    bool targetOnMedium = false;
    bool selected = true;  // cleared only by the review
    // The ".bz2" that the analysis cut off the name of the file on each side, in its case:
    // the copy acts on the file of that name. None (also in an item made otherwise): the
    // plain file, or the ".bz2" form when only that exists.
    CompressedSuffix stationSuffix = 0;
    CompressedSuffix mediumSuffix = 0;
};

// One rule of a virtual folder: a mask ending with "\" is a directory rule.
struct FolderRule {
    wxString mask;
    bool allow = false;
};

// One virtual folder of a run.
struct FolderJob {
    wxString stationPath;
    wxString mediumPath;
    // The medium's drive root (mount point with "/") that mediumPath lies under; set by whoever
    // builds the job. Empty: no mount check, and a missing medium root is created without bound.
    wxString mediumDriveRoot;
    // The GUID of the run's medium: the drive root's marker must still hold it.
    wxString mediumGuid;
    // Recorded by the analysis (RecordRootIdentities), checked by the copy.
    RootIdentity stationRootId;
    RootIdentity mediumRootId;
    DriveIdentity driveId;
    // Why the analysis refused the folder (nothing planned, nothing done); empty when it did not.
    wxString refusal;
    std::vector<std::unique_ptr<SyncItem>> items;   // filled by the analysis
    std::vector<std::unique_ptr<FolderRule>> rules;  // in rule-line order
};

// One project of a run.
struct ProjectJob {
    wxString caption;
    SyncMode mode = 0;
    std::int64_t ignoreSizeOver = 0;  // bytes; 0 = no limit
    std::int64_t compressBelow = 0;   // bytes; 0 = never compress
    std::vector<std::unique_ptr<FolderJob>> folders;
};

// The job tree of a run; owned by the run dialog.
using JobTree = std::vector<std::unique_ptr<ProjectJob>>;

// Progress channel of the analysis and copy threads: a menu-selected command event.
inline constexpr int ID_THREAD_EVENT = 1015;
enum ThreadEventCode : int {
    TE_MESSAGE = 0,
    TE_START = 1,
    TE_LOG_ONLY_STEP = 2,
    TE_STEP = 3,
    TE_ANALYSIS_END = 4,
    TE_COPY_END = 5,
};

wxString ActionName(const SyncItem& item);
// Translated; "???" for an unknown code.
wxString ActionText(const SyncItem& item);
// "Unknown action!" for any other value.
wxString SyncModeName(SyncMode mode);
// Translated, with mediumName for every "%s".
wxString SyncModeText(SyncMode mode, const wxString& mediumName);
bool IsValidSyncMode(std::uint8_t mode);
