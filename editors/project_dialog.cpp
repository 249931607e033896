#include "editors/project_dialog.h"

#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/wxsqlite3.h>

#include "ui/db_error.h"
#include "ui/window_utils.h"
#include "store/database.h"
#include "store/guid.h"
#include "store/statements.h"

namespace {

constexpr int kLargestLimit = 65536;

wxSpinCtrl* MakeLimit(wxWindow* parent, wxWindowID id, const char* name,
                      const wxString& tooltip)
{
    // No wxSP_ARROW_KEYS: the arrow keys move between the fields, not the value.
    auto* spin = new wxSpinCtrl(parent, id, "0", wxDefaultPosition, wxDefaultSize, 0, 0,
                                kLargestLimit, 0, name);
    spin->SetToolTip(tooltip);
    return spin;
}

} // namespace

DialogProject::DialogProject(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                             const wxSize& size)
{
    Create(parent, id, wxString(), pos, size, wxDEFAULT_DIALOG_STYLE, "id");
    SetClientSize(wxSize(444, 267));
    Move(wxDefaultPosition);

    auto* grid = new wxFlexGridSizer(2, 0, 0);
    grid->AddGrowableCol(1);
    const auto addRow = [&](wxWindowID labelId, const char* labelName, const wxString& label,
                            wxWindow* control) {
        grid->Add(new wxStaticText(this, labelId, label, wxDefaultPosition, wxDefaultSize, 0,
                                   labelName),
                  0, wxALL | wxALIGN_CENTER_VERTICAL, 2);
        grid->Add(control, 1, wxALL | wxEXPAND, 2);
    };
    captionField_ = new wxTextCtrl(this, ID_TEXTCTRL_CAPTION, wxString(), wxDefaultPosition,
                                   wxDefaultSize, 0, wxDefaultValidator, "ID_TEXTCTRL_CAPTION");
    addRow(ID_STATICTEXT1, "ID_STATICTEXT1", _("Caption"), captionField_);
    sizeLimit_ = MakeLimit(this, ID_SPINCTRL_SIZE, "ID_SPINCTRL_SIZE",
                           _("Do not copy/move files larger then this value"));
    addRow(ID_STATICTEXT2, "ID_STATICTEXT2", _("Ignore files with size above, Mb"), sizeLimit_);
    compressLimit_ = MakeLimit(this, ID_SPINCTRL_BZ, "ID_SPINCTRL_BZ",
                               _("BZ2-compress only files smaller then this value"));
    addRow(ID_STATICTEXT3, "ID_STATICTEXT3", _("Don't compress files with size above, Mb"),
           compressLimit_);

    const OkCancelRow buttons = MakeOkCancelRow(this);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid, 1, wxALL | wxEXPAND, 2);
    column->Add(buttons.sizer, 0, wxALL | wxALIGN_RIGHT, 2);
    SetSizer(column);
    column->SetSizeHints(this);
    SetClientSize(wxSize(444, 267));

    buttons.ok->Bind(wxEVT_BUTTON, &DialogProject::OnButtonOkClick, this);
    buttons.cancel->Bind(wxEVT_BUTTON, &DialogProject::OnButtonCancelClick, this);
}

void DialogProject::LoadProject(wxUint32 projectId)
{
    projectId_ = projectId;
    wxSQLite3ResultSet row = ExecQuery(wxString::Format(kSqlSelectProjectProperties, projectId));
    if (!row.NextRow()) {
        captionField_->ChangeValue(wxString());
        sizeLimit_->SetValue(0);
        compressLimit_->SetValue(0);
        SetTitle(_("Unknown project"));
        return;
    }
    caption_ = row.GetAsString(0);
    captionField_->ChangeValue(caption_);
    sizeLimit_->SetValue(row.GetInt(1));
    compressLimit_->SetValue(row.GetInt(2));
    SetTitle(wxString::Format(_("%s: properties"), caption_));
}

void DialogProject::OnButtonOkClick(wxCommandEvent&)
{
    const wxString caption = EscapeQuotes(captionField_->GetValue());
    caption_ = caption;
    RunCatalogAction(_("The project could not be saved."), [&] {
        if (ExecScalar(wxString::Format(kSqlCountOtherProjectsCaptionLike, caption, projectId_)) > 0) {
            ShowMessage(nullptr, _("Project with this name already exists!"));
            return;
        }
        const unsigned sizeLimit = static_cast<unsigned>(sizeLimit_->GetValue());
        const unsigned compressLimit = static_cast<unsigned>(compressLimit_->GetValue());
        ExecUpdate(wxString::Format(kSqlUpdateProjectProperties, caption, sizeLimit, compressLimit,
                                    NowText(), projectId_));
        Finish(wxOK);
    }, this);
}

void DialogProject::OnButtonCancelClick(wxCommandEvent&)
{
    Finish(wxCANCEL);
}

void DialogProject::Finish(int result)
{
    // EndDialog also ends a dialog that is shown modelessly (as the tests drive it).
    SetReturnCode(result);
    EndDialog(result);
}
