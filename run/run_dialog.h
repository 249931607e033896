#pragma once

#include <functional>
#include <memory>

#include <wx/dialog.h>

#include "engine/sync_types.h"
#include "run/job_builder.h"
#include "store/media.h"

class swxAnalyze;
class swxCopy;
class wxButton;
class wxCheckBox;
class wxCheckListBox;
class wxChoice;
class wxCloseEvent;
class wxGauge;
class wxTextCtrl;

// The window from which the user runs a synchronisation: the connected media that are in the
// catalogue, the projects located on the chosen medium, the eleven modes and three options,
// and the progress log of the run. "Synchronize" asks for confirmation, builds the job tree,
// runs the analysis thread, in two-step runs the review, then the copy thread, and after the
// copy compresses the XML run log and exports the catalogue to the run's medium.
//
// Modeless, one at a time, GUI thread only; the catalogue stays open while it lives. The
// dialog never goes while one of its threads runs: closing it (close box, or its owner
// closing it) stops the thread and waits for its end first.
class DialogRun : public wxDialog {
public:
    static inline const wxWindowID ID_SPLITTERWINDOW_RUN = wxNewId();
    static inline const wxWindowID ID_PANEL_LEFT = wxNewId();
    static inline const wxWindowID ID_STATICTEXT1 = wxNewId();
    static inline const wxWindowID ID_CHOICE_MEDIA = wxNewId();
    static inline const wxWindowID ID_STATICTEXT2 = wxNewId();
    static inline const wxWindowID ID_CHECKLISTBOX_PROJECTS = wxNewId();
    static inline const wxWindowID ID_STATICTEXT3 = wxNewId();
    static inline const wxWindowID ID_CHOICE_ACTION = wxNewId();
    static inline const wxWindowID ID_CHECKBOX_TESTING = wxNewId();
    static inline const wxWindowID ID_CHECKBOX_LOG_TO_XML = wxNewId();
    static inline const wxWindowID ID_CHECKBOX_TWO_STEPS = wxNewId();
    static inline const wxWindowID ID_PANEL_RIGHT = wxNewId();
    static inline const wxWindowID ID_PANEL_PROGRESS = wxNewId();
    static inline const wxWindowID ID_GAUGE_PROGRESS = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_LOG = wxNewId();
    static inline const wxWindowID ID_BUTTON_OK = wxNewId();
    static inline const wxWindowID ID_BUTTON_CANCEL = wxNewId();

    // What the dialog asks of the window that opened it: store that window's pending edits
    // before a run (may throw wxSQLite3Exception), and learn that the dialog has gone.
    struct Owner {
        std::function<void()> savePendingEdits;
        std::function<void()> closed;
    };

    DialogRun(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize);
    ~DialogRun() override;

    void SetOwner(Owner owner) { owner_ = std::move(owner); }

    // Refills the medium choice from the list of connected media, then the projects.
    void FillMedia();
    // Refills the project list for the selected medium.
    void FillProjects();

    // True while an analysis or a copy runs.
    bool IsRunning() const { return analysis_ != nullptr || copy_ != nullptr; }

private:
    void CreateControls();
    wxWindow* CreateLeftPanel(wxWindow* parent);
    wxWindow* CreateRightPanel(wxWindow* parent);
    void FillActions();

    void OnCheckBoxTwoStepsClick(wxCommandEvent& event);
    void OnRun(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnThreadEvent(wxCommandEvent& event);

    // The run's steps.
    void StartAnalysis(const std::vector<RunProject>& projects, SyncMode mode);
    void OnAnalysisDone(int result);
    void ReviewPlannedItems();
    void StartCopy(bool logOnly);
    void OnCopyDone(int result);
    void CompressLog();
    void ExportCatalog();
    void FinishRun();
    void FreeJobs();
    // Stops a running thread and waits for its end; the copy's follow-ups still run.
    void StopAndWait();
    void StartFailed();

    void AppendLog(const wxString& text);
    void SetRunning(bool running);

    wxChoice* mediumChoice_ = nullptr;
    wxCheckListBox* projectList_ = nullptr;
    wxChoice* actionChoice_ = nullptr;
    wxCheckBox* logOnlyBox_ = nullptr;
    wxCheckBox* logToXmlBox_ = nullptr;
    wxCheckBox* twoStepsBox_ = nullptr;
    wxGauge* gauge_ = nullptr;
    wxTextCtrl* log_ = nullptr;
    wxButton* runButton_ = nullptr;
    wxButton* cancelButton_ = nullptr;

    Owner owner_;
    // The drive behind each entry of the medium choice.
    ConnectedMediaList media_;
    // The running threads (joinable; waited for before they are deleted).
    std::unique_ptr<swxAnalyze> analysis_;
    std::unique_ptr<swxCopy> copy_;
    // The job tree of the current run; the threads read and fill it while they run.
    JobTree jobs_;
    wxString logFilePath_;
    bool showItemTexts_ = false;
    // The settings of the current run, taken when the user confirmed it.
    bool twoSteps_ = false;
    bool logOnly_ = false;
    bool logToXml_ = false;
    RunMedium runMedium_;
    bool closing_ = false;
};
