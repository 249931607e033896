#include "run/job_builder.h"

#include <cstdint>
#include <set>

#include <wx/intl.h>
#include <wx/wxsqlite3.h>

#include "store/catalog.h"
#include "store/database.h"
#include "store/medium_paths.h"
#include "store/statements.h"

namespace {

// Megabytes in the catalogue, bytes in the job.
std::int64_t MegabytesToBytes(int megabytes)
{
    return static_cast<std::int64_t>(megabytes) << 20;
}

// The stored location of a virtual folder on the medium: the project's location, a
// separator unless it is empty or ends with one, then the folder's name.
wxString FolderLocation(const wxString& projectLocation, const wxString& folderName)
{
    if (projectLocation.empty() || projectLocation.EndsWith("\\") || projectLocation.EndsWith("/"))
        return projectLocation + folderName;
    return projectLocation + "\\" + folderName;
}

void AddRules(FolderJob& folder, unsigned folderId)
{
    wxSQLite3ResultSet rows = ExecQuery(wxString::Format(kSqlSelectRulesForRun, folderId));
    while (rows.NextRow()) {
        auto rule = std::make_unique<FolderRule>();
        rule->mask = rows.GetAsString(0);
        rule->allow = rows.GetInt(1) != 0;
        folder.rules.push_back(std::move(rule));
    }
}

void AddFolders(ProjectJob& job, unsigned projectId, const wxString& projectLocation,
                const RunMedium& medium, wxArrayString& notes)
{
    wxSQLite3ResultSet rows =
        ExecQuery(wxString::Format(kSqlSelectFolderJobs, projectId, stationId));
    while (rows.NextRow()) {
        const wxString name = rows.GetAsString(0);
        const auto mediumPath =
            MediumPathFromLocation(medium.root, FolderLocation(projectLocation, name));
        if (!mediumPath) {
            notes.push_back(wxString::Format(
                _("Folder %s of project %s skipped: its location on the medium leads outside the medium."),
                name, job.caption));
            continue;
        }
        auto folder = std::make_unique<FolderJob>();
        folder->stationPath = rows.GetAsString(1);
        folder->mediumPath = *mediumPath;
        folder->mediumDriveRoot = medium.root;
        folder->mediumGuid = medium.guid;
        AddRules(*folder, static_cast<unsigned>(rows.GetInt(2)));
        job.folders.push_back(std::move(folder));
    }
}

} // namespace

std::vector<std::unique_ptr<ProjectJob>> BuildProjectJobs(const std::vector<RunProject>& projects,
                                                          const RunMedium& medium, SyncMode mode,
                                                          wxArrayString& notes)
{
    std::vector<std::unique_ptr<ProjectJob>> jobs;
    std::set<unsigned> taken;
    for (const RunProject& project : projects) {
        if (!taken.insert(project.id).second)
            continue;
        wxSQLite3ResultSet row =
            ExecQuery(wxString::Format(kSqlSelectProjectJob, project.id, medium.id));
        if (!row.NextRow())
            continue;
        auto job = std::make_unique<ProjectJob>();
        job->caption = project.caption;
        job->mode = mode;
        job->ignoreSizeOver = MegabytesToBytes(row.GetInt(1));
        job->compressBelow = MegabytesToBytes(row.GetInt(2));
        AddFolders(*job, project.id, row.GetAsString(0), medium, notes);
        jobs.push_back(std::move(job));
    }
    return jobs;
}
