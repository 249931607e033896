#include "engine/analyze.h"

#include <exception>

#include <wx/intl.h>

#include "engine/dir_compare.h"
#include "engine/root_check.h"

swxAnalyze::swxAnalyze(wxEvtHandler* owner, JobTree* jobs)
    : wxThread(wxTHREAD_JOINABLE), jobs_(jobs), events_(owner, ID_THREAD_EVENT), owner_(owner)
{
}

swxAnalyze::~swxAnalyze() = default;

void swxAnalyze::AddProject(std::unique_ptr<ProjectJob> project)
{
    jobs_->push_back(std::move(project));
}

wxThreadError swxAnalyze::Cancel()
{
    {
        wxCriticalSectionLocker locker(lock_);
        if (comparer_)
            comparer_->Cancel();
        cancelled_.store(true);
    }
    runResult_.store(RUN_CANCELLED);
    return wxTHREAD_NO_ERROR;
}

bool swxAnalyze::StopRequested()
{
    if (!cancelled_.load() && !TestDestroy())
        return false;
    runResult_.store(RUN_CANCELLED);
    return true;
}

void swxAnalyze::DeleteComparer()
{
    wxCriticalSectionLocker locker(lock_);
    comparer_.reset();
}

wxThread::ExitCode swxAnalyze::Entry()
{
    // The result starts at 0 when the thread is made, so a Cancel that came before this point
    // is not lost.
    try {
        if (jobs_) {
            for (const auto& project : *jobs_) {
                if (StopRequested())
                    break;
                if (project)
                    AnalyseProject(*project);
            }
        }
    } catch (const std::exception& e) {
        DeleteComparer();
        events_.PostMessageText(
            wxString::Format(_("The analysis failed: %s"), wxString::FromUTF8(e.what())));
        if (runResult_.load() == RUN_FINISHED)
            runResult_.store(RUN_FINISHED_WITH_ERRORS);
    }
    events_.PostCode(TE_ANALYSIS_END, runResult_.load());
    return nullptr;
}

void swxAnalyze::AnalyseProject(ProjectJob& project)
{
    events_.PostMessageText(wxString::Format(
        _("\n******************************************\n Project %s:\n******************************************"),
        project.caption));
    for (const auto& folder : project.folders) {
        if (StopRequested())
            return;
        if (folder && !AnalyseFolder(project, *folder))
            return;
    }
}

bool swxAnalyze::AnalyseFolder(ProjectJob& project, FolderJob& folder)
{
    events_.PostMessageText(wxString::Format(
        _("\n******************************************\n Project %s, folder %s (%s on medium)"),
        project.caption, folder.stationPath, folder.mediumPath));
    // The deletion and move modes would lose the only copy of a file that both sides show.
    if (FoldersOverlap(folder.stationPath, folder.mediumPath)) {
        folder.refusal = _("The station folder and the medium folder are the same directory "
                           "or one lies inside the other.");
        events_.PostMessageText(
            wxString::Format(_("Nothing planned for the folder %s (%s on medium): %s"),
                             folder.stationPath, folder.mediumPath, folder.refusal));
        return true;
    }
    swxDirCompare* comparer;
    {
        wxCriticalSectionLocker locker(lock_);
        comparer_ = std::make_unique<swxDirCompare>(owner_, folder.stationPath, folder.mediumPath,
                                                    project.mode);
        comparer = comparer_.get();
        // A Cancel between the check above and now found no comparer to stop.
        if (cancelled_.load())
            comparer->Cancel();
    }
    comparer->SetOutput(&folder.items);
    comparer->SetRules(&folder.rules);
    // The copy checks that the roots are still the ones seen here.
    RecordRootIdentities(folder);
    const bool planned = comparer->Compare();
    if (planned && !comparer->Twins().empty()) {
        ReportTwins(folder, *comparer);
        // Nothing of a project with twins may be carried out.
        for (const auto& each : project.folders)
            if (each)
                each->items.clear();
        DeleteComparer();
        return false;
    }
    DeleteComparer();
    return true;
}

void swxAnalyze::ReportTwins(const FolderJob& folder, const swxDirCompare& comparer)
{
    events_.PostMessageText(wxString::Format(
        _("Twins found on comparing %s <> %s. Project aborted!"), folder.stationPath, folder.mediumPath));
    for (const wxString& twin : comparer.Twins())
        events_.PostMessageText(twin);
}
