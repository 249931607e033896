#include "editors/options_frame.h"

#include <utility>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/icon.h>
#include <wx/imaglist.h>
#include <wx/listbook.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include "store/options.h"
#include "ui/db_error.h"
#include "ui/window_utils.h"

namespace {

// A group's heading (10-point bold) with a separator line that fills the rest of the row.
void AddHeading(wxWindow* page, wxSizer* sizer, wxWindowID textId, const char* textName,
                const wxString& text, wxWindowID lineId, const char* lineName)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* heading = new wxStaticText(page, textId, text, wxDefaultPosition, wxDefaultSize, 0,
                                     textName);
    heading->SetFont(wxFontInfo(10).Bold());
    row->Add(heading, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    row->Add(new wxStaticLine(page, lineId, wxDefaultPosition, wxSize(10, -1), wxLI_HORIZONTAL,
                              lineName),
             1, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    sizer->Add(row, 0, wxEXPAND, 0);
}

wxCheckBox* AddCheckBox(wxWindow* page, wxSizer* sizer, wxWindowID id, const char* name,
                        const wxString& text, const wxString& toolTip = wxString())
{
    auto* box = new wxCheckBox(page, id, text, wxDefaultPosition, wxDefaultSize, 0,
                               wxDefaultValidator, name);
    if (!toolTip.empty())
        box->SetToolTip(toolTip);
    sizer->Add(box, 0, wxLEFT | wxRIGHT | wxTOP, 3);
    return box;
}

// A label and a spin control in one row, centred vertically. The toolkit's spin controls need
// more room than 73 x 21 pixels for their buttons, so they keep their natural size.
wxSpinCtrl* AddSpin(wxWindow* page, wxSizer* sizer, wxWindowID labelId, const char* labelName,
                    const wxString& label, wxWindowID id, const char* name, int min, int max)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(page, labelId, label, wxDefaultPosition, wxDefaultSize, 0,
                              labelName),
             0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    auto* spin = new wxSpinCtrl(page, id, wxString::Format("%d", min), wxDefaultPosition,
                                wxDefaultSize, wxSP_ARROW_KEYS, min, max, min, name);
    row->Add(spin, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    sizer->Add(row, 0, 0, 0);
    return spin;
}

} // namespace

FrameOptions::FrameOptions(wxWindow* parent, wxWindowID id, const wxPoint&, const wxSize&)
    : wxFrame(parent, id, _("Dralvo Options"), wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE | wxFRAME_NO_TASKBAR, "id")
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    CreateControls();
    SetProgramIcon(this);
    Bind(wxEVT_BUTTON, &FrameOptions::OnButtonResetClick, this, ID_BUTTON_RESET);
    Bind(wxEVT_BUTTON, &FrameOptions::OnButtonOkClick, this, wxID_OK);
    Bind(wxEVT_BUTTON, &FrameOptions::OnButtonCancelClick, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &FrameOptions::OnClose, this);
    for (const LanguageChoice& choice : kLanguageChoices)
        language_->Append(choice.text, IdData(choice.id));
    LoadOptionControls();
}

void FrameOptions::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    // At least 263 x 172, and as large as the page needs: the toolkit's controls are taller
    // than the designed ones.
    auto* book = new wxListbook(this, ID_LISTBOOK_OPTIONS, wxDefaultPosition, wxDefaultSize, 0,
                                "ID_LISTBOOK_OPTIONS");
    auto* images = new wxImageList(48, 48, true);
    images->Add(NamedBitmap("globe").ConvertToImage().Rescale(48, 48));
    book->AssignImageList(images);

    auto* page = new wxPanel(book, ID_PANEL_GENERAL, wxDefaultPosition, wxDefaultSize,
                             wxTAB_TRAVERSAL, "ID_PANEL_GENERAL");
    auto* column = new wxBoxSizer(wxVERTICAL);
    AddHeading(page, column, ID_STATICTEXT1, "ID_STATICTEXT1", _("Logging"), ID_STATICLINE1,
               "ID_STATICLINE1");
    alwaysShowLog_ = AddCheckBox(page, column, ID_CHECKBOX_ALWAYS_SHOW_LOG,
                                 "ID_CHECKBOX_ALWAYS_SHOW_LOG",
                                 _("Always show synchronization log"));
    compressLog_ = AddCheckBox(page, column, ID_CHECKBOX_COMPRESS_LOG, "ID_CHECKBOX_COMPRESS_LOG",
                               _("Compress synchronization logfiles"));
    logDays_ = AddSpin(page, column, ID_STATICTEXT2, "ID_STATICTEXT2",
                       _("Delete log files after days"), ID_SPINCTRL_LOG_DAYS,
                       "ID_SPINCTRL_LOG_DAYS", 0, 100);

    AddHeading(page, column, ID_STATICTEXT3, "ID_STATICTEXT3", _("Language"), ID_STATICLINE2,
               "ID_STATICLINE2");
    language_ = new wxChoice(page, ID_CHOICE_LANGUAGE, wxDefaultPosition, wxDefaultSize, 0,
                             nullptr, 0, wxDefaultValidator, "ID_CHOICE_LANGUAGE");
    column->Add(language_, 0, wxALL, 3);

    AddHeading(page, column, ID_STATICTEXT4, "ID_STATICTEXT4", _("Compression"), ID_STATICLINE3,
               "ID_STATICLINE3");
    bzQuality_ = AddSpin(page, column, ID_STATICTEXT5, "ID_STATICTEXT5", _("Compression quality"),
                         ID_SPINCTRL_BZ_QUALITY, "ID_SPINCTRL_BZ_QUALITY", 1, 9);
    workFactor_ = AddSpin(page, column, ID_STATICTEXT6, "ID_STATICTEXT6", _("Work factor"),
                          ID_SPINCTRL_WORK_FACTOR, "ID_SPINCTRL_WORK_FACTOR", 0, 130);

    AddHeading(page, column, ID_STATICTEXT7, "ID_STATICTEXT7", _("Other"), ID_STATICLINE4,
               "ID_STATICLINE4");
    allDrives_ = AddCheckBox(page, column, ID_CHECKBOX_ALL_DRIVES, "ID_CHECKBOX_ALL_DRIVES",
                             _("Show all drives"), _("Show all mounts, not only removable"));
    removeEmptyDirs_ = AddCheckBox(page, column, ID_CHECKBOX_RM_EMPTY_DIRS,
                                   "ID_CHECKBOX_RM_EMPTY_DIRS", _("Remove empty folders"),
                                   _("Remove empty folders after synchronization"));
    autoExport_ = AddCheckBox(page, column, ID_CHECKBOX1, "ID_CHECKBOX1",
                              _("Export projects after synchronization"),
                              _("Automatically export projects metadata to XML file on the "
                                "medium after synchronization"));
    page->SetSizer(column);
    book->AddPage(page, _("General"), true, 0);
    wxSize bookSize = book->GetBestSize();
    bookSize.IncTo(wxSize(263, 172));
    book->SetMinSize(bookSize);
    top->Add(book, 1, wxALL | wxEXPAND, 3);

    auto* buttons = new wxGridSizer(1, 3, 0, 0);
    auto* reset = new wxButton(this, ID_BUTTON_RESET, _("Reset"), wxDefaultPosition,
                               wxDefaultSize, 0, wxDefaultValidator, "ID_BUTTON_RESET");
    const OkCancelRow row = MakeOkCancelButtons(this);
    for (wxButton* button : {reset, row.ok, row.cancel})
        buttons->Add(button, 1, wxALL | wxEXPAND, 3);
    top->Add(buttons, 0, wxALL | wxALIGN_RIGHT, 3);
    SetSizer(top);
    top->SetSizeHints(this);
    // 600 x 400 as designed, grown when the toolkit's fonts need more.
    wxSize size = GetBestSize();
    size.IncTo(wxSize(600, 400));
    SetSize(size);
}

void FrameOptions::LoadOptionControls()
{
    alwaysShowLog_->SetValue(soAlwaysShowLog);
    compressLog_->SetValue(soCompressLog);
    logDays_->SetValue(static_cast<int>(soDeleteLogsAfterDays));
    bzQuality_->SetValue(static_cast<int>(soBzQuality));
    workFactor_->SetValue(static_cast<int>(soBzWorkFactor));
    allDrives_->SetValue(soShowAllDrives);
    removeEmptyDirs_->SetValue(soRemoveEmptyFolders);
    autoExport_->SetValue(soAutoExportDatabase);
    language_->SetSelection(FindItemByData(language_, soLanguage));
}

void FrameOptions::OnButtonResetClick(wxCommandEvent&)
{
    LoadOptionControls();
}

void FrameOptions::OnButtonOkClick(wxCommandEvent&)
{
    // The language is checked first: a refused OK followed by Cancel must leave the session's
    // options as they were.
    wxUint32 language = 0;
    if (!GetSelectedItemData(language_, language)) {
        ShowMessage(this, _("Failed to get language!"));
        return;
    }
    soAlwaysShowLog = alwaysShowLog_->GetValue();
    soCompressLog = compressLog_->GetValue();
    soDeleteLogsAfterDays = static_cast<unsigned>(logDays_->GetValue());
    soBzQuality = static_cast<unsigned>(bzQuality_->GetValue());
    soBzWorkFactor = static_cast<unsigned>(workFactor_->GetValue());
    soShowAllDrives = allDrives_->GetValue();
    soRemoveEmptyFolders = removeEmptyDirs_->GetValue();
    soAutoExportDatabase = autoExport_->GetValue();
    if (language != soLanguage)
        ShowMessageBox(this,
                       _("Preferable language has been changed.\nPlease restart program to "
                         "update interface."),
                       _("Language changed"), wxOK | wxICON_INFORMATION);
    soLanguage = language;
    if (RunCatalogAction(_("The options could not be stored."), [] { SaveOptions(); }, this))
        Close();
}

void FrameOptions::OnButtonCancelClick(wxCommandEvent&)
{
    Close();
}

void FrameOptions::OnClose(wxCloseEvent&)
{
    if (closed_)
        std::exchange(closed_, nullptr)();
    Destroy();
}
