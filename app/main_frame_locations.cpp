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

// Locations on this station and on media, and the medium choice.

void dralvoFrame::RefreshMediaChoice()
{
    SaveMediaDirEdit();
    selectedMediumId = 0;
    selectedMedium.reset();
    mediumChoice->Clear();
    mediumChoiceDrives.clear();
    mediumChoiceConnectedOnly = connectedOnlyBox->GetValue();
    if (mediumChoiceConnectedOnly) {
        for (const ConnectedMediumPtr& drive : connectedMedia) {
            if (drive->mediumId == 0)
                continue;
            mediumChoice->Append(drive->displayName, IdData(drive->mediumId));
            mediumChoiceDrives.push_back(drive);
        }
        if (!mediumChoice->IsEmpty())
            mediumChoice->SetSelection(0);
    } else {
        FillControlFromQuery(mediumChoice, kSqlSelectLiveMedia);
    }
    ShowMediumLocation();
}

int dralvoFrame::MediumEntryIndex() const
{
    if (!mediumChoiceConnectedOnly)
        return FindItemByData(mediumChoice, selectedMediumId);
    const auto found = std::find(mediumChoiceDrives.begin(), mediumChoiceDrives.end(),
                                 selectedMedium);
    return found == mediumChoiceDrives.end()
               ? wxNOT_FOUND
               : static_cast<int>(found - mediumChoiceDrives.begin());
}

void dralvoFrame::ShowMediumLocation()
{
    wxUint32 mediumId = 0;
    if (selectedProjectId == 0 || !GetSelectedItemData(mediumChoice, mediumId)) {
        selectedMediumId = 0;
        selectedMedium.reset();
        SetFieldText(mediumDirField, wxString());
        mediumDirButton->Disable();
        return;
    }
    selectedMediumId = mediumId;
    selectedMedium = mediumChoiceConnectedOnly
                         ? mediumChoiceDrives.at(mediumChoice->GetSelection())
                         : FindConnectedMedium(mediumId);
    wxSQLite3ResultSet rows = ExecQuery(
        wxString::Format(kSqlSelectMediumProjectFolder, selectedProjectId, selectedMediumId));
    if (!rows.NextRow()) {
        SetFieldText(mediumDirField, wxString());
        mediumDirButton->Enable(mediumChoiceConnectedOnly);
        return;
    }
    const wxString stored = rows.GetAsString(0);
    // A location that would lead outside the medium is shown as stored, never as a path.
    const std::optional<wxString> path =
        selectedMedium ? MediumPathFromLocation(selectedMedium->root, stored) : std::nullopt;
    SetFieldText(mediumDirField, path.value_or(stored));
    mediumDirButton->Enable(selectedMedium != nullptr);
}

void dralvoFrame::StoreMediumLocation(const wxString& location)
{
    const wxString now = NowText();
    const wxString count =
        wxString::Format(kSqlCountMediumProjects, selectedProjectId, selectedMediumId);
    if (ExecScalar(count) > 0)
        ExecUpdate(wxString::Format(kSqlUpdateMediumProjectFolder, location, now,
                                    selectedProjectId, selectedMediumId));
    else
        ExecUpdate(wxString::Format(kSqlInsertMediumProject, NewGuid(), location, now,
                                    selectedProjectId, selectedMediumId));
}

void dralvoFrame::SaveMediaDirEdit()
{
    if (!mediumDirField->IsModified() || selectedProjectId == 0 || selectedMediumId == 0)
        return;
    const wxString root = selectedMedium ? selectedMedium->root : wxString();
    StoreMediumLocation(EscapeQuotes(LocationFromTyped(mediumDirField->GetValue(), root)));
    // Stored: only a new keystroke makes it pending again.
    mediumDirField->DiscardEdits();
}

void dralvoFrame::OnChoiceMediaSelect(wxCommandEvent&)
{
    // A typed location belongs to the medium shown so far; when it cannot be stored that
    // medium stays shown with the text.
    if (!RunCatalogAction(_("The project's location on the medium could not be stored."),
                          [this] { SaveMediaDirEdit(); }, this)) {
        mediumChoice->SetSelection(MediumEntryIndex());
        return;
    }
    RunCatalogAction(_("The project's location on the medium could not be read."),
                     [this] { ShowMediumLocation(); }, this);
}

void dralvoFrame::OnCheckBoxConnectedMediaClick(wxCommandEvent&)
{
    if (!RunCatalogAction(_("The list of media could not be filled."),
                          [this] { RefreshMediaChoice(); }, this))
        connectedOnlyBox->SetValue(mediumChoiceConnectedOnly);
}

void dralvoFrame::OnMenuRefreshMediaSelected(wxCommandEvent&)
{
    RunCatalogAction(_("The connected media could not be listed."), [this] {
        SaveMediaDirEdit();
        EnumerateConnectedMedia(soShowAllDrives);
        RefreshMediaChoice();
    }, this);
}

void dralvoFrame::OnBitmapButtonMediaDirClick(wxCommandEvent&)
{
    if (selectedProjectId == 0 || selectedMediumId == 0 || !selectedMedium)
        return;
    const ConnectedMediumPtr drive = selectedMedium;
    const wxString chosen = BrowseForFolder(this, mediumDirField->GetValue(),
                                            _("Select project folder on the media"));
    if (chosen.empty())
        return;
    const std::optional<wxString> location = LocationBelowRoot(chosen, drive->root);
    if (!location) {
        ShowMessage(this, _("Selected directory is out of mount point of the medium!"));
        return;
    }
    RunCatalogAction(_("The project's location on the medium could not be stored."), [&] {
        StoreMediumLocation(EscapeQuotes(*location));
        SetFieldText(mediumDirField, EscapeQuotes(chosen));
    }, this);
}

void dralvoFrame::OnBitmapButtonLocalDirClick(wxCommandEvent&)
{
    const int selection = folderList->GetSelection();
    if (selectedFolderId == 0 || selection == wxNOT_FOUND)
        return;
    const wxString chosen = EscapeQuotes(
        BrowseForFolder(this, localDirField->GetValue(),
                        _("Choose virtual folder projection on the local computer")));
    if (chosen.empty())
        return;
    RunCatalogAction(_("The folder's location on this computer could not be stored."), [&] {
        BitmapListItem* item = folderList->GetItem(selection);
        if (item->flagA) {
            ExecUpdate(wxString::Format(kSqlUpdateStationFolder, chosen, NowText(),
                                        selectedFolderId, stationId));
        } else {
            ExecUpdate(wxString::Format(kSqlInsertStationFolder, NewGuid(), selectedFolderId,
                                        stationId, chosen, NowText()));
            item->flagA = true;
            folderList->RefreshItem(selection);
        }
        SetFieldText(localDirField, chosen);
    }, this);
}
