#pragma once

#include <memory>
#include <vector>

#include <wx/arrstr.h>
#include <wx/string.h>

#include "engine/sync_types.h"

// The run's medium, taken once when the user confirms a run: a run uses only this copy,
// whatever the dialog's controls or the list of connected media show later.
struct RunMedium {
    wxString root;      // mount point with a trailing "/"
    unsigned id = 0;    // MEDIA.ID
    wxString name;      // display name
    wxString guid;      // the marker's GUID: the copy checks that the drive still holds it
};

// A project checked for a run: its catalogue ID and its caption as listed.
struct RunProject {
    unsigned id = 0;
    wxString caption;
};

// The project jobs of a run from the catalogue, in the order of `projects`: one per project
// that has a live location on the medium (a project listed twice gets one job), with the
// chosen mode and its limits in bytes; one folder job per live virtual folder that has a live
// location on this station, with its rules in rule-line order. Medium paths are native paths
// below the medium's root; a folder whose stored location would lead outside the root gets no
// job and a sentence in `notes`. Throws wxSQLite3Exception. GUI thread.
std::vector<std::unique_ptr<ProjectJob>> BuildProjectJobs(const std::vector<RunProject>& projects,
                                                          const RunMedium& medium, SyncMode mode,
                                                          wxArrayString& notes);
