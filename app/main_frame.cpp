#include "app/main_frame.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include <wx/artprov.h>
#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/gauge.h>
#include <wx/icon.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/toolbar.h>
#include <wx/html/helpctrl.h>
#include <wx/wxsqlite3.h>

#include "exchange/dralvo_import.h"
#include "ui/bitmap_list.h"
#include "ui/db_error.h"
#include "ui/rules_panel.h"
#include "app/version.h"
#include "ui/window_utils.h"
#include "editors/project_dialog.h"
#include "run/run_dialog.h"
#include "editors/project_select_dialog.h"
#include "store/catalog.h"
#include "store/database.h"
#include "store/guid.h"
#include "store/medium_paths.h"
#include "store/options.h"
#include "store/statements.h"

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
constexpr int kChoiceMinWidth = 120;

// Halves rounded toward negative infinity, so a display smaller than the window still
// centres it the same way on every platform.
int FloorHalf(int value)
{
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

} // namespace

wxString GetVersionCaption()
{
    return wxString::Format("Dralvo v. %s", kDralvoVersion);
}

// ---------------------------------------------------------------------------------------------
// Construction

dralvoFrame::dralvoFrame(wxWindow* parent, wxWindowID id)
{
    Create(parent, id, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxDEFAULT_FRAME_STYLE,
           "id");
    SetClientSize(548, 410);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    CreateControls();
    BindHandlers();
    SetProgramIcon(this);
    SetTitle(GetVersionCaption());
    PlaceOnDisplay();
    folderList->SetBitmaps(NamedBitmap("tick"), NamedBitmap("minus"), NamedBitmap("recycled"));
    rulesPanel->EnableControls(false);
    RunCatalogAction(_("The connected media could not be listed."), [this] {
        EnumerateConnectedMedia(soShowAllDrives);
        RefreshMediaChoice();
    }, this);
}

dralvoFrame::~dralvoFrame()
{
    // A run dialog that goes with this window must not call back into it.
    if (auto* dialog = dynamic_cast<DialogRun*>(runDialog))
        dialog->SetOwner({});
    // The import posts to this window and uses the catalogue: it ends first.
    StopImport();
    if (optionsWindow != nullptr)
        optionsWindow->Destroy();
    connectedMedia.clear();
}

void dralvoFrame::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    CreateProjectRow(this, top);
    top->Add(new wxStaticLine(this, ID_STATICLINE1, wxDefaultPosition, wxSize(10, -1),
                              wxLI_HORIZONTAL, "ID_STATICLINE1"),
             0, wxALL | wxEXPAND, 4);
    CreateMediumRows(this, top);
    CreateSplitter(this, top);
    SetSizer(top);
    CreateMenus();
    CreateStatusAndToolBars();
    top->SetSizeHints(this);
}

void dralvoFrame::CreateProjectRow(wxWindow* parent, wxSizer* sizer)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(parent, ID_STATICTEXT4, _("Project"), wxDefaultPosition,
                              wxDefaultSize, 0, "ID_STATICTEXT4"),
             0, wxALL | wxALIGN_CENTER_VERTICAL, 4);
    projectChoice = new wxChoice(parent, ID_CHOICE_PROJECT, wxDefaultPosition, wxDefaultSize, 0,
                                 nullptr, 0, wxDefaultValidator, "ID_CHOICE_PROJECT");
    // The minimum width must not follow the longest caption, or the window's minimum size
    // would be too small once the list is filled.
    projectChoice->SetMinSize(wxSize(kChoiceMinWidth, -1));
    row->Add(projectChoice, 1, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    addProjectButton = NewBitmapButton(parent, ID_BITMAPBUTTON_ADD, "ID_BITMAPBUTTON_ADD", "plus",
                                       _("Add synchronization project"),
                                       _("Create new empty synchronization project"));
    deleteProjectButton =
        NewBitmapButton(parent, ID_BITMAPBUTTON_DELETE, "ID_BITMAPBUTTON_DELETE", "minus",
                        _("Delete project"), _("Delete currently selected project"));
    projectPropertiesButton =
        NewBitmapButton(parent, ID_BITMAPBUTTON_RENAME, "ID_BITMAPBUTTON_RENAME", "properties",
                        _("Properties"), _("Edit project properties"));
    for (wxWindow* button : {addProjectButton, deleteProjectButton, projectPropertiesButton})
        row->Add(button, 0, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    sizer->Add(row, 0, wxALL | wxEXPAND, 2);
}

void dralvoFrame::CreateMediumRows(wxWindow* parent, wxSizer* sizer)
{
    auto* choiceRow = new wxBoxSizer(wxHORIZONTAL);
    choiceRow->Add(new wxStaticText(parent, ID_STATICTEXT1, _("Project location on media:"),
                                    wxDefaultPosition, wxDefaultSize, 0, "ID_STATICTEXT1"),
                   0, wxALL | wxALIGN_CENTER_VERTICAL, 4);
    mediumChoice = new wxChoice(parent, ID_CHOICE_MEDIA, wxDefaultPosition, wxDefaultSize, 0,
                                nullptr, 0, wxDefaultValidator, "ID_CHOICE_MEDIA");
    mediumChoice->SetToolTip(_("Media known to the Dralvo"));
    mediumChoice->SetMinSize(wxSize(kChoiceMinWidth, -1));
    choiceRow->Add(mediumChoice, 1, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    mediaManagerButton = NewBitmapButton(parent, ID_BITMAPBUTTON_MEDIA_MANAGER,
                                         "ID_BITMAPBUTTON_MEDIA_MANAGER", "properties",
                                         _("Manage media"));
    choiceRow->Add(mediaManagerButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    connectedOnlyBox = new wxCheckBox(parent, ID_CHECKBOX_CONNECTDED_MEDIA, _("Connected only"),
                                      wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator,
                                      "ID_CHECKBOX_CONNECTDED_MEDIA");
    connectedOnlyBox->SetToolTip(_("Show only connected to the computer media"));
    choiceRow->Add(connectedOnlyBox, 0, wxALL | wxALIGN_CENTER_VERTICAL, 4);
    sizer->Add(choiceRow, 0, wxLEFT | wxRIGHT | wxEXPAND, 2);

    auto* dirRow = new wxBoxSizer(wxHORIZONTAL);
    mediumDirField = new wxTextCtrl(parent, ID_TEXTCTRL_MEDIA_DIR, _("Text"), wxDefaultPosition,
                                    wxDefaultSize, 0, wxDefaultValidator,
                                    "ID_TEXTCTRL_MEDIA_DIR");
    mediumDirField->SetToolTip(_("Project location on the medium"));
    dirRow->Add(mediumDirField, 1, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    mediumDirButton = NewBitmapButton(parent, ID_BITMAPBUTTON_MEDIA_DIR,
                                      "ID_BITMAPBUTTON_MEDIA_DIR", "save", _("Browse"));
    dirRow->Add(mediumDirButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    sizer->Add(dirRow, 0, wxLEFT | wxRIGHT | wxEXPAND, 2);
}

void dralvoFrame::CreateSplitter(wxWindow* parent, wxSizer* sizer)
{
    auto* splitter = new wxSplitterWindow(parent, ID_SPLITTERWINDOW_VERT, wxDefaultPosition,
                                          wxDefaultSize, wxSP_3D, "ID_SPLITTERWINDOW_VERT");
    splitter->SetMinSize(wxSize(100, 100));
    splitter->SetMinimumPaneSize(100);

    auto* left = new wxPanel(splitter, ID_PANEL_LEFT, wxDefaultPosition, wxDefaultSize,
                             wxBORDER_SUNKEN | wxTAB_TRAVERSAL, "ID_PANEL_LEFT");
    auto* leftSizer = new wxBoxSizer(wxVERTICAL);
    auto* folderButtons = new wxBoxSizer(wxHORIZONTAL);
    addFolderButton = NewBitmapButton(left, ID_BITMAPBUTTON_DIR_ADD, "ID_BITMAPBUTTON_DIR_ADD",
                                      "plus", _("Add folder"),
                                      _("Add new virtual folder to the project"));
    deleteFolderButton = NewBitmapButton(left, ID_BITMAPBUTTON_DIR_DELETE,
                                         "ID_BITMAPBUTTON_DIR_DELETE", "minus", _("Delete folder"),
                                         _("Delete currently selected folder from the project"));
    renameFolderButton = NewBitmapButton(left, ID_BITMAPBUTTON_DIR_RENAME,
                                         "ID_BITMAPBUTTON_DIR_RENAME", "properties",
                                         _("Rename folder"), _("Rename currently selected folder"));
    moveFolderButton = NewBitmapButton(left, ID_BITMAPBUTTON_DIR_MOVE, "ID_BITMAPBUTTON_DIR_MOVE",
                                       "move", _("Move folder"),
                                       _("Move this folder to other project"));
    for (wxWindow* button : {addFolderButton, deleteFolderButton, renameFolderButton,
                             moveFolderButton})
        folderButtons->Add(button, 0, wxALL, 1);
    leftSizer->Add(folderButtons, 0, wxALL, 1);
    folderList = new swxBitmapListBox(left, ID_BITMAP_LISTBOX_FOLDERS, wxDefaultPosition,
                                      wxDefaultSize, wxBORDER_SUNKEN, "ID_BITMAP_LISTBOX_FOLDERS");
    leftSizer->Add(folderList, 1, wxALL | wxEXPAND, 2);
    auto* gaugePanel = new wxPanel(left, ID_PANEL1, wxDefaultPosition, wxDefaultSize,
                                   wxTAB_TRAVERSAL, "ID_PANEL1");
    auto* gaugeSizer = new wxBoxSizer(wxHORIZONTAL);
    progressGauge = new wxGauge(gaugePanel, ID_GAUGE_PROGRESS, 100, wxDefaultPosition,
                                wxSize(222, 15), 0, wxDefaultValidator, "ID_GAUGE_PROGRESS");
    progressGauge->SetValue(50);
    gaugeSizer->Add(progressGauge, 1, wxALL | wxEXPAND, 2);
    gaugePanel->SetSizer(gaugeSizer);
    progressGauge->Hide();
    leftSizer->Add(gaugePanel, 0, wxEXPAND, 0);
    left->SetSizer(leftSizer);

    auto* right = new wxPanel(splitter, ID_PANEL_RIGHT, wxDefaultPosition, wxDefaultSize,
                              wxTAB_TRAVERSAL, "ID_PANEL_RIGHT");
    auto* rightSizer = new wxBoxSizer(wxVERTICAL);
    rightSizer->Add(new wxStaticText(right, ID_STATICTEXT5, _("Location on this computer:"),
                                     wxDefaultPosition, wxDefaultSize, 0, "ID_STATICTEXT5"),
                    0, wxLEFT | wxRIGHT | wxTOP, 4);
    auto* localRow = new wxBoxSizer(wxHORIZONTAL);
    localDirField = new wxTextCtrl(right, ID_TEXTCTRL_LOCAL_DIR, _("Text"), wxDefaultPosition,
                                   wxDefaultSize, wxTE_READONLY, wxDefaultValidator,
                                   "ID_TEXTCTRL_LOCAL_DIR");
    localRow->Add(localDirField, 1, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    localDirButton = NewBitmapButton(right, ID_BITMAPBUTTON_LOCAL_DIR,
                                     "ID_BITMAPBUTTON_LOCAL_DIR", "save", _("Browse"),
                                     _("Browse for location of the folder on this computer"));
    localRow->Add(localDirButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 2);
    rightSizer->Add(localRow, 0, wxALL | wxEXPAND, 2);
    rulesPanel = new PanelRules(right, ID_PANEL_RULES);
    testbedButton = NewBitmapButton(rulesPanel, ID_BITMAPBUTTON_RUN_TESTBED,
                                    "ID_BITMAPBUTTON_RUN_TESTBED", "flag", _("Rules testbed"),
                                    _("Run folder rules testbed"));
    rulesPanel->GetButtonRow()->Add(testbedButton, 1, wxALL | wxALIGN_BOTTOM, 2);
    rulesPanel->GetSizer()->SetSizeHints(rulesPanel);
    rightSizer->Add(rulesPanel, 1, wxALL | wxEXPAND, 2);
    right->SetSizer(rightSizer);

    splitter->SplitVertically(left, right);
    // 100 pixels held four bitmap buttons where buttons were 23 pixels wide; themed buttons
    // are wider, and the folder buttons must stay visible.
    splitter->SetSashPosition(std::max(100, left->GetBestSize().x));
    // The window's minimum size must keep both panes whole: the rules list, the mask field
    // and the allow box vanished when the splitter alone set it.
    const wxSize leftMin = left->GetSizer()->GetMinSize();
    const wxSize rightMin = right->GetSizer()->GetMinSize();
    splitter->SetMinSize(wxSize(std::max(100, leftMin.x) + rightMin.x + splitter->GetSashSize(),
                                std::max({100, leftMin.y, rightMin.y})));
    sizer->Add(splitter, 1, wxALL | wxEXPAND, 2);
}

void dralvoFrame::CreateMenus()
{
    auto* file = new wxMenu;
    file->Append(ID_MENU_EXPORT, _("Export to XML"),
                 _("Export projects information to the connected media"));
    file->Append(ID_MENU_IMPORT, _("Import from XML"), _("Import projects metadata"));
    file->AppendSeparator();
    file->Append(ID_MENU_OPTIONS, _("Options...\tCtrl+O"), _("Show options dialog"));
    file->Append(ID_MENU_INCOMPRESSIBLE, _("Incompressible files..."),
                 _("Edit incompressible files list"));
    file->AppendSeparator();
    file->Append(ID_MENU_QUIT, _("Quit\tAlt-F4"), _("Quit the application"));

    auto* tools = new wxMenu;
    tools->Append(ID_MENU_RUN, _("Run synchronization...\tF3"), _("Show synchronization dialog"));
    tools->Append(ID_MENU_TESTBED, _("Rules testbed...\tCtrl+T"),
                  _("Show folder rules testbed tool"));
    tools->AppendSeparator();
    tools->Append(ID_MENU_ADD_PROJECT, _("Add project..."), _("Add new project"));
    tools->Append(ID_MENU_DELETE_PROJECT, _("Delete project"), _("Delete selected project"));
    tools->Append(ID_MENU_PROJECT_PROPERTIES, _("Project properties..."),
                  _("Edit project properties"));
    tools->AppendSeparator();
    tools->Append(ID_MENU_ADD_FOLDER, _("Add folder..."), _("Add virtual folder to the project"));
    tools->Append(ID_MENU_DELETE_FOLDER, _("Delete folder"), _("Delete selected virtual folder"));
    tools->Append(ID_MENU_RENAME_FOLDER, _("Rename folder..."),
                  _("Rename selected virtual folder"));
    tools->Append(ID_MENU_MOVE_FOLDER, _("Move folder..."),
                  _("Move the virtual folder into another project"));
    tools->AppendSeparator();
    tools->Append(ID_MENU_REFRESH_MEDIA, _("Refresh media\tF5"),
                  _("Refresh list of the currently connected media"));
    tools->Append(ID_MENU_MEDIA_MANAGER, _("Media manager..."), _("Manage Dralvo media"));

    auto* help = new wxMenu;
    help->Append(ID_MENU_HELP_INDEX, _("Index..."), _("Show help window"));
    help->AppendSeparator();
    help->Append(ID_MENU_HOME_PAGE, _("Home page..."),
                 _("Show Dralvo homepage in your default internet browser"));
    help->Append(ID_MENU_CHECK_UPDATES, _("Check for updates..."),
                 _("Check for the newest Dralvo version"));
    help->AppendSeparator();
    help->Append(ID_MENU_ABOUT, _("About\tF1"), _("Show info about this application"));

    auto* bar = new wxMenuBar;
    bar->Append(file, _("&File"));
    bar->Append(tools, _("&Tools"));
    bar->Append(help, _("Help"));
    SetMenuBar(bar);
}

void dralvoFrame::CreateStatusAndToolBars()
{
    auto* status = new wxStatusBar(this, ID_STATUSBAR1, 0, "ID_STATUSBAR1");
    const int widths[] = {-1};
    const int styles[] = {wxSB_NORMAL};
    status->SetFieldsCount(1, widths);
    status->SetStatusStyles(1, styles);
    SetStatusBar(status);

    toolBar = new wxToolBar(this, ID_TOOLBAR_MAIN, wxDefaultPosition, wxDefaultSize,
                            wxTB_HORIZONTAL | wxTB_FLAT | wxBORDER_STATIC, "ID_TOOLBAR_MAIN");
    struct Tool {
        wxWindowID id;
        wxString label;
        wxString shortHelp;
        wxString longHelp;
        const char* bitmap;
    };
    const Tool tools[] = {
        {ID_TOOL_REFRESH, _("Refresh"), _("Refresh"),
         _("Enumerate connected to the computer devices"), "refresh"},
        {ID_TOOL_INCOMPRESSIBLE, _("BZ2 Ignore List"), _("BZ2 Ignore List"),
         _("Edit list of extensions which mustn't be compressed"), "compress"},
        {ID_TOOL_EXPORT, _("Export"), _("Export to XML"), _("Export Dralvo database to XML file"),
         "save"},
        {ID_TOOL_IMPORT, _("Import"), _("Import from XML"),
         _("Update Dralvo database from an XML file"), "opendoc"},
        {ID_TOOL_RUN, _("Run"), _("Run"), _("Run synchronization"), "sync"},
        {ID_TOOL_OPTIONS, _("Options"), _("Options"), _("Show options dialog"), "tools"},
        {ID_TOOL_EXIT, _("Exit"), _("Exit"), _("Exit the application"), "exit"},
    };
    for (const Tool& tool : tools)
        toolBar->AddTool(tool.id, tool.label, NamedBitmap(tool.bitmap), wxNullBitmap,
                         wxITEM_NORMAL, tool.shortHelp, tool.longHelp);
    toolBar->Realize();
    SetToolBar(toolBar);
}

void dralvoFrame::BindHandlers()
{
    Bind(wxEVT_CHOICE, &dralvoFrame::OnChoiceProjectSelect, this, ID_CHOICE_PROJECT);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonAddClick, this, ID_BITMAPBUTTON_ADD);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonDeleteClick, this, ID_BITMAPBUTTON_DELETE);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonRenameClick, this, ID_BITMAPBUTTON_RENAME);
    Bind(wxEVT_CHOICE, &dralvoFrame::OnChoiceMediaSelect, this, ID_CHOICE_MEDIA);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonMediaManagerClick, this,
         ID_BITMAPBUTTON_MEDIA_MANAGER);
    Bind(wxEVT_CHECKBOX, &dralvoFrame::OnCheckBoxConnectedMediaClick, this,
         ID_CHECKBOX_CONNECTDED_MEDIA);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonMediaDirClick, this, ID_BITMAPBUTTON_MEDIA_DIR);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonDirAddClick, this, ID_BITMAPBUTTON_DIR_ADD);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonDirDeleteClick, this,
         ID_BITMAPBUTTON_DIR_DELETE);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonDirRenameClick, this,
         ID_BITMAPBUTTON_DIR_RENAME);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonDirMoveClick, this, ID_BITMAPBUTTON_DIR_MOVE);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonLocalDirClick, this, ID_BITMAPBUTTON_LOCAL_DIR);
    Bind(wxEVT_LISTBOX, &dralvoFrame::OnBitmapListBoxFoldersSelect, this,
         ID_BITMAP_LISTBOX_FOLDERS);
    Bind(wxEVT_BUTTON, &dralvoFrame::OnBitmapButtonRunTestbedClick, this,
         ID_BITMAPBUTTON_RUN_TESTBED);

    const std::pair<wxWindowID, void (dralvoFrame::*)(wxCommandEvent&)> commands[] = {
        {ID_MENU_EXPORT, &dralvoFrame::OnExportXml},
        {ID_MENU_IMPORT, &dralvoFrame::OnImportXml},
        {ID_MENU_OPTIONS, &dralvoFrame::OnMenuOptionsSelected},
        {ID_MENU_INCOMPRESSIBLE, &dralvoFrame::OnMenuIncompressibleSelected},
        {ID_MENU_QUIT, &dralvoFrame::OnQuit},
        {ID_MENU_RUN, &dralvoFrame::OnMenuRunSelected},
        {ID_MENU_TESTBED, &dralvoFrame::OnBitmapButtonRunTestbedClick},
        {ID_MENU_ADD_PROJECT, &dralvoFrame::OnBitmapButtonAddClick},
        {ID_MENU_DELETE_PROJECT, &dralvoFrame::OnBitmapButtonDeleteClick},
        {ID_MENU_PROJECT_PROPERTIES, &dralvoFrame::OnBitmapButtonRenameClick},
        {ID_MENU_ADD_FOLDER, &dralvoFrame::OnBitmapButtonDirAddClick},
        {ID_MENU_DELETE_FOLDER, &dralvoFrame::OnBitmapButtonDirDeleteClick},
        {ID_MENU_RENAME_FOLDER, &dralvoFrame::OnBitmapButtonDirRenameClick},
        {ID_MENU_MOVE_FOLDER, &dralvoFrame::OnBitmapButtonDirMoveClick},
        {ID_MENU_REFRESH_MEDIA, &dralvoFrame::OnMenuRefreshMediaSelected},
        {ID_MENU_MEDIA_MANAGER, &dralvoFrame::OnBitmapButtonMediaManagerClick},
        {ID_MENU_HELP_INDEX, &dralvoFrame::OnHelpIndex},
        {ID_MENU_HOME_PAGE, &dralvoFrame::OnMenuHomePageSelected},
        {ID_MENU_CHECK_UPDATES, &dralvoFrame::OnMenuCheckUpdatesSelected},
        {ID_MENU_ABOUT, &dralvoFrame::OnAbout},
        {ID_TOOL_REFRESH, &dralvoFrame::OnMenuRefreshMediaSelected},
        {ID_TOOL_INCOMPRESSIBLE, &dralvoFrame::OnMenuIncompressibleSelected},
        {ID_TOOL_EXPORT, &dralvoFrame::OnExportXml},
        {ID_TOOL_IMPORT, &dralvoFrame::OnImportXml},
        {ID_TOOL_RUN, &dralvoFrame::OnMenuRunSelected},
        {ID_TOOL_OPTIONS, &dralvoFrame::OnMenuOptionsSelected},
        {ID_TOOL_EXIT, &dralvoFrame::OnQuit},
    };
    for (const auto& [id, handler] : commands)
        Bind(wxEVT_MENU, handler, this, id);

    Bind(wxEVT_MENU, &dralvoFrame::OnImportStarted, this, ID_IMPORT_STARTED);
    Bind(wxEVT_MENU, &dralvoFrame::OnImportProgress, this, ID_IMPORT_PROGRESS);
    Bind(wxEVT_MENU, &dralvoFrame::OnImportFinished, this, ID_IMPORT_FINISHED);
    Bind(wxEVT_CLOSE_WINDOW, &dralvoFrame::OnClose, this);
}

void dralvoFrame::PlaceOnDisplay()
{
    const wxSize display = wxGetDisplaySize();
    SetSize(FloorHalf(display.x - kWindowWidth), FloorHalf(display.y - kWindowHeight),
            kWindowWidth, kWindowHeight);
}

// ---------------------------------------------------------------------------------------------
// Enabling

void dralvoFrame::EnableProjectControls(bool enable)
{
    for (wxWindow* control : std::initializer_list<wxWindow*>{
             deleteProjectButton, projectPropertiesButton, mediumDirButton, mediumDirField,
             addFolderButton})
        control->Enable(enable);
    for (wxWindowID item : {ID_MENU_DELETE_PROJECT, ID_MENU_PROJECT_PROPERTIES, ID_MENU_ADD_FOLDER})
        GetMenuBar()->Enable(item, enable);
    EnableFolderControls(enable);
}

void dralvoFrame::EnableFolderControls(bool enable)
{
    for (wxWindow* control : std::initializer_list<wxWindow*>{
             deleteFolderButton, renameFolderButton, moveFolderButton, localDirField,
             localDirButton, testbedButton})
        control->Enable(enable);
    for (wxWindowID item : {ID_MENU_TESTBED, ID_MENU_DELETE_FOLDER, ID_MENU_RENAME_FOLDER,
                            ID_MENU_MOVE_FOLDER})
        GetMenuBar()->Enable(item, enable);
    rulesPanel->EnableControls(enable);
}

void dralvoFrame::EnableRunTool(bool enable)
{
    toolBar->EnableTool(ID_TOOL_RUN, enable);
}

void dralvoFrame::OnQuit(wxCommandEvent&)
{
    Close(false);
}

void dralvoFrame::OnClose(wxCloseEvent&)
{
    // A failure is shown; the window closes all the same, as the user asked.
    StorePendingEdits();
    // The run dialog first: it stops its thread and waits for its end before it goes.
    if (runDialog != nullptr)
        runDialog->Close(true);
    Destroy();
}

// ---------------------------------------------------------------------------------------------
// Pending edits

void dralvoFrame::SavePendingEdits()
{
    if (selectedProjectId == 0)
        return;
    SaveMediaDirEdit();
    SaveFolderRules();
}

void dralvoFrame::SaveFolderRules()
{
    if (selectedFolderId != 0)
        rulesPanel->SaveRules();
}

bool dralvoFrame::StorePendingEdits()
{
    return RunCatalogAction(_("Your edits could not be stored."), [this] { SavePendingEdits(); },
                            this);
}

bool dralvoFrame::StoreFolderRules()
{
    return RunCatalogAction(_("The folder's rules could not be stored."),
                            [this] { SaveFolderRules(); }, this);
}
