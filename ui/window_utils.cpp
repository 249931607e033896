#include "ui/window_utils.h"

#include <cstdint>
#include <string_view>
#include <utility>

#include <wx/artprov.h>
#include <wx/bmpbuttn.h>
#include <wx/control.h>
#include <wx/ctrlsub.h>
#include <wx/dirdlg.h>
#include <wx/icon.h>
#include <wx/toplevel.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/mstream.h>
#include <wx/textctrl.h>
#include <wx/wxsqlite3.h>

#include "resources/embedded.h"
#include "store/database.h"
#include "store/text.h"

namespace {

wxString ShowDirDialog(wxWindow* parent, const wxString& startFolder, const wxString& title)
{
    // The GTK chooser takes a typed path itself; a start folder that does not exist is
    // simply not preselected.
    const wxString start = wxFileName::DirExists(startFolder) ? startFolder : wxString();
    wxDirDialog dialog(parent, title, start, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return wxString();
    return dialog.GetPath();
}

FolderBrowser& CurrentBrowser()
{
    static FolderBrowser browser;
    return browser;
}

wxUint32 ItemData(const wxItemContainer* control, unsigned int n)
{
    return static_cast<wxUint32>(reinterpret_cast<std::uintptr_t>(control->GetClientData(n)));
}

} // namespace

wxString BrowseForFolder(wxWindow* parent, const wxString& startFolder, const wxString& title)
{
    const FolderBrowser& browser = CurrentBrowser();
    return browser ? browser(parent, startFolder, title) : ShowDirDialog(parent, startFolder, title);
}

FolderBrowser SetFolderBrowser(FolderBrowser browser)
{
    return std::exchange(CurrentBrowser(), std::move(browser));
}

void FillControlFromQuery(wxItemContainer* control, const wxString& sql)
{
    control->Clear();
    wxSQLite3ResultSet rows = ExecQuery(sql);
    while (rows.NextRow()) {
        const wxUint32 id = static_cast<wxUint32>(rows.GetInt64(0).GetValue());
        void* data = reinterpret_cast<void*>(static_cast<std::uintptr_t>(id));
        control->Append(rows.GetAsString(1), data);
    }
    if (!control->IsEmpty())
        control->SetSelection(0);
}

bool GetSelectedItemData(const wxItemContainer* control, wxUint32& id)
{
    if (control == nullptr)
        return false;
    const int n = control->GetSelection();
    if (n == wxNOT_FOUND) {
        id = kNoSelectedItem;
        return false;
    }
    id = ItemData(control, static_cast<unsigned int>(n));
    return true;
}

int FindItemByData(const wxItemContainer* control, wxUint32 id)
{
    if (control == nullptr)
        return wxNOT_FOUND;
    for (unsigned int n = 0; n < control->GetCount(); ++n) {
        if (ItemData(control, n) == id)
            return static_cast<int>(n);
    }
    return wxNOT_FOUND;
}

wxBitmap LoadMaskedBitmap(const wxString& name)
{
    const auto bytes = FindEmbeddedFile(ToUtf8(name + ".png"));
    if (bytes.empty())
        return wxBitmap();
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr)
        wxImage::AddHandler(new wxPNGHandler);
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    wxImage image;
    if (!image.LoadFile(stream, wxBITMAP_TYPE_PNG))
        return wxBitmap();
    image.SetMaskColour(255, 0, 255);
    return wxBitmap(image);
}

OkCancelRow MakeOkCancelButtons(wxWindow* parent)
{
    OkCancelRow row{};
    row.ok = new wxButton(parent, wxID_OK, _("OK"), wxDefaultPosition, wxDefaultSize, 0,
                          wxDefaultValidator, "ID_BUTTON_OK");
    row.ok->SetDefault();
    row.cancel = new wxButton(parent, wxID_CANCEL, _("Cancel"), wxDefaultPosition, wxDefaultSize,
                              0, wxDefaultValidator, "ID_BUTTON_CANCEL");
    return row;
}

OkCancelRow MakeOkCancelRow(wxWindow* parent)
{
    OkCancelRow row = MakeOkCancelButtons(parent);
    row.sizer = new wxBoxSizer(wxHORIZONTAL);
    row.sizer->Add(row.ok, 0, wxALL, 2);
    row.sizer->Add(row.cancel, 0, wxALL, 2);
    return row;
}

wxBitmap NamedBitmap(const char* name)
{
    const wxBitmap bitmap = LoadMaskedBitmap(name);
    if (bitmap.IsOk())
        return bitmap;
    return wxArtProvider::GetBitmap(wxART_MISSING_IMAGE, wxART_TOOLBAR, wxSize(16, 16));
}

wxBitmapButton* NewBitmapButton(wxWindow* parent, wxWindowID id, const char* name,
                                const char* bitmap, const wxString& toolTip,
                                const wxString& helpText)
{
    auto* button = new wxBitmapButton(parent, id, NamedBitmap(bitmap), wxDefaultPosition,
                                      wxDefaultSize, wxBU_AUTODRAW, wxDefaultValidator, name);
    button->SetToolTip(toolTip);
    if (!helpText.empty())
        button->SetHelpText(helpText);
    return button;
}

void* IdData(wxUint32 id)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(id));
}

namespace {

// wxGTK builds the native box inside ShowModal and skips its title when the caption equals
// wxMessageBoxCaptionStr. The box runs its own loop, which still dispatches wx's pending
// calls: by then the native window exists, and the top-level window's SetTitle reaches it.
class TitledMessageDialog : public wxMessageDialog {
public:
    TitledMessageDialog(wxWindow* parent, const wxString& text, const wxString& caption,
                        long style)
        : wxMessageDialog(parent, text, caption, style)
    {
    }

    int ShowModal() override
    {
        const wxString title = GetTitle();
        CallAfter([this, title] {
            if (GetHandle() != nullptr)
                wxTopLevelWindow::SetTitle(title);
        });
        return wxMessageDialog::ShowModal();
    }
};

int DialogResultToBoxResult(int id)
{
    switch (id) {
    case wxID_YES: return wxYES;
    case wxID_NO: return wxNO;
    case wxID_CANCEL: return wxCANCEL;
    default: return wxOK;
    }
}

} // namespace

int ShowMessageBox(wxWindow* parent, const wxString& text, const wxString& caption, long style)
{
    TitledMessageDialog dialog(parent, text, caption, style);
    return DialogResultToBoxResult(dialog.ShowModal());
}

void ShowMessage(wxWindow* parent, const wxString& text)
{
    ShowMessageBox(parent, text, "Message", wxOK | wxCENTRE);
}

bool AskYesNo(wxWindow* parent, const wxString& text, const wxString& caption)
{
    return ShowMessageBox(parent, text, caption, wxYES_NO | wxICON_QUESTION | wxCENTRE) == wxYES;
}

void SetFieldText(wxTextCtrl* field, const wxString& text)
{
    field->ChangeValue(text);
    field->DiscardEdits();
}

wxString EscapeMnemonics(const wxString& userText)
{
    wxString text = wxControl::EscapeMnemonics(userText);
    text.Replace("\t", " ");
    return text;
}

void SetProgramIcon(wxTopLevelWindow* window)
{
    const wxBitmap bitmap = LoadMaskedBitmap("dralvo_icon");
    if (!bitmap.IsOk())
        return;
    wxIcon icon;
    icon.CopyFromBitmap(bitmap);
    window->SetIcon(icon);
}
