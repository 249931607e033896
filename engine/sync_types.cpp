#include "engine/sync_types.h"

#include <wx/intl.h>

namespace {

struct ModeDescription {
    SyncMode mode;
    const char* name;
    const char* text;
};

const ModeDescription kModeDescriptions[] = {
    {SD_COPY, "SD_COPY", wxTRANSLATE("Copy files from this computer to \"%s\"")},
    {SD_COPY_DEL, "SD_COPY_DEL",
     wxTRANSLATE("Copy files from this computer to \"%s\", syncing deletion on \"%s\"")},
    {SD_COPY_M, "SD_COPY_M", wxTRANSLATE("Move files from this computer to \"%s\"")},
    {SD_COPY_MDEL, "SD_COPY_MDEL",
     wxTRANSLATE("Move files from this computer to \"%s\", syncing deletion on \"%s\"")},
    {DS_COPY, "DS_COPY", wxTRANSLATE("Copy files from \"%s\" to this computer")},
    {SD_COPY_DS, "SD_COPY_DS", wxTRANSLATE("Copy files between this computer and \"%s\".")},
    {SD_COPY_DEL_DS, "SD_COPY_DEL_DS",
     wxTRANSLATE("Copy files between this computer and \"%s\", sync deletion on \"%s\".")},
    {DS_COPY_DEL, "DS_COPY_DEL",
     wxTRANSLATE("Copy files from \"%s\" to this computer, syncing deletion on computer.")},
    {DS_COPY_DEL_SD, "DS_COPY_DEL_SD",
     wxTRANSLATE("Copy files between this computer and \"%s\", sync deletion on computer.")},
    {DS_COPY_M, "DS_COPY_M", wxTRANSLATE("Move files from \"%s\" to this computer.")},
    {DS_COPY_MDEL, "DS_COPY_MDEL",
     wxTRANSLATE("Move files from \"%s\" to this computer, syncing deletion on computer.")},
};

const ModeDescription* FindMode(SyncMode mode)
{
    for (const ModeDescription& d : kModeDescriptions)
        if (d.mode == mode)
            return &d;
    return nullptr;
}

} // namespace

wxString ActionName(const SyncItem& item)
{
    switch (item.action) {
    case FP_DELETE: return "FP_DELETE";
    case FP_MOVE: return "FP_MOVE";
    case FP_COPY: return "FP_COPY";
    case FP_MKDIR: return "FP_MKDIR";
    default: return "FP_UNKNOWN";
    }
}

wxString ActionText(const SyncItem& item)
{
    switch (item.action) {
    case FP_DELETE: return _("Delete");
    case FP_MOVE: return _("Move");
    case FP_COPY: return _("Copy");
    case FP_MKDIR: return _("Make directory");
    default: return "???";
    }
}

wxString SyncModeName(SyncMode mode)
{
    const ModeDescription* d = FindMode(mode);
    return d ? wxString(d->name) : wxString("Unknown action!");
}

wxString SyncModeText(SyncMode mode, const wxString& mediumName)
{
    const ModeDescription* d = FindMode(mode);
    if (!d)
        return _("Unknown action!");
    wxString text = wxGetTranslation(d->text);
    text.Replace("%s", mediumName);
    return text;
}

bool IsValidSyncMode(std::uint8_t mode)
{
    if ((mode & 63) == 0)
        return false;
    if ((mode & 7) && (!(mode & 1) || (mode & 32)))
        return false;
    if ((mode & 56) && (!(mode & 8) || (mode & 4)))
        return false;
    if ((mode & 2) && (mode & 16))
        return false;
    return true;
}
