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
    // The run dialog is not part of the program yet; once it is, it opens here (kept in
    // runDialog, centred over this window, modeless) and the Run tool is disabled.
}

void dralvoFrame::OnMenuIncompressibleSelected(wxCommandEvent&)
{
    // The incompressible-masks editor is not part of the program yet; it opens here modally.
}

void dralvoFrame::OnMenuOptionsSelected(wxCommandEvent&)
{
    if (optionsWindow != nullptr) {
        optionsWindow->Raise();
        return;
    }
    // The options window is not part of the program yet; once it is, it opens here and is
    // kept in optionsWindow.
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
    // The rules testbed is not part of the program yet; once it is, it opens here for
    // selectedFolderId and is kept in testbedWindow.
}

void dralvoFrame::OnBitmapButtonMediaManagerClick(wxCommandEvent&)
{
    // The media manager is not part of the program yet; a new one opens here every time.
}
