#include "ui/rules_panel.h"

#include <memory>
#include <utility>

#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/wxsqlite3.h>

#include "ui/bitmap_list.h"
#include "ui/db_error.h"
#include "ui/window_utils.h"
#include "store/database.h"
#include "store/guid.h"
#include "store/statements.h"

const wxWindowID PanelRules::ID_BITMAPBUTTON_ADD = wxNewId();
const wxWindowID PanelRules::ID_BITMAPBUTTON_DELETE = wxNewId();
const wxWindowID PanelRules::ID_BITMAPBUTTON_UP = wxNewId();
const wxWindowID PanelRules::ID_BITMAPBUTTON4 = wxNewId();
const wxWindowID PanelRules::ID_BITMAPBUTTON_UNDO = wxNewId();
const wxWindowID PanelRules::ID_CUSTOM_BMPLBX_RULES = wxNewId();
const wxWindowID PanelRules::ID_TEXTCTRL_RULE = wxNewId();
const wxWindowID PanelRules::ID_CHECKBOX_RULE_ALLOW = wxNewId();

PanelRules::PanelRules(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                       const wxString& name)
    : wxPanel(parent, id, pos, size, wxTAB_TRAVERSAL, name)
{
    BuildControls();
    BindHandlers();
}

void PanelRules::BuildControls()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    buttonRow_ = new wxBoxSizer(wxHORIZONTAL);
    addButton_ = NewBitmapButton(this, ID_BITMAPBUTTON_ADD, "ID_BITMAPBUTTON_ADD", "plus", _("Add rule"));
    deleteButton_ = NewBitmapButton(this, ID_BITMAPBUTTON_DELETE, "ID_BITMAPBUTTON_DELETE", "minus",
                               _("Delete/undelete"));
    upButton_ = NewBitmapButton(this, ID_BITMAPBUTTON_UP, "ID_BITMAPBUTTON_UP", "up", _("Move up"));
    downButton_ = NewBitmapButton(this, ID_BITMAPBUTTON4, "ID_BITMAPBUTTON4", "down", _("Move down"));
    undoButton_ = NewBitmapButton(this, ID_BITMAPBUTTON_UNDO, "ID_BITMAPBUTTON_UNDO", "undo",
                             _("Undo all rules edits"));
    for (wxBitmapButton* button : {addButton_, deleteButton_, upButton_, downButton_, undoButton_})
        buttonRow_->Add(button, 1, wxALL | wxALIGN_BOTTOM, 2);
    column->Add(buttonRow_, 0, 0, 0);

    rulesList_ = new swxBitmapListBox(this, ID_CUSTOM_BMPLBX_RULES, wxDefaultPosition,
                                      wxDefaultSize, wxBORDER_SUNKEN, "ID_CUSTOM_BMPLBX_RULES");
    rulesList_->SetBitmaps(LoadMaskedBitmap("tick"), LoadMaskedBitmap("cross"),
                           LoadMaskedBitmap("recycled"));
    column->Add(rulesList_, 1, wxALL | wxEXPAND, 2);

    auto* editRow = new wxBoxSizer(wxHORIZONTAL);
    maskField_ = new wxTextCtrl(this, ID_TEXTCTRL_RULE, wxString(), wxDefaultPosition,
                                wxDefaultSize, 0, wxDefaultValidator, "ID_TEXTCTRL_RULE");
    editRow->Add(maskField_, 1, wxEXPAND, 0);
    allowBox_ = new wxCheckBox(this, ID_CHECKBOX_RULE_ALLOW, _("Allowing"), wxDefaultPosition,
                               wxDefaultSize, 0, wxDefaultValidator, "ID_CHECKBOX_RULE_ALLOW");
    allowBox_->SetValue(false);
    allowBox_->SetToolTip(_("The rule allows"));
    editRow->Add(allowBox_, 0, wxALIGN_CENTER_VERTICAL, 0);
    column->Add(editRow, 0, wxALL | wxEXPAND, 2);

    SetSizer(column);
    column->Fit(this);
    column->SetSizeHints(this);
}

void PanelRules::BindHandlers()
{
    Bind(wxEVT_BUTTON, &PanelRules::OnBitmapButtonAddClick, this, ID_BITMAPBUTTON_ADD);
    Bind(wxEVT_BUTTON, &PanelRules::OnBitmapButtonDeleteClick, this, ID_BITMAPBUTTON_DELETE);
    Bind(wxEVT_BUTTON, &PanelRules::OnBitmapButtonUpClick, this, ID_BITMAPBUTTON_UP);
    Bind(wxEVT_BUTTON, &PanelRules::OnBitmapButtonDownClick, this, ID_BITMAPBUTTON4);
    Bind(wxEVT_BUTTON, &PanelRules::OnBitmapButtonUndoClick, this, ID_BITMAPBUTTON_UNDO);
    Bind(wxEVT_LISTBOX, &PanelRules::OnCustomBmpLbxRulesSelect, this, ID_CUSTOM_BMPLBX_RULES);
    Bind(wxEVT_CHECKBOX, &PanelRules::OnCheckBoxRuleAllowClick, this, ID_CHECKBOX_RULE_ALLOW);
}

void PanelRules::SetFolder(wxUint32 folderId, bool undeletedOnly)
{
    folderId_ = folderId;
    undeletedOnly_ = undeletedOnly;
    LoadRules();
}

void PanelRules::LoadRules()
{
    rulesList_->Clear();
    try {
        const char* sql = undeletedOnly_ ? kSqlSelectLiveRules : kSqlSelectAllRules;
        wxSQLite3ResultSet rows = ExecQuery(wxString::Format(sql, folderId_));
        while (rows.NextRow()) {
            auto item = std::make_unique<BitmapListItem>();
            item->data = static_cast<wxUint32>(rows.GetInt64(0).GetValue());
            item->text = rows.GetAsString(1);
            item->order = rows.GetInt(2);
            item->flagA = rows.GetInt(3) != 0;
            item->deleted = rows.GetInt(4) != 0;
            rulesList_->AddItem(std::move(item));
        }
    } catch (const wxSQLite3Exception&) {
        // A half-filled list would be edited as if it held all of the folder's rules.
        rulesList_->Clear();
        ShowSelectedRule();
        throw;
    }
    if (rulesList_->GetCount() > 0)
        rulesList_->SetSelection(0);
    ShowSelectedRule();
}

void PanelRules::SaveRules()
{
    if (rulesList_->GetCount() == 0)
        return;
    CommitRuleEdit();
    maskField_->DiscardEdits();  // committed: a later save must not write the rule again
    for (size_t n = 0; n < rulesList_->GetCount(); ++n) {
        BitmapListItem* rule = rulesList_->GetItem(n);
        if (!rule->changed)
            continue;
        const unsigned allow = rule->flagA ? 1 : 0;
        const unsigned deleted = rule->deleted ? 1 : 0;
        if (rule->data != 0) {
            ExecUpdate(wxString::Format(kSqlUpdateRule, rule->text, allow, rule->order, NowText(),
                                        deleted, rule->data));
        } else {
            ExecUpdate(wxString::Format(kSqlInsertRule, NewGuid(), folderId_, rule->text,
                                        rule->order, allow, NowText(), deleted));
            rule->data = LastInsertId();
        }
        rule->changed = false;
    }
}

void PanelRules::AddRule(const wxString& mask)
{
    CommitRuleEdit();
    // A mask made from a file's name is user text like a typed one.
    wxString text = mask;
    if (text.empty()) {
        text = wxGetTextFromUser(_("File mask for the new rule"), _("Add new folder rule"),
                                 wxString(), this);
    }
    text = EscapeQuotes(text);
    if (text.empty())
        return;
    const int previous = rulesList_->GetSelection();
    auto item = std::make_unique<BitmapListItem>();
    item->text = text;
    item->flagA = true;
    item->order = rulesList_->GetMaxOrder() + 5;
    BitmapListItem* added = item.get();
    rulesList_->AddItem(std::move(item));
    added->changed = true;
    added->deleted = false;
    if (previous != wxNOT_FOUND)
        rulesList_->RefreshItem(previous);
    ShowSelectedRule();
}

void PanelRules::EnableControls(bool enable)
{
    maskField_->Enable(enable);
    allowBox_->Enable(enable);
    for (wxBitmapButton* button : {addButton_, deleteButton_, upButton_, downButton_, undoButton_})
        button->Enable(enable);
}

void PanelRules::ShowSelectedRule()
{
    selectedRule_ = rulesList_->GetSelection();
    const BitmapListItem* rule =
        selectedRule_ == wxNOT_FOUND ? nullptr : rulesList_->GetItem(selectedRule_);
    // GTK keeps a text field's modified flag through ChangeValue: clear it explicitly, or the
    // next commit would flag the newly shown rule changed.
    if (rule == nullptr) {
        selectedRule_ = wxNOT_FOUND;
        allowBox_->Disable();
        maskField_->ChangeValue(wxString());
        maskField_->DiscardEdits();
        return;
    }
    allowBox_->Enable();
    maskField_->ChangeValue(rule->text);
    maskField_->DiscardEdits();
    allowBox_->SetValue(rule->flagA);
}

void PanelRules::CommitRuleEdit()
{
    BitmapListItem* rule =
        selectedRule_ == wxNOT_FOUND ? nullptr : rulesList_->GetItem(selectedRule_);
    if (rule == nullptr || !maskField_->IsModified())
        return;
    rule->flagA = allowBox_->GetValue();
    rule->text = EscapeQuotes(maskField_->GetValue());
    rule->changed = true;
    rulesList_->RefreshItem(selectedRule_);
}

void PanelRules::OnBitmapButtonAddClick(wxCommandEvent&)
{
    AddRule(wxString());
}

void PanelRules::OnBitmapButtonDeleteClick(wxCommandEvent&)
{
    BitmapListItem* rule =
        selectedRule_ == wxNOT_FOUND ? nullptr : rulesList_->GetItem(selectedRule_);
    if (rule == nullptr)
        return;
    rule->deleted = !rule->deleted;
    rule->changed = true;
    rulesList_->RefreshItem(selectedRule_);
}

void PanelRules::OnBitmapButtonUpClick(wxCommandEvent&)
{
    if (rulesList_->MoveUp(selectedRule_))
        --selectedRule_;
}

void PanelRules::OnBitmapButtonDownClick(wxCommandEvent&)
{
    if (rulesList_->MoveDown(selectedRule_))
        ++selectedRule_;
}

void PanelRules::OnBitmapButtonUndoClick(wxCommandEvent&)
{
    RunCatalogAction(_("The folder rules could not be read again."), [this] { LoadRules(); },
                     this);
}

void PanelRules::OnCustomBmpLbxRulesSelect(wxCommandEvent&)
{
    CommitRuleEdit();
    ShowSelectedRule();
}

void PanelRules::OnCheckBoxRuleAllowClick(wxCommandEvent&)
{
    maskField_->MarkDirty();
}
