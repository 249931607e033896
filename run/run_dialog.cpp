#include "run/run_dialog.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/choice.h>
#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/gauge.h>
#include <wx/intl.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/wxsqlite3.h>

#include "engine/analyze.h"
#include "engine/copy.h"
#include "engine/root_check.h"
#include "exchange/export.h"
#include "run/review_items.h"
#include "run/select_sync_items_dialog.h"
#include "store/bzip2.h"
#include "store/catalog.h"
#include "store/database.h"
#include "store/options.h"
#include "store/run_logs.h"
#include "store/statements.h"
#include "ui/db_error.h"
#include "ui/window_utils.h"

namespace {

struct ActionEntry {
    const char* label;
    SyncMode mode;
};

// The modes in the order the action choice offers them.
const ActionEntry kActions[] = {
    {wxTRANSLATE("Copy PC > medium"), SD_COPY},
    {wxTRANSLATE("Copy PC > medium, delete on medium"), SD_COPY_DEL},
    {wxTRANSLATE("Move PC > medium"), SD_COPY_M},
    {wxTRANSLATE("Move PC > medium, delete on medium"), SD_COPY_MDEL},
    {wxTRANSLATE("Copy medium > PC"), DS_COPY},
    {wxTRANSLATE("Copy medium > PC, delete on PC"), DS_COPY_DEL},
    {wxTRANSLATE("Move medium > PC"), DS_COPY_M},
    {wxTRANSLATE("Move medium > PC, delete on PC"), DS_COPY_MDEL},
    {wxTRANSLATE("Copy PC <> medium, delete on medium"), SD_COPY_DEL_DS},
    {wxTRANSLATE("Copy PC <> medium, delete on PC"), DS_COPY_DEL_SD},
    {wxTRANSLATE("Copy PC <> medium"), SD_COPY_DS},
};

const wxSize kClientSize(449, 293);
const wxSize kDialogSize(600, 400);
constexpr int kSashPosition = 200;
constexpr int kBorder = 2;

unsigned DataOf(const wxItemContainer* control, unsigned n)
{
    return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(control->GetClientData(n)));
}

wxStaticText* Label(wxWindow* parent, wxWindowID id, const wxString& text, const char* name)
{
    return new wxStaticText(parent, id, text, wxDefaultPosition, wxDefaultSize, 0, name);
}

wxCheckBox* OptionBox(wxWindow* parent, wxWindowID id, const wxString& text,
                      const wxString& toolTip, const char* name)
{
    auto* box = new wxCheckBox(parent, id, text, wxDefaultPosition, wxDefaultSize, 0,
                               wxDefaultValidator, name);
    box->SetToolTip(toolTip);
    return box;
}

// Starts the left pane wide enough for the longest action text of the language, never below
// the usual width; the dialog grows by as much, so the log keeps its width.
void FitLeftPane(wxWindow* dialog, wxChoice* actions)
{
    const int width = std::max(kSashPosition, actions->GetBestSize().x + 2 * kBorder);
    dialog->SetSize(kDialogSize + wxSize(width - kSashPosition, 0));
    wxStaticCast(dialog->FindWindow(DialogRun::ID_SPLITTERWINDOW_RUN), wxSplitterWindow)
        ->SetSashPosition(width);
}

int GaugeValue(long value)
{
    return static_cast<int>(std::clamp<long>(value, 0, INT_MAX));
}

} // namespace

DialogRun::DialogRun(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
{
    Create(parent, id, _("Run Synchronization"), pos, size,
           wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER, "id");
    SetClientSize(kClientSize);
    CreateControls();
    logOnlyBox_->SetValue(false);
    logOnlyBox_->Disable();
    logToXmlBox_->SetValue(true);
    twoStepsBox_->SetValue(true);

    twoStepsBox_->Bind(wxEVT_CHECKBOX, &DialogRun::OnCheckBoxTwoStepsClick, this);
    runButton_->Bind(wxEVT_BUTTON, &DialogRun::OnRun, this);
    cancelButton_->Bind(wxEVT_BUTTON, &DialogRun::OnButtonCancelClick, this);
    mediumChoice_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { FillProjects(); });
    Bind(wxEVT_CLOSE_WINDOW, &DialogRun::OnClose, this);
    Bind(wxEVT_MENU, &DialogRun::OnThreadEvent, this, ID_THREAD_EVENT);

    SetSize(kDialogSize);
    gauge_->Hide();
    FillActions();
    FitLeftPane(this, actionChoice_);
    FillMedia();
}

DialogRun::~DialogRun()
{
    // Normally the close handler has done this; a dialog deleted with its parent has not.
    if (analysis_) {
        analysis_->Cancel();
        analysis_->Wait();
    }
    if (copy_) {
        copy_->Stop();
        copy_->Wait();
    }
    if (owner_.closed)
        owner_.closed();
}

void DialogRun::CreateControls()
{
    auto* splitter = new wxSplitterWindow(this, ID_SPLITTERWINDOW_RUN, wxDefaultPosition,
                                          wxDefaultSize, wxSP_3D, "ID_SPLITTERWINDOW_RUN");
    splitter->SetMinimumPaneSize(kSashPosition);
    splitter->SplitVertically(CreateLeftPanel(splitter), CreateRightPanel(splitter),
                              kSashPosition);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(splitter, 1, wxEXPAND);
    SetSizer(sizer);
}

wxWindow* DialogRun::CreateLeftPanel(wxWindow* parent)
{
    auto* panel = new wxPanel(parent, ID_PANEL_LEFT, wxDefaultPosition, wxDefaultSize,
                              wxTAB_TRAVERSAL, "ID_PANEL_LEFT");
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(Label(panel, ID_STATICTEXT1, _("Select medium:"), "ID_STATICTEXT1"), 0, wxALL, 2);
    mediumChoice_ = new wxChoice(panel, ID_CHOICE_MEDIA, wxDefaultPosition, wxDefaultSize, 0,
                                 nullptr, 0, wxDefaultValidator, "ID_CHOICE_MEDIA");
    column->Add(mediumChoice_, 0, wxALL | wxEXPAND, 2);
    column->Add(Label(panel, ID_STATICTEXT2, _("Select projects:"), "ID_STATICTEXT2"), 0, wxALL,
                2);
    projectList_ = new wxCheckListBox(panel, ID_CHECKLISTBOX_PROJECTS, wxDefaultPosition,
                                      wxDefaultSize, 0, nullptr, 0, wxDefaultValidator,
                                      "ID_CHECKLISTBOX_PROJECTS");
    column->Add(projectList_, 1, wxALL | wxEXPAND, 2);
    column->Add(Label(panel, ID_STATICTEXT3, _("Select action:"), "ID_STATICTEXT3"), 0, wxALL, 2);
    actionChoice_ = new wxChoice(panel, ID_CHOICE_ACTION, wxDefaultPosition, wxDefaultSize, 0,
                                 nullptr, 0, wxDefaultValidator, "ID_CHOICE_ACTION");
    column->Add(actionChoice_, 0, wxALL | wxEXPAND, kBorder);
    logOnlyBox_ = OptionBox(panel, ID_CHECKBOX_TESTING, _("Log only"),
                            _("Do not copy/move files, just log analysis results"),
                            "ID_CHECKBOX_TESTING");
    logToXmlBox_ = OptionBox(panel, ID_CHECKBOX_LOG_TO_XML, _("Log to XML"),
                             _("Save synchronization log to an XML file"),
                             "ID_CHECKBOX_LOG_TO_XML");
    twoStepsBox_ = OptionBox(panel, ID_CHECKBOX_TWO_STEPS, _("In two steps"),
                             _("Opportunity to approve/cancel actions"), "ID_CHECKBOX_TWO_STEPS");
    for (wxCheckBox* box : {logOnlyBox_, logToXmlBox_, twoStepsBox_})
        column->Add(box, 0, wxALL, 2);
    panel->SetSizer(column);
    return panel;
}

wxWindow* DialogRun::CreateRightPanel(wxWindow* parent)
{
    auto* panel = new wxPanel(parent, ID_PANEL_RIGHT, wxDefaultPosition, wxDefaultSize,
                              wxTAB_TRAVERSAL, "ID_PANEL_RIGHT");
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* progress = new wxPanel(panel, ID_PANEL_PROGRESS, wxDefaultPosition, wxDefaultSize,
                                 wxTAB_TRAVERSAL, "ID_PANEL_PROGRESS");
    gauge_ = new wxGauge(progress, ID_GAUGE_PROGRESS, 100, wxDefaultPosition, wxDefaultSize,
                         wxGA_HORIZONTAL, wxDefaultValidator, "ID_GAUGE_PROGRESS");
    auto* progressSizer = new wxBoxSizer(wxVERTICAL);
    progressSizer->Add(gauge_, 0, wxEXPAND);
    progress->SetSizer(progressSizer);
    column->Add(progress, 0, wxALL | wxEXPAND, 2);
    log_ = new wxTextCtrl(panel, ID_TEXTCTRL_LOG, wxString(), wxDefaultPosition, wxDefaultSize,
                          wxTE_MULTILINE | wxTE_DONTWRAP | wxHSCROLL, wxDefaultValidator,
                          "ID_TEXTCTRL_LOG");
    column->Add(log_, 1, wxALL | wxEXPAND, 2);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    runButton_ = new wxButton(panel, ID_BUTTON_OK, _("Synchronize"), wxDefaultPosition,
                              wxDefaultSize, 0, wxDefaultValidator, "ID_BUTTON_OK");
    cancelButton_ = new wxButton(panel, ID_BUTTON_CANCEL, _("Close"), wxDefaultPosition,
                                 wxDefaultSize, 0, wxDefaultValidator, "ID_BUTTON_CANCEL");
    buttons->Add(runButton_, 0, wxALL, 2);
    buttons->Add(cancelButton_, 0, wxALL, 2);
    column->Add(buttons, 0, wxALL | wxALIGN_RIGHT, 2);
    panel->SetSizer(column);
    return panel;
}

void DialogRun::FillActions()
{
    actionChoice_->Clear();
    for (const ActionEntry& entry : kActions)
        actionChoice_->Append(wxGetTranslation(entry.label), IdData(entry.mode));
    actionChoice_->SetSelection(0);
}

void DialogRun::FillMedia()
{
    mediumChoice_->Clear();
    media_.clear();
    for (const ConnectedMediumPtr& medium : connectedMedia) {
        if (medium->mediumId == 0)
            continue;
        mediumChoice_->Append(medium->displayName);
        media_.push_back(medium);
    }
    if (!media_.empty())
        mediumChoice_->SetSelection(0);
    FillProjects();
}

void DialogRun::FillProjects()
{
    projectList_->Clear();
    const int entry = mediumChoice_->GetSelection();
    if (entry == wxNOT_FOUND)
        return;
    const unsigned mediumId = media_[static_cast<size_t>(entry)]->mediumId;
    if (mediumId == 0)
        return;
    RunCatalogAction(
        _("The list of projects could not be read."),
        [this, mediumId] {
            wxSQLite3ResultSet rows =
                ExecQuery(wxString::Format(kSqlSelectProjectsOnMedium, mediumId));
            while (rows.NextRow())
                projectList_->Append(rows.GetAsString(1),
                                     IdData(static_cast<wxUint32>(rows.GetInt64(0).GetValue())));
        },
        this);
}

void DialogRun::OnCheckBoxTwoStepsClick(wxCommandEvent&)
{
    const bool twoSteps = twoStepsBox_->GetValue();
    if (twoSteps)
        logOnlyBox_->SetValue(false);
    logOnlyBox_->Enable(!twoSteps);
}

void DialogRun::OnRun(wxCommandEvent&)
{
    const bool twoSteps = twoStepsBox_->GetValue();
    if (owner_.savePendingEdits &&
        !RunCatalogAction(_("Your edits could not be stored."), owner_.savePendingEdits, this))
        return;
    if (IsRunning())
        return;
    const int action = actionChoice_->GetSelection();
    if (action == wxNOT_FOUND)
        return;
    const auto mode = static_cast<SyncMode>(DataOf(actionChoice_, static_cast<unsigned>(action)));
    if (!IsValidSyncMode(static_cast<std::uint8_t>(mode)))
        return;
    // Without a run medium there is nothing to name in the question nor to build jobs on.
    const int entry = mediumChoice_->GetSelection();
    if (entry == wxNOT_FOUND) {
        ShowMessage(this, _("No media currently connected to the computer found!"));
        return;
    }
    const ConnectedMedium& medium = *media_[static_cast<size_t>(entry)];
    wxString actionText = SyncModeText(mode, medium.displayName);

    std::vector<RunProject> projects;
    wxString projectsText;
    for (unsigned n = 0; n < projectList_->GetCount(); ++n) {
        if (!projectList_->IsChecked(n))
            continue;
        projects.push_back({DataOf(projectList_, n), projectList_->GetString(n)});
        projectsText += (projects.size() > 1 ? ", " : "") + projectList_->GetString(n);
    }
    if (projects.empty()) {
        ShowMessage(this, _("Select at least one project."));
        return;
    }
    log_->Clear();
    const bool logOnly = logOnlyBox_->GetValue();
    showItemTexts_ = logOnly;
    if (logOnly)
        actionText += _(" (log only)");
    if (!AskYesNo(this,
                  wxString::Format(_("You selected projects:\n%s\nAction:\n%s\nBegin synchronization?"),
                                   projectsText, actionText),
                  _("Checkout parameters")))
        return;

    // The run uses these values only, whatever the controls show while it goes on.
    twoSteps_ = twoSteps;
    logOnly_ = logOnly;
    logToXml_ = logToXmlBox_->GetValue();
    runMedium_ = RunMedium{medium.root, medium.mediumId, medium.displayName, medium.uid};
    StartAnalysis(projects, mode);
}

void DialogRun::StartAnalysis(const std::vector<RunProject>& projects, SyncMode mode)
{
    analysis_ = std::make_unique<swxAnalyze>(this, &jobs_);
    wxArrayString notes;
    const bool built = RunCatalogAction(
        _("The synchronization jobs could not be read."),
        [&] {
            for (auto& job : BuildProjectJobs(projects, runMedium_, mode, notes))
                analysis_->AddProject(std::move(job));
        },
        this);
    for (const wxString& note : notes)
        AppendLog(note + "\n");
    if (!built) {
        analysis_.reset();
        FreeJobs();
        return;
    }
    if (analysis_->Create() != wxTHREAD_NO_ERROR) {
        StartFailed();
        return;
    }
    SetRunning(true);
    if (analysis_->Run() != wxTHREAD_NO_ERROR)
        StartFailed();
}

void DialogRun::OnThreadEvent(wxCommandEvent& event)
{
    if (closing_)
        return;
    switch (event.GetInt()) {
    case TE_MESSAGE:
        AppendLog(event.GetString() + "\n");
        break;
    case TE_START:
        gauge_->SetRange(std::max(1, GaugeValue(event.GetExtraLong())));
        gauge_->SetValue(0);
        if (!gauge_->IsShown()) {
            gauge_->Show();
            gauge_->GetParent()->Layout();
            gauge_->GetParent()->GetParent()->Layout();
        }
        AppendLog(event.GetString() + "\n");
        break;
    case TE_LOG_ONLY_STEP:
    case TE_STEP:
        // A real run's steps carry a text only when the copy was asked for them.
        if (showItemTexts_ && (event.GetInt() == TE_LOG_ONLY_STEP || !event.GetString().empty()))
            AppendLog(event.GetString() + "\n");
        if (gauge_->GetValue() < gauge_->GetRange())
            gauge_->SetValue(gauge_->GetValue() + 1);
        break;
    case TE_ANALYSIS_END:
        if (analysis_)
            OnAnalysisDone(static_cast<int>(event.GetExtraLong()));
        break;
    case TE_COPY_END:
        if (copy_)
            OnCopyDone(static_cast<int>(event.GetExtraLong()));
        break;
    default:
        break;
    }
}

void DialogRun::OnAnalysisDone(int result)
{
    // The end event is the thread's last post: the join returns at once.
    analysis_->Wait();
    analysis_.reset();
    cancelButton_->Enable();
    switch (result) {
    case RUN_FINISHED:
        AppendLog(_("Analysis over\n"));
        if (twoSteps_)
            ReviewPlannedItems();
        else
            StartCopy(logOnly_);
        return;
    case RUN_FINISHED_WITH_ERRORS:
        AppendLog(_("Analysis over with errors\n"));
        break;
    case RUN_CANCELLED:
        AppendLog(_("Analysis cancelled\n"));
        break;
    default:
        break;
    }
    FinishRun();
}

void DialogRun::ReviewPlannedItems()
{
    std::vector<ReviewItem> records = MakeReviewItems(jobs_);
    int result = wxCANCEL;
    {
        DialogSelectSyncItems review(this);
        review.Centre(wxBOTH);
        review.SetItems(&records);
        result = review.ShowModal();
    }
    if (result == wxOK)
        StartCopy(false);
    else
        FinishRun();
}

void DialogRun::StartCopy(bool logOnly)
{
    showItemTexts_ = logOnly;
    // The log pane names the log file once the copy has ended and the file is final.
    logFilePath_ = logToXml_ ? NewRunLogPath(userDataDir, wxDateTime::Now()) : wxString();
    wxArrayString masks;
    const bool read = RunCatalogAction(
        _("The incompressible files could not be read."),
        [&masks] {
            wxSQLite3ResultSet rows = ExecQuery(kSqlSelectLiveIncompressibleMasks);
            while (rows.NextRow())
                masks.push_back(rows.GetAsString(1));
        },
        this);
    if (!read) {
        FinishRun();
        return;
    }
    copy_ = std::make_unique<swxCopy>(this, &jobs_, logOnly, logFilePath_);
    showItemTexts_ = logOnly || soAlwaysShowLog;
    if (showItemTexts_)
        copy_->SendItemTexts();
    if (copy_->Create() != wxTHREAD_NO_ERROR) {
        StartFailed();
        return;
    }
    for (const wxString& mask : masks)
        copy_->AddIncompressibleMask(mask);
    gauge_->SetValue(0);
    SetRunning(true);
    if (copy_->Run() != wxTHREAD_NO_ERROR)
        StartFailed();
}

void DialogRun::OnCopyDone(int result)
{
    copy_->Wait();
    copy_.reset();
    gauge_->SetValue(0);
    switch (result) {
    case RUN_FINISHED:
        AppendLog(_("Synchronization over\n"));
        break;
    case RUN_FINISHED_WITH_ERRORS:
        AppendLog(_("Synchronization over with errors\n"));
        break;
    case RUN_CANCELLED:
        AppendLog(_("Synchronization cancelled\n"));
        break;
    default:
        break;
    }
    CompressLog();
    ExportCatalog();
    FinishRun();
}

void DialogRun::CompressLog()
{
    if (logFilePath_.empty() || !wxFileExists(logFilePath_))
        return;
    if (soCompressLog && CompressFileBz2(logFilePath_, logFilePath_ + ".bz2")) {
        wxRemoveFile(logFilePath_);
        logFilePath_ += ".bz2";
    }
    AppendLog(wxString::Format(_("\nLog saved to file:\n%s\n"), logFilePath_));
}

void DialogRun::ExportCatalog()
{
    if (runMedium_.id == 0 || !soAutoExportDatabase)
        return;
    // A stick pulled meanwhile leaves only its empty mount directory on this computer.
    if (!IsMountedDriveRoot(runMedium_.root)) {
        AppendLog(wxString::Format(_("The catalogue was not exported: %s is no longer connected.\n"),
                                   runMedium_.name));
        return;
    }
    wxString error;
    if (!ExportCatalogXml(runMedium_.root, &error))
        AppendLog(wxString::Format(_("The catalogue could not be exported: %s\n"), error));
}

void DialogRun::FinishRun()
{
    gauge_->Hide();
    gauge_->SetValue(0);
    SetRunning(false);
    FreeJobs();
}

void DialogRun::FreeJobs()
{
    jobs_.clear();
}

void DialogRun::SetRunning(bool running)
{
    runButton_->Enable(!running);
    cancelButton_->SetLabel(running ? _("Stop") : _("Close"));
    cancelButton_->Enable();
}

void DialogRun::StartFailed()
{
    AppendLog(_("The synchronization could not be started: no worker thread could be made.\n"));
    analysis_.reset();
    copy_.reset();
    FinishRun();
}

void DialogRun::OnButtonCancelClick(wxCommandEvent&)
{
    if (analysis_) {
        analysis_->Cancel();
        cancelButton_->Disable();
    } else if (copy_) {
        copy_->Stop();
        cancelButton_->Disable();
    } else {
        Close();
    }
}

void DialogRun::StopAndWait()
{
    closing_ = true;
    if (analysis_) {
        analysis_->Cancel();
        analysis_->Wait();
        analysis_.reset();
    }
    if (copy_) {
        copy_->Stop();
        copy_->Wait();
        copy_.reset();
        CompressLog();
        ExportCatalog();
    }
    // What the threads posted last is of no use to a dialog that goes.
    DeletePendingEvents();
    FreeJobs();
}

void DialogRun::OnClose(wxCloseEvent&)
{
    StopAndWait();
    Destroy();
}

void DialogRun::AppendLog(const wxString& text)
{
    log_->AppendText(text);
}
