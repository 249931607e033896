#include "app/main_frame.h"

#include <algorithm>

#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/toolbar.h>
#include <wx/wxsqlite3.h>

#include "editors/masks_dialog.h"
#include "editors/media_frame.h"
#include "editors/options_frame.h"
#include "editors/project_dialog.h"
#include "editors/project_select_dialog.h"
#include "editors/testbed_frame.h"
#include "run/run_dialog.h"
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

// The child windows the main window opens: run dialog, options, testbed, media manager,
// incompressible masks.

void dralvoFrame::RunDialogClosed()
{
    runDialog = nullptr;
    EnableRunTool(true);
}

void dralvoFrame::OptionsClosed()
{
    optionsWindow = nullptr;
}

void dralvoFrame::TestbedClosed()
{
    testbedWindow = nullptr;
    RunCatalogAction(_("The folder's rules could not be read."),
                     [this] { rulesPanel->SetFolder(selectedFolderId, true); }, this);
}

void dralvoFrame::OnMenuRunSelected(wxCommandEvent&)
{
    if (runDialog != nullptr)
        return;
    // The dialog lists the projects from the catalogue: a location typed here must be in it.
    StorePendingEdits();
    auto* dialog = new DialogRun(this, wxID_ANY);
    dialog->SetOwner({[this] { SavePendingEdits(); }, [this] { RunDialogClosed(); }});
    runDialog = dialog;
    dialog->CentreOnParent(wxBOTH);
    dialog->Show();
    EnableRunTool(false);
}

void dralvoFrame::OnMenuIncompressibleSelected(wxCommandEvent&)
{
    DialogBzExt dialog(this);
    dialog.Centre();
    dialog.LoadMasks();
    // The dialog writes the catalogue itself; its result needs no look.
    dialog.ShowModal();
}

void dralvoFrame::OnMenuOptionsSelected(wxCommandEvent&)
{
    if (optionsWindow != nullptr) {
        optionsWindow->Raise();
        return;
    }
    auto* window = new FrameOptions(this);
    window->SetClosedHandler([this] { OptionsClosed(); });
    optionsWindow = window;
    window->CentreOnParent();
    window->Show();
}

void dralvoFrame::OnBitmapButtonRunTestbedClick(wxCommandEvent&)
{
    if (testbedWindow != nullptr) {
        testbedWindow->Raise();
        return;
    }
    if (selectedFolderId == 0)
        return;
    if (!RunCatalogAction(_("The folder's rules could not be stored."),
                          [this] { rulesPanel->SaveRules(); }, this))
        return;
    auto* window = new FrameFolderTestbed(this);
    window->SetClosedHandler([this] { TestbedClosed(); });
    testbedWindow = window;
    window->SetFolder(selectedFolderId);
    window->CentreOnParent();
    window->Show();
}

void dralvoFrame::OnBitmapButtonMediaManagerClick(wxCommandEvent&)
{
    auto* window = new frmMedia(this);
    window->SetClosedHandler([this] {
        RunCatalogAction(_("The list of media could not be filled."),
                         [this] { RefreshMediaChoice(); }, this);
    });
    // 500 x 300, centred over this window when it is larger.
    const wxRect owner = GetRect();
    window->SetSize(wxSize(500, 300));
    window->Move(owner.x + std::max(0, owner.width - 500) / 2,
                 owner.y + std::max(0, owner.height - 300) / 2);
    window->Show();
}
