#include "editors/project_select_dialog.h"

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/wxsqlite3.h>

#include "ui/db_error.h"
#include "ui/window_utils.h"
#include "store/statements.h"

DialogProjectSelect::DialogProjectSelect(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                         const wxSize& size)
{
    Create(parent, id, _("Select project"), pos, size, wxDEFAULT_DIALOG_STYLE, "id");

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(this, ID_STATICTEXT1, _("Select project to move folder in:"),
                                 wxDefaultPosition, wxDefaultSize, 0, "ID_STATICTEXT1"),
                0, wxALL | wxALIGN_CENTER_HORIZONTAL, 2);
    projectList_ = new wxListBox(this, ID_LISTBOX_PROJECTS, wxDefaultPosition, wxSize(190, 266),
                                 0, nullptr, wxLB_SINGLE, wxDefaultValidator,
                                 "ID_LISTBOX_PROJECTS");
    column->Add(projectList_, 1, wxALL | wxEXPAND, 2);

    const OkCancelRow buttons = MakeOkCancelRow(this);
    column->Add(buttons.sizer, 0, wxALL | wxALIGN_RIGHT, 2);
    SetSizer(column);
    column->Fit(this);
    column->SetSizeHints(this);

    buttons.ok->Bind(wxEVT_BUTTON, &DialogProjectSelect::OnButtonOkClick, this);
    buttons.cancel->Bind(wxEVT_BUTTON, &DialogProjectSelect::OnButtonCancelClick, this);
    RunCatalogAction(_("The list of projects could not be read."), [this] { FillProjects(); },
                     this);
}

void DialogProjectSelect::FillProjects()
{
    FillControlFromQuery(projectList_, kSqlSelectLiveProjectsForPicker);
}

void DialogProjectSelect::OnButtonOkClick(wxCommandEvent&)
{
    wxUint32 id = 0;
    if (projectList_->GetSelection() == wxNOT_FOUND) {
        ShowMessage(nullptr, _("Please select a project!"));
        return;
    }
    projectId_ = GetSelectedItemData(projectList_, id) ? id : 0;
    Finish(wxOK);
}

void DialogProjectSelect::OnButtonCancelClick(wxCommandEvent&)
{
    Finish(wxCANCEL);
}

void DialogProjectSelect::Finish(int result)
{
    // EndDialog also ends a dialog that is shown modelessly (as the tests drive it).
    SetReturnCode(result);
    EndDialog(result);
}
