#include "editors/testbed_frame.h"

#include <optional>
#include <utility>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/icon.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/wxsqlite3.h>

#include "editors/file_list_ctrl.h"
#include "engine/test_folder.h"
#include "store/catalog.h"
#include "store/database.h"
#include "store/medium_paths.h"
#include "store/paths.h"
#include "store/statements.h"
#include "ui/bitmap_list.h"
#include "ui/db_error.h"
#include "ui/rules_panel.h"
#include "ui/window_utils.h"

namespace {

FrameFolderTestbed::MenuPresenter& Presenter()
{
    static FrameFolderTestbed::MenuPresenter presenter;
    return presenter;
}

wxString HumanSize(std::uint64_t size)
{
    return wxFileName::GetHumanReadableSize(wxULongLong(size), _("Not available"), 1);
}

wxStaticText* NewLabel(wxWindow* parent, wxWindowID id, const wxString& text, const char* name)
{
    return new wxStaticText(parent, id, text, wxDefaultPosition, wxDefaultSize, 0, name);
}

// The file name before its last "."; empty when the name has no dot.
wxString NameStem(const wxString& file)
{
    const int dot = file.Find('.', true);
    return dot == wxNOT_FOUND ? wxString() : file.Left(dot);
}

} // namespace

FrameFolderTestbed::MenuPresenter FrameFolderTestbed::SetMenuPresenter(MenuPresenter presenter)
{
    return std::exchange(Presenter(), std::move(presenter));
}

FrameFolderTestbed::FrameFolderTestbed(wxWindow* parent, wxWindowID id, const wxPoint&,
                                       const wxSize&)
    : wxFrame(parent, id, _("Dralvo Folder Rules Testbed"), wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE | wxFRAME_NO_TASKBAR, "id")
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    CreateControls();
    BindHandlers();
    SetProgramIcon(this);
}

FrameFolderTestbed::~FrameFolderTestbed()
{
    // Destroyed with its parent without a close event: the thread still must not outlive it.
    StopTest();
}

void FrameFolderTestbed::CreateControls()
{
    auto* left = new wxBoxSizer(wxVERTICAL);
    const wxFont bold = wxFont(wxFontInfo(10).Bold());
    projectLabel_ = NewLabel(this, ID_STATICTEXT_PROJECT, _("Label"), "ID_STATICTEXT_PROJECT");
    projectLabel_->SetFont(bold);
    left->Add(projectLabel_, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 2);
    folderLabel_ = NewLabel(this, ID_STATICTEXT_FOLDER, _("Label"), "ID_STATICTEXT_FOLDER");
    folderLabel_->SetFont(bold);
    left->Add(folderLabel_, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 2);
    sideChoice_ = new wxChoice(this, ID_CHOICE_MEDIA, wxDefaultPosition, wxDefaultSize, 0,
                               nullptr, 0, wxDefaultValidator, "ID_CHOICE_MEDIA");
    left->Add(sideChoice_, 0, wxALL | wxEXPAND, 2);
    rulesPanel_ = new PanelRules(this, ID_PANEL_RULES, wxDefaultPosition, wxSize(205, 225));
    left->Add(rulesPanel_, 1, wxEXPAND, 0);

    auto* right = new wxBoxSizer(wxVERTICAL);
    filterLabel_ = NewLabel(this, ID_STATICTEXT_FILTER, wxString(), "ID_STATICTEXT_FILTER");
    filterLabel_->SetFont(wxFont(wxFontInfo(10).FaceName("Arial").Bold()));
    filterLabel_->SetForegroundColour(wxColour(221, 0, 0));
    right->Add(filterLabel_, 0, wxALL | wxEXPAND, 2);
    resultList_ = new swxFileListCtrl(this, ID_LIST_VIEW_FOLDERS, wxDefaultPosition,
                                      wxSize(332, 269), wxLC_REPORT | wxBORDER_SUNKEN,
                                      wxDefaultValidator, "ID_LIST_VIEW_FOLDERS");
    right->Add(resultList_, 1, wxALL | wxEXPAND, 2);
    statisticsLabel_ = NewLabel(this, ID_STATICTEXT_STATISTICS, wxString(),
                                "ID_STATICTEXT_STATISTICS");
    right->Add(statisticsLabel_, 0, wxALL | wxEXPAND, 2);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(left, 0, wxEXPAND, 0);
    row->Add(right, 1, wxEXPAND, 0);

    auto* buttons = new wxGridSizer(1, 3, 0, 0);
    runButton_ = new wxButton(this, ID_BUTTON_RUN, _("Run test"), wxDefaultPosition,
                              wxDefaultSize, 0, wxDefaultValidator, "ID_BUTTON_RUN");
    const OkCancelRow okCancel = MakeOkCancelButtons(this);
    okButton_ = okCancel.ok;
    cancelButton_ = okCancel.cancel;
    for (wxButton* button : {runButton_, okButton_, cancelButton_})
        buttons->Add(button, 1, wxALL | wxEXPAND, 2);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(row, 1, wxEXPAND, 0);
    top->Add(buttons, 0, wxALL | wxALIGN_RIGHT, 2);
    SetSizer(top);
    top->SetSizeHints(this);
}

void FrameFolderTestbed::BindHandlers()
{
    Bind(wxEVT_BUTTON, &FrameFolderTestbed::OnButtonRunClick, this, ID_BUTTON_RUN);
    Bind(wxEVT_BUTTON, &FrameFolderTestbed::OnButtonOkClick, this, wxID_OK);
    Bind(wxEVT_BUTTON, &FrameFolderTestbed::OnButtonCancelClick, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &FrameFolderTestbed::OnClose, this);
    Bind(wxEVT_MENU, &FrameFolderTestbed::OnTestThreadEvent, this, ID_TEST_EVENT);
    // The generic list of GTK reports single changes of selection, not ranges: the size is
    // recomputed from the whole selection after every one of them.
    for (const auto type : {wxEVT_LIST_ITEM_SELECTED, wxEVT_LIST_ITEM_DESELECTED,
                            wxEVT_LIST_ITEM_FOCUSED})
        Bind(type, &FrameFolderTestbed::OnListViewFoldersSelectionChange, this,
             ID_LIST_VIEW_FOLDERS);
    Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, &FrameFolderTestbed::OnListViewFoldersItemRClick, this,
         ID_LIST_VIEW_FOLDERS);
    Bind(wxEVT_LIST_COL_CLICK, &FrameFolderTestbed::OnListViewFoldersColumnClick, this,
         ID_LIST_VIEW_FOLDERS);
    Bind(wxEVT_MENU, &FrameFolderTestbed::OnContextMenuCommand, this, ID_MENU_ADD_EXTENSION,
         ID_MENU_FILTER_RULE);
}

void FrameFolderTestbed::SetFolder(wxUint32 folderId)
{
    folderId_ = folderId;
    RunCatalogAction(_("The folder could not be read."), [this] {
        wxSQLite3ResultSet row =
            ExecQuery(wxString::Format(kSqlSelectProjectAndFolderName, folderId_));
        const bool found = row.NextRow();
        projectLabel_->SetLabelText(_("Project: ") + (found ? row.GetAsString(0) : _("N/A")));
        folderLabel_->SetLabelText(_("Folder: ") + (found ? row.GetAsString(1) : _("N/A")));
        row.Finalize();
        rulesPanel_->SetFolder(folderId_, false);
    }, this);
    FillSides();
    Layout();
}

void FrameFolderTestbed::FillSides()
{
    sideChoice_->Clear();
    sides_.clear();
    sideChoice_->Append(stationName);
    sides_.push_back(nullptr);
    for (const ConnectedMediumPtr& medium : connectedMedia) {
        if (medium->mediumId == 0)
            continue;
        sideChoice_->Append(medium->displayName);
        sides_.push_back(medium);
    }
    sideChoice_->SetSelection(0);
}

wxString FrameFolderTestbed::TestPath()
{
    const int side = sideChoice_->GetSelection();
    if (side == wxNOT_FOUND || static_cast<size_t>(side) >= sides_.size())
        return wxString();
    const ConnectedMediumPtr& medium = sides_[side];
    if (!medium) {
        wxSQLite3ResultSet row =
            ExecQuery(wxString::Format(kSqlSelectStationFolder, folderId_, stationId));
        return row.NextRow() ? AppendPathSeparator(row.GetAsString(0)) : wxString();
    }
    wxSQLite3ResultSet row = ExecQuery(
        wxString::Format(kSqlSelectMediumLocationOfFolder, folderId_, medium->mediumId));
    if (!row.NextRow())
        return wxString();
    wxString location = row.GetAsString(0);
    if (!location.empty() && !location.EndsWith("\\") && !location.EndsWith("/"))
        location += "\\";
    location += row.GetAsString(1);
    // Catalogue text may come from another computer: it must stay below the medium's root.
    const std::optional<wxString> path = MediumPathFromLocation(medium->root, location);
    if (!path) {
        ShowMessage(this, wxString::Format(_("The folder's location on the medium \"%s\" leads "
                                             "outside the medium."),
                                           location));
        return wxString();
    }
    return AppendPathSeparator(*path);
}

void FrameFolderTestbed::OnButtonRunClick(wxCommandEvent&)
{
    if (Testing())
        return;
    resultList_->Clear();
    statisticsLabel_->SetLabel(wxString());
    wxString path;
    if (!RunCatalogAction(_("The folder's location could not be read."),
                          [&] { path = TestPath(); }, this) ||
        path.empty())
        return;
    StartTest(path);
}

void FrameFolderTestbed::StartTest(const wxString& path)
{
    auto test = std::make_unique<swxTestFolder>(this, path);
    const swxBitmapListBox* rules = rulesPanel_->GetRulesList();
    for (size_t n = 0; n < rules->GetCount(); ++n) {
        const BitmapListItem* item = rules->GetItem(n);
        if (item->deleted)
            continue;
        auto rule = std::make_unique<FolderRule>();
        rule->mask = item->text.Lower();
        rule->mask.Replace("/", "\\");
        rule->allow = item->flagA;
        test->Rules().push_back(std::move(rule));
    }
    if (test->Create() != wxTHREAD_NO_ERROR || test->Run() != wxTHREAD_NO_ERROR) {
        ShowMessage(this, _("The rules test could not be started."));
        return;
    }
    test_ = std::move(test);
    okButton_->Disable();
    runButton_->Disable();
    cancelButton_->SetLabel(_("Stop"));
}

void FrameFolderTestbed::StopTest()
{
    if (!test_)
        return;
    test_->Stop();
    test_->Wait();
    test_.reset();
    DrainTestEvents();
}

void FrameFolderTestbed::DrainTestEvents()
{
    // The thread has ended and the window is going: the records still queued for it are freed
    // with their events, which nobody will handle now.
    {
        wxCriticalSectionLocker locker(m_pendingEventsLock);
        for (auto node = m_pendingEvents != nullptr ? m_pendingEvents->GetFirst() : nullptr;
             node != nullptr; node = node->GetNext()) {
            const auto* event = dynamic_cast<const wxCommandEvent*>(
                static_cast<wxEvent*>(node->GetData()));
            if (event != nullptr && event->GetEventType() == wxEVT_MENU &&
                event->GetId() == ID_TEST_EVENT && event->GetInt() == TEST_FILE)
                delete static_cast<FileTestRecord*>(event->GetClientData());
        }
    }
    // As the destructor of wxEvtHandler does: the application forgets the queue first.
    if (wxTheApp != nullptr)
        wxTheApp->RemovePendingEventHandler(this);
    DeletePendingEvents();
}

void FrameFolderTestbed::OnTestThreadEvent(wxCommandEvent& event)
{
    switch (event.GetInt()) {
    case TEST_FILE:
        resultList_->AddRecord(
            std::unique_ptr<FileTestRecord>(static_cast<FileTestRecord*>(event.GetClientData())));
        break;
    case TEST_FINISHED:
        if (test_) {
            test_->Wait();
            test_.reset();
        }
        runButton_->Enable();
        okButton_->Enable();
        cancelButton_->SetLabel(_("Close"));
        break;
    default:
        break;
    }
}

void FrameFolderTestbed::OnButtonOkClick(wxCommandEvent&)
{
    if (RunCatalogAction(_("The folder's rules could not be stored."),
                         [this] { rulesPanel_->SaveRules(); }, this))
        Close();
}

void FrameFolderTestbed::OnButtonCancelClick(wxCommandEvent&)
{
    if (Testing())
        test_->Cancel();
    else
        Close();
}

void FrameFolderTestbed::OnClose(wxCloseEvent&)
{
    StopTest();
    if (closed_)
        std::exchange(closed_, nullptr)();
    Destroy();
}

void FrameFolderTestbed::OnListViewFoldersSelectionChange(wxListEvent&)
{
    // Counted once the list has settled the whole change (a click both deselects and selects).
    if (selectionUpdatePending_)
        return;
    selectionUpdatePending_ = true;
    CallAfter([this] {
        selectionUpdatePending_ = false;
        ShowSelectedSize();
    });
}

void FrameFolderTestbed::ShowSelectedSize()
{
    statisticsLabel_->SetLabel(
        wxString::Format(_("Selected size %s"), HumanSize(resultList_->SelectedSize())));
}

void FrameFolderTestbed::OnListViewFoldersColumnClick(wxListEvent& event)
{
    resultList_->SortByColumn(event.GetColumn());
    ShowSelectedSize();
}

void FrameFolderTestbed::OnListViewFoldersItemRClick(wxListEvent& event)
{
    contextRow_ = event.GetIndex();
    const FileTestRecord* record = resultList_->VisibleRecord(contextRow_);
    if (record == nullptr)
        return;
    wxMenu menu(_("Add rule"));
    menu.Append(ID_MENU_ADD_EXTENSION,
                wxString::Format(_("Extension (*.%s)"), EscapeMnemonics(record->extension)));
    menu.Append(ID_MENU_ADD_NAME,
                wxString::Format(_("Name (%s*)"), EscapeMnemonics(NameStem(record->file))));
    if (!record->location.empty())
        menu.Append(ID_MENU_ADD_FOLDER, wxString::Format(_("Folder (%s)"),
                                     EscapeMnemonics(ShortenPath(record->location, 30))));
    menu.AppendSeparator();
    menu.Append(ID_MENU_RESET_FILTER, _("Reset filter"));
    menu.Append(ID_MENU_FILTER_EXTENSION, _("Filter by extension"));
    menu.Append(ID_MENU_FILTER_FILENAME, _("Filter by filename"));
    menu.Append(ID_MENU_FILTER_FOLDER, _("Filter by folder"));
    menu.Append(ID_MENU_FILTER_SUBFOLDERS, _("Filter by subfolders"));
    menu.Append(ID_MENU_FILTER_SIZE_ABOVE, _("Filter by size (above)"));
    menu.Append(ID_MENU_FILTER_SIZE_BELOW, _("Filter by size (below)"));
    menu.Append(ID_MENU_FILTER_RULE, _("Filter by rule"));
    if (Presenter())
        Presenter()(resultList_, menu);
    else
        resultList_->PopupMenu(&menu);
}

void FrameFolderTestbed::OnContextMenuCommand(wxCommandEvent& event)
{
    const FileTestRecord* found = resultList_->VisibleRecord(contextRow_);
    if (found == nullptr)
        return;
    // A filter rebuilds the visible rows: work on a copy.
    const FileTestRecord record = *found;
    const auto filter = [this](const wxString& label) { filterLabel_->SetLabelText(label); };
    switch (event.GetId()) {
    case ID_MENU_ADD_EXTENSION: rulesPanel_->AddRule("*." + record.extension); break;
    case ID_MENU_ADD_NAME: rulesPanel_->AddRule(NameStem(record.file) + "*"); break;
    case ID_MENU_ADD_FOLDER: rulesPanel_->AddRule(record.location + "\\*"); break;
    case ID_MENU_RESET_FILTER:
        filter(wxString());
        resultList_->ResetFilter();
        break;
    case ID_MENU_FILTER_EXTENSION:
        filter(_("Extension: ") + record.extension);
        resultList_->SetTextFilter(FileListModel::kByExtension, record.extension);
        break;
    case ID_MENU_FILTER_FILENAME:
        filter(_("File: ") + record.file);
        resultList_->SetTextFilter(FileListModel::kByFileName, record.file);
        break;
    case ID_MENU_FILTER_FOLDER:
        filter(_("Folder: ") + ShortenPath(record.location, 20));
        resultList_->SetTextFilter(FileListModel::kByFolder, record.location);
        break;
    case ID_MENU_FILTER_SUBFOLDERS:
        filter(_("Tree: ") + ShortenPath(record.location, 20));
        resultList_->SetTextFilter(FileListModel::kBySubfolders, record.location);
        break;
    case ID_MENU_FILTER_SIZE_ABOVE:
        filter(_("Size above ") + HumanSize(record.size));
        resultList_->SetSizeFilter(FileListModel::kBySizeAbove, record.size);
        break;
    case ID_MENU_FILTER_SIZE_BELOW:
        filter(_("Size below ") + HumanSize(record.size));
        resultList_->SetSizeFilter(FileListModel::kBySizeBelow, record.size);
        break;
    case ID_MENU_FILTER_RULE:
        filter(_("Rule: ") + record.rule);
        resultList_->SetTextFilter(FileListModel::kByRule, record.rule);
        break;
    default:
        break;
    }
    // A filter took rows away or brought them back.
    if (event.GetId() >= ID_MENU_RESET_FILTER)
        ShowSelectedSize();
}
