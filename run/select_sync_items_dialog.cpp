#include "run/select_sync_items_dialog.h"

#include <algorithm>

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/font.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>

#include "run/check_vlist.h"
#include "ui/window_utils.h"

namespace {

// The lines of the longest details text (a copy or a move).
constexpr int kDetailLines = 6;

wxPanel* PanelWith(wxWindow* parent, wxWindowID id, const char* name, wxWindow*& child,
                   const std::function<wxWindow*(wxPanel*)>& make)
{
    auto* panel = new wxPanel(parent, id, wxDefaultPosition, wxDefaultSize,
                              wxTAB_TRAVERSAL, name);
    child = make(panel);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(child, 1, wxALL | wxEXPAND, 2);
    panel->SetSizer(sizer);
    return panel;
}

} // namespace

DialogSelectSyncItems::DialogSelectSyncItems(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                             const wxSize& size)
{
    Create(parent, id, _("Select files to synchronize"), pos, size,
           wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER, "id");
    auto* column = new wxBoxSizer(wxVERTICAL);

    auto* tools = new wxBoxSizer(wxHORIZONTAL);
    auto* selectAll = NewBitmapButton(this, ID_BITMAPBUTTON_SELECT_ALL,
                                      "ID_BITMAPBUTTON_SELECT_ALL", "select_all",
                                      _("Select/unselect all"));
    auto* filter = NewBitmapButton(this, ID_BITMAPBUTTON_FILTER, "ID_BITMAPBUTTON_FILTER", "filter",
                                   _("Set/clear filter"));
    filterLabel_ = new wxStaticText(this, ID_STATICTEXT_FILTER, wxString(), wxDefaultPosition,
                                    wxDefaultSize, 0, "ID_STATICTEXT_FILTER");
    filterLabel_->SetForegroundColour(wxColour(221, 0, 0));
    filterLabel_->SetFont(wxFont(10, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD,
                                 false, "Arial"));
    tools->Add(selectAll, 0, wxALL, 2);
    tools->Add(filter, 0, wxALL, 2);
    tools->Add(filterLabel_, 1, wxALL | wxALIGN_CENTER_VERTICAL, 4);
    column->Add(tools, 0, wxEXPAND);

    auto* splitter = new wxSplitterWindow(this, ID_SPLITTERWINDOW_SYNC, wxDefaultPosition,
                                          wxDefaultSize, wxSP_3D, "ID_SPLITTERWINDOW_SYNC");
    splitter->SetMinimumPaneSize(10);
    wxWindow* list = nullptr;
    wxWindow* details = nullptr;
    auto* top = PanelWith(splitter, ID_PANEL_TOP, "ID_PANEL_TOP", list, [](wxPanel* panel) {
        return new swxCheckVListBox(panel, ID_CHECKLISTBOX_PAIRS, wxSize(358, 268),
                                    "ID_CHECKLISTBOX_PAIRS");
    });
    auto* bottom = PanelWith(splitter, ID_PANEL_BOTTOM, "ID_PANEL_BOTTOM", details,
                             [](wxPanel* panel) {
        auto* text = new wxTextCtrl(panel, ID_TEXTCTRL_DETAILS, wxString(), wxDefaultPosition,
                                    wxSize(358, 101),
                                    wxTE_MULTILINE | wxTE_READONLY | wxHSCROLL | wxVSCROLL,
                                    wxDefaultValidator, "ID_TEXTCTRL_DETAILS");
        // Tall enough for every line of the details with the font in use, and half a line.
        const int lines = kDetailLines * text->GetCharHeight() + text->GetCharHeight() / 2;
        const int height = text->GetSizeFromTextSize(358, lines).y;
        text->SetInitialSize(wxSize(358, std::max(101, height)));
        return text;
    });
    list_ = static_cast<swxCheckVListBox*>(list);
    details_ = static_cast<wxTextCtrl*>(details);
    // The bottom pane starts at its own height: the details show whole.
    splitter->SplitHorizontally(top, bottom, top->GetBestSize().y);
    column->Add(splitter, 1, wxEXPAND);

    const OkCancelRow buttons = MakeOkCancelRow(this);
    column->Add(buttons.sizer, 0, wxALL | wxALIGN_RIGHT, 2);
    SetSizer(column);
    column->Fit(this);
    column->SetSizeHints(this);

    list_->SetSource(
        [this](size_t row) { return RowText((*records_)[rows_[row]]); },
        [this](size_t row) { return (*records_)[rows_[row]].item->selected; });
    selectAll->Bind(wxEVT_BUTTON, &DialogSelectSyncItems::OnBitmapButtonSelectAllClick, this);
    filter->Bind(wxEVT_BUTTON, &DialogSelectSyncItems::OnBitmapButtonFilterClick, this);
    Bind(wxEVT_MENU, &DialogSelectSyncItems::OnFilterMenu, this, RF_NONE, RF_CONTAINS);
    list_->Bind(wxEVT_CHECKLISTBOX, &DialogSelectSyncItems::OnCheckListBoxPairsToggled, this);
    list_->Bind(wxEVT_LISTBOX, &DialogSelectSyncItems::OnCheckListBoxPairsSelect, this);
    buttons.ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(wxOK); });
    buttons.cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(wxCANCEL); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Finish(wxCANCEL); });
}

void DialogSelectSyncItems::SetItems(std::vector<ReviewItem>* records)
{
    records_ = records;
    FillList();
}

void DialogSelectSyncItems::FillList()
{
    rows_.clear();
    if (records_ != nullptr)
        rows_ = FilterRecords(*records_, filter_);
    list_->SetRowCount(rows_.size());
    list_->SetSelection(rows_.empty() ? wxNOT_FOUND : 0);
    ShowDetails();
}

const ReviewItem* DialogSelectSyncItems::SelectedRecord() const
{
    const int row = list_->GetSelection();
    if (row == wxNOT_FOUND || static_cast<size_t>(row) >= rows_.size())
        return nullptr;
    return &(*records_)[rows_[static_cast<size_t>(row)]];
}

void DialogSelectSyncItems::ShowDetails()
{
    const ReviewItem* record = SelectedRecord();
    details_->ChangeValue(record ? DetailsText(*record) : wxString());
}

void DialogSelectSyncItems::ApplyFilterEntry(int kind)
{
    const ReviewItem* record = SelectedRecord();
    ReviewFilter next;
    if (kind == RF_BEGINS || kind == RF_CONTAINS) {
        const wxString message = kind == RF_BEGINS ? _("Path must begin on") : _("Path must contain");
        const wxString typed = wxGetTextFromUser(message, _("Set filter"),
                                                 record ? record->relativeTarget : wxString(), this);
        if (typed.empty())
            return;
        next = MakeFilter(kind, record, typed);
    } else if (kind == RF_NONE) {
        next = MakeFilter(RF_NONE, nullptr);
        next.value = filter_.value;  // kept, as the menu leaves it
    } else {
        if (record == nullptr)
            return;
        next = MakeFilter(kind, record);
    }
    filter_ = next;
    filterLabel_->SetLabelText(filter_.label);
    Layout();
    FillList();
}

void DialogSelectSyncItems::OnBitmapButtonSelectAllClick(wxCommandEvent&)
{
    if (records_ != nullptr && ToggleAllRows(*records_, rows_))
        list_->Refresh();
}

void DialogSelectSyncItems::FillFilterMenu(wxMenu& menu) const
{
    if (const ReviewItem* record = SelectedRecord()) {
        // Names may hold "&", which a menu would take for a mnemonic, and a tab, which would
        // start an accelerator.
        for (const int kind : {RF_EXTENSION, RF_NAME, RF_PROJECT, RF_FOLDER})
            menu.Append(kind, EscapeMnemonics(FilterMenuText(kind, *record)));
        menu.AppendSeparator();
    }
    menu.Append(RF_BEGINS, _("Begins on..."));
    menu.Append(RF_CONTAINS, _("Contains..."));
    menu.AppendSeparator();
    menu.Append(RF_NONE, _("Reset filter"));
}

void DialogSelectSyncItems::OnBitmapButtonFilterClick(wxCommandEvent&)
{
    wxMenu menu(_("Filter"));
    FillFilterMenu(menu);
    // The menu lives on the stack and goes when it has closed.
    PopupMenu(&menu);
}

void DialogSelectSyncItems::OnFilterMenu(wxCommandEvent& event)
{
    ApplyFilterEntry(event.GetId());
}

void DialogSelectSyncItems::OnCheckListBoxPairsToggled(wxCommandEvent& event)
{
    const auto row = static_cast<size_t>(event.GetInt());
    if (records_ == nullptr || row >= rows_.size())
        return;
    SyncItem& item = *(*records_)[rows_[row]].item;
    item.selected = !item.selected;
}

void DialogSelectSyncItems::OnCheckListBoxPairsSelect(wxCommandEvent&)
{
    ShowDetails();
}

void DialogSelectSyncItems::Finish(int result)
{
    SetReturnCode(result);
    EndDialog(result);
}
