#include "exchange/dralvo_import.h"

#include <exception>

#include <wx/filefn.h>
#include <wx/wxsqlite3.h>

#include "exchange/catalog_merge.h"
#include "exchange/export.h"

namespace {

constexpr int kStepsPerFile = 8;
// How long a statement waits for the windows' connection to finish its own.
constexpr int kBusyTimeoutMs = 10000;

} // namespace

wxArrayString CollectImportFiles(const ConnectedMediaList& media)
{
    wxArrayString files;
    for (const ConnectedMediumPtr& medium : media) {
        for (const char* name : {kExportFileBz2, kExportFilePlain}) {
            if (wxFileExists(medium->root + name)) {
                files.Add(medium->root + name);
                break;
            }
        }
    }
    return files;
}

swxDralvoImport::swxDralvoImport(wxEvtHandler* owner, const wxArrayString& files,
                                 const wxString& databaseFile, const ImportLimits& limits)
    : wxThread(wxTHREAD_JOINABLE), events_(owner, ID_IMPORT_STARTED), files_(files),
      databaseFile_(databaseFile), limits_(limits)
{
}

swxDralvoImport::~swxDralvoImport() = default;

void swxDralvoImport::PostSteps(int steps)
{
    events_.SetId(ID_IMPORT_PROGRESS);
    events_.PostCode(steps);
}

wxThread::ExitCode swxDralvoImport::Entry()
{
    events_.SetId(ID_IMPORT_STARTED);
    events_.PostCode(kStepsPerFile * static_cast<int>(files_.size()));
    try {
        ImportAll();
    } catch (...) {
        // Whatever went wrong, the owner needs the finished event to become usable again.
    }
    events_.SetId(ID_IMPORT_FINISHED);
    events_.PostCode(events_.Event().GetInt(), failed_.load());
    return nullptr;
}

void swxDralvoImport::ImportAll()
{
    wxSQLite3Database db;
    size_t next = 0;
    wxString notReached;
    try {
        // No create flag: a catalogue that is gone is not made anew here.
        db.Open(databaseFile_, wxString(), WXSQLITE_OPEN_READWRITE);
        db.SetBusyTimeout(kBusyTimeoutMs);
        CatalogImport import(db, limits_, [this](int steps) { PostSteps(steps); },
                             [this] { return StopRequested(); });
        for (; next < files_.size() && !StopRequested(); ++next) {
            const ImportOutcome outcome = import.ImportFile(files_[next]);
            if (outcome == ImportOutcome::Rejected || outcome == ImportOutcome::Failed) {
                ++failed_;
                report_.Add(files_[next] + ": " + import.Reason());
            }
        }
        FixRuleLineDuplicates(db);
    } catch (const wxSQLite3Exception& e) {
        // The catalogue could not be opened, or the renumbering failed (rolled back): the
        // files not reached count as not merged.
        notReached = e.GetMessage();
    }
    if (!StopRequested()) {
        for (; next < files_.size(); ++next) {
            ++failed_;
            report_.Add(files_[next] + ": " + notReached);
            PostSteps(kStepsPerFile);
        }
    }
}
