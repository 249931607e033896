#include "editors/masks_dialog.h"

#include <memory>
#include <utility>
#include <vector>

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/wxsqlite3.h>

#include "store/database.h"
#include "store/guid.h"
#include "store/statements.h"
#include "ui/bitmap_list.h"
#include "ui/db_error.h"
#include "ui/window_utils.h"

DialogBzExt::DialogBzExt(wxWindow* parent, wxWindowID id, const wxPoint&, const wxSize&)
{
    Create(parent, id, wxString(), wxDefaultPosition, wxDefaultSize,
           wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "id");
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(NewBitmapButton(this, ID_BITMAPBUTTON_ADD, "ID_BITMAPBUTTON_ADD", "plus",
                                 _("Add filemask")),
                 0, wxALL, 5);
    buttons->Add(NewBitmapButton(this, ID_BITMAPBUTTON_DELETE, "ID_BITMAPBUTTON_DELETE", "minus",
                                 _("Delete filemask")),
                 0, wxALL, 5);
    column->Add(buttons, 0, 0, 0);
    maskList_ = new swxBitmapListBox(this, ID_BITMAP_LISTBOX_EXT, wxDefaultPosition,
                                     wxSize(235, 224), wxBORDER_SUNKEN, "ID_BITMAP_LISTBOX_EXT");
    maskList_->SetBitmaps(NamedBitmap("tick"), NamedBitmap("cross"), NamedBitmap("recycled"));
    column->Add(maskList_, 1, wxALL | wxEXPAND, 2);
    editField_ = new wxTextCtrl(this, ID_TEXTCTRL_EXT, wxString(), wxDefaultPosition,
                                wxDefaultSize, 0, wxDefaultValidator, "ID_TEXTCTRL_EXT");
    column->Add(editField_, 0, wxALL | wxEXPAND, 2);
    const OkCancelRow row = MakeOkCancelRow(this);
    column->Add(row.sizer, 0, wxALL | wxALIGN_RIGHT, 2);
    SetSizer(column);
    column->SetSizeHints(this);
    wxSize size = GetSize();
    size.IncTo(ClientToWindowSize(wxSize(345, 327)));
    SetSize(size);

    Bind(wxEVT_BUTTON, &DialogBzExt::OnBitmapButtonAddClick, this, ID_BITMAPBUTTON_ADD);
    Bind(wxEVT_BUTTON, &DialogBzExt::OnBitmapButtonDeleteClick, this, ID_BITMAPBUTTON_DELETE);
    Bind(wxEVT_LISTBOX, &DialogBzExt::OnBitmapListBoxExtSelect, this, ID_BITMAP_LISTBOX_EXT);
    row.ok->Bind(wxEVT_BUTTON, &DialogBzExt::OnButtonOkClick, this);
    row.cancel->Bind(wxEVT_BUTTON, &DialogBzExt::OnButtonCancelClick, this);
}

void DialogBzExt::LoadMasks()
{
    SetTitle(_("Incompressible files"));
    RunCatalogAction(_("The incompressible files could not be read."),
                     [this] { FillMaskList(); }, this);
}

void DialogBzExt::FillMaskList()
{
    maskList_->Clear();
    wxSQLite3ResultSet rows = ExecQuery(kSqlSelectAllIncompressibleMasks);
    while (rows.NextRow())
        maskList_->Append(rows.GetString(1, wxString()),
                          static_cast<wxUint32>(rows.GetInt64(0).GetValue()), rows.GetInt(2) == 0);
    maskList_->SetSelection(maskList_->GetCount() > 0 ? 0 : wxNOT_FOUND);
}

void DialogBzExt::LoadSelectedMask()
{
    editIndex_ = maskList_->GetSelection();
    SetFieldText(editField_, editIndex_ == wxNOT_FOUND ? wxString()
                                                       : maskList_->GetItemText(editIndex_));
}

void DialogBzExt::CommitMaskEdit()
{
    if (editIndex_ == wxNOT_FOUND || !editField_->IsModified())
        return;
    maskList_->SetItemText(editIndex_, EscapeQuotes(editField_->GetValue()));
    maskList_->GetItem(editIndex_)->changed = true;
    // Committed: only a new keystroke makes the field pending again.
    editField_->DiscardEdits();
}

void DialogBzExt::OnBitmapListBoxExtSelect(wxCommandEvent&)
{
    CommitMaskEdit();
    LoadSelectedMask();
}

void DialogBzExt::OnBitmapButtonAddClick(wxCommandEvent&)
{
    CommitMaskEdit();
    auto item = std::make_unique<BitmapListItem>();
    item->text = "*.*";
    item->flagA = true;
    const int n = maskList_->AddItem(std::move(item));
    maskList_->SetSelection(n);
    maskList_->GetItem(n)->changed = true;
    LoadSelectedMask();
}

void DialogBzExt::OnBitmapButtonDeleteClick(wxCommandEvent&)
{
    if (editIndex_ == wxNOT_FOUND)
        return;
    BitmapListItem* item = maskList_->GetItem(editIndex_);
    item->flagA = !item->flagA;
    item->changed = true;
    maskList_->RefreshItem(editIndex_);
}

void DialogBzExt::SaveMasks()
{
    CommitMaskEdit();
    const wxString now = NowText();
    // New IDs are kept aside until the commit, so a rolled-back save leaves the items as
    // they were and a later save inserts them again.
    std::vector<std::pair<BitmapListItem*, wxUint32>> written;
    Transaction transaction;
    for (size_t n = 0; n < maskList_->GetCount(); ++n) {
        BitmapListItem* item = maskList_->GetItem(n);
        if (!item->changed)
            continue;
        const unsigned deleted = item->flagA ? 0 : 1;
        if (item->data != 0) {
            ExecUpdate(wxString::Format(kSqlUpdateIncompressibleMask, item->text, now, deleted,
                                        item->data));
            written.emplace_back(item, item->data);
        } else {
            ExecUpdate(wxString::Format(kSqlInsertIncompressibleMask, NewGuid(), item->text, now,
                                        deleted));
            written.emplace_back(item, LastInsertId());
        }
    }
    transaction.Commit();
    for (const auto& [item, id] : written) {
        item->data = id;
        item->changed = false;
    }
}

void DialogBzExt::OnButtonOkClick(wxCommandEvent&)
{
    if (RunCatalogAction(_("The incompressible files could not be stored."),
                         [this] { SaveMasks(); }, this))
        Finish(wxOK);
}

void DialogBzExt::OnButtonCancelClick(wxCommandEvent&)
{
    Finish(wxCANCEL);
}

void DialogBzExt::Finish(int result)
{
    SetReturnCode(result);
    EndDialog(result);
}
