#include "app/main_frame.h"

#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/toolbar.h>
#include <wx/wxsqlite3.h>

#include "editors/project_dialog.h"
#include "editors/project_select_dialog.h"
#include "store/catalog.h"
#include "store/database.h"
#include "store/guid.h"
#include "store/medium_paths.h"
#include "store/options.h"
#include "store/statements.h"
#include "ui/bitmap_list.h"
#include "ui/db_error.h"
#include "ui/rules_panel.h"
#include "ui/window_utils.h"

// Projects and virtual folders.

void dralvoFrame::RefreshProjects()
{
    RunCatalogAction(_("The list of projects could not be read."), [this] {
        FillControlFromQuery(projectChoice, kSqlSelectLiveProjects);
        if (projectChoice->IsEmpty()) {
            selectedProjectId = 0;
            ClearProjectDetails();
            EnableProjectControls(false);
        } else {
            FillFolderList();
        }
    }, this);
}

void dralvoFrame::FillFolderList()
{
    wxUint32 projectId = 0;
    if (!GetSelectedItemData(projectChoice, projectId)) {
        selectedProjectId = 0;
        ClearProjectDetails();
        EnableProjectControls(false);
        return;
    }
    selectedProjectId = projectId;
    wxSQLite3ResultSet rows =
        ExecQuery(wxString::Format(kSqlSelectProjectFolders, stationId, selectedProjectId));
    folderList->Clear();
    while (rows.NextRow())
        folderList->Append(rows.GetAsString(1),
                           static_cast<wxUint32>(rows.GetInt64(0).GetValue()), !rows.IsNull(2));
    EnableProjectControls(true);
    if (folderList->GetCount() > 0)
        folderList->SetSelection(0);
    ShowSelectedFolder();
    ShowMediumLocation();
}

void dralvoFrame::ShowSelectedFolder()
{
    selectedFolderId = folderList->GetSelectedData();
    if (selectedProjectId == 0 || selectedFolderId == 0) {
        ClearFolderDetails();
        EnableFolderControls(false);
        return;
    }
    wxSQLite3ResultSet rows =
        ExecQuery(wxString::Format(kSqlSelectLiveStationFolder, selectedFolderId, stationId));
    SetFieldText(localDirField, rows.NextRow() ? rows.GetAsString(0) : wxString());
    EnableFolderControls(true);
    rulesPanel->SetFolder(selectedFolderId, true);
}

void dralvoFrame::ClearProjectDetails()
{
    SetFieldText(mediumDirField, wxString());
    ClearFolderDetails();
    folderList->Clear();
    // No folder is shown any more, so no command may act on the one shown before.
    selectedFolderId = 0;
}

void dralvoFrame::ClearFolderDetails()
{
    SetFieldText(localDirField, wxString());
    rulesPanel->GetRulesList()->Clear();
    rulesPanel->ShowSelectedRule();
}

void dralvoFrame::SelectFolderAfterRemoval(int removed)
{
    const int count = static_cast<int>(folderList->GetCount());
    folderList->SetSelection(count == 0 ? wxNOT_FOUND : std::min(removed, count - 1));
}

int dralvoFrame::FolderItemIndex(wxUint32 folderId) const
{
    for (size_t n = 0; n < folderList->GetCount(); ++n)
        if (folderList->GetItem(n)->data == folderId)
            return static_cast<int>(n);
    return wxNOT_FOUND;
}

void dralvoFrame::OnChoiceProjectSelect(wxCommandEvent&)
{
    // The edits belong to the project shown so far; when they cannot be stored it stays shown.
    if (!StorePendingEdits()) {
        projectChoice->SetSelection(FindItemByData(projectChoice, selectedProjectId));
        return;
    }
    RunCatalogAction(_("The project's folders could not be read."), [this] { FillFolderList(); },
                     this);
}

void dralvoFrame::OnBitmapListBoxFoldersSelect(wxCommandEvent&)
{
    if (!StoreFolderRules()) {
        folderList->SetSelection(FolderItemIndex(selectedFolderId));
        return;
    }
    RunCatalogAction(_("The folder could not be shown."), [this] { ShowSelectedFolder(); }, this);
}

void dralvoFrame::OnBitmapButtonAddClick(wxCommandEvent&)
{
    if (!StorePendingEdits())
        return;
    const wxString name = EscapeQuotes(wxGetTextFromUser(_("Enter name of the new project"),
                                                         _("Adding project"), wxString(), this));
    if (name.empty())
        return;
    RunCatalogAction(_("The project could not be added."), [&] {
        if (ExecScalar(wxString::Format(kSqlCountProjectsCaptionLike, name)) > 0) {
            ShowMessage(this, wxString::Format(_("Project \"%s\" already exists!"), name));
            return;
        }
        ExecUpdate(wxString::Format(kSqlInsertProject, NewGuid(), name, NowText()));
        const wxUint32 id = LastInsertId();
        projectChoice->SetSelection(projectChoice->Append(name, IdData(id)));
        FillFolderList();
    }, this);
}

void dralvoFrame::OnBitmapButtonDeleteClick(wxCommandEvent&)
{
    const int selection = projectChoice->GetSelection();
    if (selectedProjectId == 0 || selection == wxNOT_FOUND)
        return;
    if (!AskYesNo(this, _("Do you really wish to delete this project?"),
                  _("Delete synchronization project")))
        return;
    RunCatalogAction(_("The project could not be deleted."), [&] {
        ExecUpdate(wxString::Format(kSqlMarkProjectDeleted, NowText(), selectedProjectId));
        projectChoice->Delete(selection);
        const int count = static_cast<int>(projectChoice->GetCount());
        if (count > 0)
            projectChoice->SetSelection(std::min(selection, count - 1));
        FillFolderList();
    }, this);
}

void dralvoFrame::OnBitmapButtonRenameClick(wxCommandEvent&)
{
    const int selection = projectChoice->GetSelection();
    if (selectedProjectId == 0 || selection == wxNOT_FOUND)
        return;
    DialogProject dialog(this);
    dialog.Centre(wxBOTH);
    if (!RunCatalogAction(_("The project could not be read."),
                          [&] { dialog.LoadProject(selectedProjectId); }, this))
        return;
    if (dialog.ShowModal() != wxOK)
        return;
    projectChoice->SetString(selection, dialog.GetCaption());
    projectChoice->SetSelection(selection);
}

void dralvoFrame::OnBitmapButtonDirAddClick(wxCommandEvent&)
{
    if (!StoreFolderRules())
        return;
    if (selectedProjectId == 0 || projectChoice->GetSelection() == wxNOT_FOUND)
        return;
    const wxString project = projectChoice->GetStringSelection();
    const wxString name = EscapeQuotes(wxGetTextFromUser(
        wxString::Format(_("Add new folder for the \"%s\" project"), project),
        _("Add new virtual folder"), wxString(), this));
    if (name.empty())
        return;
    RunCatalogAction(_("The virtual folder could not be added."), [&] {
        if (ExecScalar(wxString::Format(kSqlCountFoldersNamedLike, selectedProjectId, name)) > 0) {
            ShowMessage(this, wxString::Format(_("Project \"%s\" already contains folder \"%s\"!"),
                                               project, name));
            return;
        }
        ExecUpdate(
            wxString::Format(kSqlInsertFolder, NewGuid(), selectedProjectId, name, NowText()));
        folderList->Append(name, LastInsertId(), false);
        ShowSelectedFolder();
    }, this);
}

void dralvoFrame::OnBitmapButtonDirDeleteClick(wxCommandEvent&)
{
    if (!StoreFolderRules())
        return;
    const int selection = folderList->GetSelection();
    if (selectedFolderId == 0 || selection == wxNOT_FOUND)
        return;
    if (!AskYesNo(this, _("Do you really wish to delete this folder from project?"),
                  _("Delete virtual folder")))
        return;
    RunCatalogAction(_("The virtual folder could not be deleted."), [&] {
        ExecUpdate(wxString::Format(kSqlMarkFolderDeleted, NowText(), selectedFolderId));
        folderList->DeleteItem(selection);
        SelectFolderAfterRemoval(selection);
        ShowSelectedFolder();
    }, this);
}

void dralvoFrame::OnBitmapButtonDirRenameClick(wxCommandEvent&)
{
    const int selection = folderList->GetSelection();
    if (selectedProjectId == 0 || selectedFolderId == 0 || selection == wxNOT_FOUND)
        return;
    const wxString current = folderList->GetItemText(selection);
    const wxString name = EscapeQuotes(wxGetTextFromUser(
        _("Enter new name of the folder"), _("Rename virtual folder"), current, this));
    if (name.empty() || name == current)
        return;
    RunCatalogAction(_("The virtual folder could not be renamed."), [&] {
        if (ExecScalar(wxString::Format(kSqlCountFoldersNamedLike, selectedProjectId, name)) > 0) {
            ShowMessage(this,
                        wxString::Format(_("Virtual folder \"%s\" is not unique for the project!"),
                                         name));
            return;
        }
        ExecUpdate(wxString::Format(kSqlRenameFolder, name, NowText(), selectedFolderId));
        folderList->SetItemText(selection, name);
        folderList->SetSelection(selection);
    }, this);
}

void dralvoFrame::OnBitmapButtonDirMoveClick(wxCommandEvent&)
{
    if (!StoreFolderRules())
        return;
    if (selectedProjectId == 0 || selectedFolderId == 0)
        return;
    DialogProjectSelect dialog(this);
    dialog.Centre(wxBOTH);
    if (dialog.ShowModal() != wxOK || dialog.GetProjectId() == 0)
        return;
    RunCatalogAction(_("The virtual folder could not be moved."), [&] {
        ExecUpdate(wxString::Format(kSqlMoveFolderToProject, dialog.GetProjectId(), NowText(),
                                    selectedFolderId));
        const int selection = folderList->GetSelection();
        if (selection != wxNOT_FOUND) {
            folderList->DeleteItem(selection);
            SelectFolderAfterRemoval(selection);
        }
        ShowSelectedFolder();
    }, this);
}
