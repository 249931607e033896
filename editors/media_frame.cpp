#include "editors/media_frame.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choicdlg.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/wxsqlite3.h>

#include "store/database.h"
#include "store/guid.h"
#include "store/options.h"
#include "store/statements.h"
#include "store/text.h"
#include "ui/db_error.h"
#include "ui/window_utils.h"

namespace {

constexpr int kDetailFieldWidth = 200;

wxTextCtrl* AddDetailRow(wxWindow* parent, wxFlexGridSizer* grid, wxWindowID labelId,
                         const char* labelName, const wxString& label, wxWindowID id,
                         const char* name, const wxString& toolTip = wxString())
{
    grid->Add(new wxStaticText(parent, labelId, label, wxDefaultPosition, wxDefaultSize, 0,
                               labelName),
              0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    auto* field = new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxDefaultSize,
                                 0, wxDefaultValidator, name);
    if (!toolTip.empty())
        field->SetToolTip(toolTip);
    // Wide enough for a mount point or a GUID to be read.
    field->SetMinSize(wxSize(kDetailFieldWidth, -1));
    grid->Add(field, 1, wxALL | wxEXPAND, 2);
    return field;
}

// The toolkit gives a choice box's list less height per row than it draws a row with, so the
// last of three choices shows cut. The list gets each row's text height and padding (about 6
// pixels in the toolkit's theme, 8 allowed), and the box grows around it.
void ShowChoicesWhole(wxSingleChoiceDialog& dialog)
{
    constexpr int kRowPadding = 8;
    constexpr int kListFrame = 4;
    for (wxWindow* child : dialog.GetChildren()) {
        auto* list = dynamic_cast<wxListBox*>(child);
        if (list == nullptr)
            continue;
        int height = kListFrame;
        for (const wxString& choice : list->GetStrings())
            height += list->GetTextExtent(choice).y + kRowPadding;
        list->SetMinSize(wxSize(-1, std::max(height, list->GetBestSize().y)));
    }
    dialog.GetSizer()->SetSizeHints(&dialog);
}

} // namespace

frmMedia::frmMedia(wxWindow* parent, wxWindowID id, const wxPoint&, const wxSize&)
    : wxFrame(parent, id, _("Dralvo media manager"), wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE | wxFRAME_NO_TASKBAR, "id")
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    CreateControls();
    Bind(wxEVT_BUTTON, &frmMedia::OnBitmapButtonMediaAddClick, this, ID_BITMAPBUTTON_MEDIA_ADD);
    Bind(wxEVT_BUTTON, &frmMedia::OnBitmapButtonMediaDeleteClick, this,
         ID_BITMAPBUTTON_MEDIA_DELETE);
    Bind(wxEVT_LISTBOX, &frmMedia::OnListBoxMediaSelect, this, ID_LISTBOX_MEDIA);
    Bind(wxEVT_CHECKBOX, &frmMedia::OnBitmapButtonRefreshClick, this, ID_CHECKBOX_ALL_DRIVES);
    Bind(wxEVT_CHOICE, &frmMedia::OnChoiceCurrentMediaSelect, this, ID_CHOICE_CURRENT_MEDIA);
    Bind(wxEVT_BUTTON, &frmMedia::OnBitmapButtonConnectClick, this, ID_BITMAPBUTTON_CONNECT);
    Bind(wxEVT_BUTTON, &frmMedia::OnBitmapButtonRefreshClick, this, ID_BITMAPBUTTON_REFRESH);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, ID_BUTTON_CLOSE);
    Bind(wxEVT_CLOSE_WINDOW, &frmMedia::OnClose, this);

    allDrives_->SetValue(soShowAllDrives);
    RunCatalogAction(_("The list of media could not be read."), [this] { FillMediaList(); },
                     this);
    FillDevices();
}

void frmMedia::CreateControls()
{
    auto* left = new wxBoxSizer(wxVERTICAL);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(NewBitmapButton(this, ID_BITMAPBUTTON_MEDIA_ADD, "ID_BITMAPBUTTON_MEDIA_ADD",
                                 "plus", _("Add medium to database")),
                 0, wxALL, 2);
    buttons->Add(NewBitmapButton(this, ID_BITMAPBUTTON_MEDIA_DELETE,
                                 "ID_BITMAPBUTTON_MEDIA_DELETE", "minus", _("Delete medium")),
                 0, wxALL, 2);
    left->Add(buttons, 0, 0, 0);
    mediaList_ = new wxListBox(this, ID_LISTBOX_MEDIA, wxDefaultPosition, wxDefaultSize, 0,
                               nullptr, wxLB_SINGLE, wxDefaultValidator, "ID_LISTBOX_MEDIA");
    mediaList_->SetToolTip(_("Dralvo media"));
    left->Add(mediaList_, 1, wxALL | wxEXPAND, 2);
    nameField_ = new wxTextCtrl(this, ID_TEXTCTRL_CAPTION, wxString(), wxDefaultPosition,
                                wxDefaultSize, 0, wxDefaultValidator, "ID_TEXTCTRL_CAPTION");
    left->Add(nameField_, 0, wxALL | wxEXPAND, 2);

    auto* right = new wxBoxSizer(wxVERTICAL);
    allDrives_ = new wxCheckBox(this, ID_CHECKBOX_ALL_DRIVES, _("Show all drives"),
                                wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator,
                                "ID_CHECKBOX_ALL_DRIVES");
    allDrives_->SetToolTip(_("Show not only removable drives"));
    right->Add(allDrives_, 0, wxALL, 2);
    auto* deviceRow = new wxBoxSizer(wxHORIZONTAL);
    deviceChoice_ = new wxChoice(this, ID_CHOICE_CURRENT_MEDIA, wxDefaultPosition, wxDefaultSize,
                                 0, nullptr, 0, wxDefaultValidator, "ID_CHOICE_CURRENT_MEDIA");
    deviceChoice_->SetToolTip(_("Removable devices"));
    deviceRow->Add(deviceChoice_, 1, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    deviceRow->Add(NewBitmapButton(this, ID_BITMAPBUTTON_CONNECT, "ID_BITMAPBUTTON_CONNECT",
                                   "attach", _("Engage device as Dralvo medium")),
                   0, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    auto* refresh = NewBitmapButton(this, ID_BITMAPBUTTON_REFRESH, "ID_BITMAPBUTTON_REFRESH",
                                    "refresh", _("Refresh devices"));
    deviceRow->Add(refresh, 0, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    right->Add(deviceRow, 0, wxEXPAND, 0);
    auto* grid = new wxFlexGridSizer(2, 0, 0);
    grid->AddGrowableCol(1);
    deviceField_ = AddDetailRow(this, grid, ID_STATICTEXT1, "ID_STATICTEXT1", _("Device"),
                                ID_TEXTCTRL_DEVICE, "ID_TEXTCTRL_DEVICE");
    pointField_ = AddDetailRow(this, grid, ID_STATICTEXT2, "ID_STATICTEXT2", _("Mount point"),
                               ID_TEXTCTRL_POINT, "ID_TEXTCTRL_POINT");
    fsField_ = AddDetailRow(this, grid, ID_STATICTEXT3, "ID_STATICTEXT3", _("Filesystem"),
                            ID_TEXTCTRL_FS, "ID_TEXTCTRL_FS");
    uidField_ = AddDetailRow(this, grid, ID_STATICTEXT4, "ID_STATICTEXT4", _("UID"),
                             ID_TEXTCTRL_UID, "ID_TEXTCTRL_UID",
                             _("Dralvo internal code assigned to the medium"));
    right->Add(grid, 1, wxEXPAND, 0);

    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    columns->Add(left, 1, wxEXPAND, 0);
    columns->Add(right, 0, wxEXPAND, 0);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(columns, 1, wxEXPAND, 0);
    top->Add(new wxButton(this, ID_BUTTON_CLOSE, _("Close"), wxDefaultPosition, wxDefaultSize, 0,
                          wxDefaultValidator, "ID_BUTTON_CLOSE"),
             0, wxALL | wxALIGN_RIGHT, 2);
    SetSizer(top);
    top->SetSizeHints(this);
    SetDefaultItem(refresh);
}

void frmMedia::FillMediaList()
{
    SaveMediumCaption();
    FillControlFromQuery(mediaList_, kSqlSelectLiveMedia);
    ShowSelectedMedium();
}

void frmMedia::ShowSelectedMedium()
{
    wxUint32 id = 0;
    if (GetSelectedItemData(mediaList_, id)) {
        selectedId_ = id;
        selectedIndex_ = mediaList_->GetSelection();
        SetFieldText(nameField_, mediaList_->GetString(selectedIndex_));
    } else {
        selectedId_ = 0;
        selectedIndex_ = wxNOT_FOUND;
        SetFieldText(nameField_, wxString());
    }
}

void frmMedia::SaveMediumCaption()
{
    if (selectedId_ == 0 || selectedIndex_ == wxNOT_FOUND || !nameField_->IsModified())
        return;
    const wxString name = EscapeQuotes(nameField_->GetValue());
    if (name.empty())
        return;
    if (ExecScalar(wxString::Format(kSqlCountOtherMediaNamedLike, name, selectedId_)) > 0) {
        // The field stays modified: the check is made again at the next commit.
        ShowMessage(nullptr, _("Medium with this name already exists!"));
        return;
    }
    ExecUpdate(wxString::Format(kSqlRenameMedium, name, NowText(), selectedId_));
    mediaList_->SetString(selectedIndex_, name);
    nameField_->DiscardEdits();
    // A drive of this medium goes by the new name at once.
    for (const ConnectedMediumPtr& device : std::vector(devices_))
        if (device->mediumId == selectedId_)
            ReplaceDevice(device, device->uid, selectedId_);
}

void frmMedia::OnListBoxMediaSelect(wxCommandEvent&)
{
    RunCatalogAction(_("The medium could not be renamed."), [this] { SaveMediumCaption(); },
                     this);
    ShowSelectedMedium();
}

void frmMedia::FillDevices()
{
    deviceChoice_->Clear();
    devices_ = connectedMedia;
    for (const ConnectedMediumPtr& device : devices_)
        deviceChoice_->Append(device->label);
    if (!devices_.empty())
        deviceChoice_->SetSelection(0);
    ShowDeviceDetails();
}

ConnectedMediumPtr frmMedia::SelectedDevice() const
{
    const int n = deviceChoice_->GetSelection();
    return n == wxNOT_FOUND || static_cast<size_t>(n) >= devices_.size() ? nullptr : devices_[n];
}

void frmMedia::ShowDeviceDetails()
{
    const ConnectedMediumPtr device = SelectedDevice();
    SetFieldText(deviceField_, device ? device->label : wxString());
    SetFieldText(pointField_, device ? device->root : wxString());
    SetFieldText(fsField_, device ? device->fileSystem : wxString());
    SetFieldText(uidField_, device ? device->uid : wxString());
}

void frmMedia::OnChoiceCurrentMediaSelect(wxCommandEvent&)
{
    ShowDeviceDetails();
}

void frmMedia::OnBitmapButtonRefreshClick(wxCommandEvent&)
{
    RunCatalogAction(_("The connected media could not be listed."),
                     [this] { EnumerateConnectedMedia(allDrives_->GetValue()); }, this);
    FillDevices();
}

void frmMedia::OnBitmapButtonMediaAddClick(wxCommandEvent&)
{
    RunCatalogAction(_("The medium could not be added."), [this] { AddMedium(); }, this);
}

void frmMedia::AddMedium()
{
    SaveMediumCaption();
    const ConnectedMediumPtr device = SelectedDevice();
    const wxString answer =
        wxGetTextFromUser(_("Enter name of the medium"), _("Adding medium to database"),
                          device ? device->displayName : wxString(), this);
    const wxString name = EscapeQuotes(answer);
    if (name.empty())
        return;
    if (ExecScalar(wxString::Format(kSqlCountMediaNamedLike, name)) > 0) {
        ShowMessage(nullptr, _("Medium with this name already exists!"));
        return;
    }
    ExecUpdate(wxString::Format(kSqlInsertMedium, NewGuid(), name, NowText()));
    const int n = mediaList_->Append(name, IdData(LastInsertId()));
    mediaList_->SetSelection(n);
    ShowSelectedMedium();
}

void frmMedia::OnBitmapButtonMediaDeleteClick(wxCommandEvent&)
{
    RunCatalogAction(_("The medium could not be deleted."), [this] { DeleteMedium(); }, this);
}

void frmMedia::DeleteMedium()
{
    if (selectedId_ == 0 || selectedIndex_ == wxNOT_FOUND)
        return;
    if (ShowMessageBox(nullptr, _("Do you really wish to delete this medium?"),
                       _("Deleting medium from database"),
                       wxYES_NO | wxICON_EXCLAMATION) != wxYES)
        return;
    ExecUpdate(wxString::Format(kSqlMarkMediumDeleted, NowText(), selectedId_));
    mediaList_->Delete(selectedIndex_);
    const int count = static_cast<int>(mediaList_->GetCount());
    if (count > 0)
        mediaList_->SetSelection(std::min(selectedIndex_, count - 1));
    ShowSelectedMedium();
}

void frmMedia::OnBitmapButtonConnectClick(wxCommandEvent&)
{
    RunCatalogAction(_("The device could not be engaged."), [this] { ConnectDevice(); }, this);
}

void frmMedia::ConnectDevice()
{
    const ConnectedMediumPtr device = SelectedDevice();
    if (selectedId_ == 0 || !device)
        return;
    wxSQLite3ResultSet row = ExecQuery(wxString::Format(kSqlSelectMediumGuid, selectedId_));
    if (!row.NextRow())
        return;
    const wxString guid = row.GetAsString(0);
    row.Finalize();
    if (device->uid.empty()) {
        Engage(device, guid);
        return;
    }
    if (device->uid == guid) {
        ShowMessage(nullptr, _("This device is already connected to the medium!"));
        return;
    }
    wxArrayString choices;
    choices.push_back(_("Connect device to the selected medium"));
    choices.push_back(_("Change medium label in the database"));
    choices.push_back(_("Don't do anything"));
    wxSingleChoiceDialog question(this,
                                  _("This medium is connected to another Dralvo device!\nThis "
                                    "may spoil some synchronization projects.\nYour option is:"),
                                  _("Medium engaged"), choices);
    // 200 x 150 as designed, grown so the message and the three choices show whole.
    ShowChoicesWhole(question);
    wxSize size = question.GetBestSize();
    size.IncTo(wxSize(200, 150));
    question.SetSize(size);
    question.Centre();
    if (question.ShowModal() != wxID_OK)
        return;
    switch (question.GetSelection()) {
    case 0:
        Engage(device, guid);
        break;
    case 1:
        TakeOverDeviceUid(device);
        break;
    default:
        break;
    }
}

void frmMedia::TakeOverDeviceUid(const ConnectedMediumPtr& device)
{
    wxSQLite3ResultSet owner = ExecQuery(
        wxString::Format(kSqlSelectOtherLiveMediumByGuid, EscapeQuotes(device->uid), selectedId_));
    if (owner.NextRow()) {
        ShowMessage(nullptr, wxString::Format(_("The device's UID belongs to the medium \"%s\".\n"
                                                "Two media cannot have one UID."),
                                              owner.GetAsString(0)));
        return;
    }
    owner.Finalize();
    ExecUpdate(wxString::Format(kSqlUpdateMediumGuid, EscapeQuotes(device->uid), selectedId_));
    ReplaceDevice(device, device->uid, selectedId_);
}

bool frmMedia::Engage(const ConnectedMediumPtr& device, const wxString& guid)
{
    // The marker is written beside its place and renamed in (never through a link), then
    // read back as the next enumeration will read it: a stick pulled or full in between, or
    // a GUID that would not read back as itself, must not leave a medium that only the
    // window believes in.
    const wxString marker = device->root + kMediumMarkerName;
    if (!WriteMediumMarker(device->root, guid) || ReadMediumMarker(device->root) != guid) {
        ShowMessage(nullptr, wxString::Format(_("The marker file %s could not be written.\n"
                                                "The device was not engaged."),
                                              marker));
        return false;
    }
    ReplaceDevice(device, guid, selectedId_);
    SetFieldText(uidField_, guid);
    return true;
}

void frmMedia::ReplaceDevice(const ConnectedMediumPtr& device, const wxString& uid,
                             unsigned mediumId)
{
    auto updated = std::make_shared<ConnectedMedium>(*device);
    updated->uid = uid;
    updated->mediumId = mediumId;
    // The drive is that medium now, name included (the list holds the names as stored).
    const int entry = FindItemByData(mediaList_, mediumId);
    updated->displayName = entry == wxNOT_FOUND ? device->label : mediaList_->GetString(entry);
    std::replace(devices_.begin(), devices_.end(), device, ConnectedMediumPtr(updated));
    // Records are shared read-only: the list gets the new record in place of the old one.
    for (ConnectedMediumPtr& listed : connectedMedia)
        if (listed->root == device->root)
            listed = updated;
}

void frmMedia::OnClose(wxCloseEvent&)
{
    RunCatalogAction(_("The medium could not be renamed."), [this] { SaveMediumCaption(); },
                     this);
    if (closed_)
        std::exchange(closed_, nullptr)();
    Destroy();
}
