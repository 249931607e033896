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
#include <wx/wxsqlite3.h>

#include "app/bitmap_list.h"
#include "app/db_error.h"
#include "app/rules_panel.h"
#include "app/version.h"
#include "app/window_utils.h"
#include "editors/project_dialog.h"
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

// A named bitmap; a stock picture stands in when it is missing, so a tool never lacks one.
wxBitmap NamedBitmap(const char* name)
{
    const wxBitmap bitmap = LoadMaskedBitmap(name);
    if (bitmap.IsOk())
        return bitmap;
    return wxArtProvider::GetBitmap(wxART_MISSING_IMAGE, wxART_TOOLBAR, wxSize(16, 16));
}

wxBitmapButton* NewBitmapButton(wxWindow* parent, wxWindowID id, const char* name,
                                const char* bitmap, const wxString& toolTip,
                                const wxString& helpText = wxString())
{
    auto* button = new wxBitmapButton(parent, id, NamedBitmap(bitmap), wxDefaultPosition,
                                      wxDefaultSize, wxBU_AUTODRAW, wxDefaultValidator, name);
    button->SetToolTip(toolTip);
    if (!helpText.empty())
        button->SetHelpText(helpText);
    return button;
}

void* IdData(wxUint32 id)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(id));
}

// Halves rounded toward negative infinity, so a display smaller than the window still
// centres it the same way on every platform.
int FloorHalf(int value)
{
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

void ShowMessage(wxWindow* parent, const wxString& text)
{
    wxMessageBox(text, "Message", wxOK | wxCENTRE, parent);
}

bool AskYesNo(wxWindow* parent, const wxString& text, const wxString& caption)
{
    return wxMessageBox(text, caption, wxYES_NO | wxICON_QUESTION | wxCENTRE, parent) == wxYES;
}

// The catalogue keeps a typed single quote as a double quote; a path holding one would then
// name a directory that does not exist.
bool RefuseQuotedPath(wxWindow* parent, const wxString& path)
{
    if (!path.Contains("'"))
        return false;
    ShowMessage(parent, wxString::Format(_("The path \"%s\" contains a single quote ('), which "
                                           "the catalogue cannot keep. Please choose a folder "
                                           "whose path has no single quote."),
                                         path));
    return true;
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
    const wxBitmap icon = LoadMaskedBitmap("dralvo_icon");
    if (icon.IsOk()) {
        wxIcon frameIcon;
        frameIcon.CopyFromBitmap(icon);
        SetIcon(frameIcon);
    }
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
    rulesPanel->Layout();
    rightSizer->Add(rulesPanel, 1, wxALL | wxEXPAND, 2);
    right->SetSizer(rightSizer);

    splitter->SplitVertically(left, right);
    // 100 pixels held four bitmap buttons where buttons were 23 pixels wide; themed buttons
    // are wider, and the folder buttons must stay visible.
    splitter->SetSashPosition(std::max(100, left->GetBestSize().x));
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

// ---------------------------------------------------------------------------------------------
// Child windows and closing

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

void dralvoFrame::OnExportXml(wxCommandEvent&) {}
void dralvoFrame::OnImportXml(wxCommandEvent&) {}
void dralvoFrame::OnHelpIndex(wxCommandEvent&) {}
void dralvoFrame::OnMenuHomePageSelected(wxCommandEvent&) {}
void dralvoFrame::OnMenuCheckUpdatesSelected(wxCommandEvent&) {}
void dralvoFrame::OnAbout(wxCommandEvent&) {}

void dralvoFrame::OnQuit(wxCommandEvent&)
{
    Close(false);
}

void dralvoFrame::OnClose(wxCloseEvent&)
{
    // A failure is shown; the window closes all the same, as the user asked.
    StorePendingEdits();
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

// ---------------------------------------------------------------------------------------------
// Projects and virtual folders

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
    localDirField->ChangeValue(rows.NextRow() ? rows.GetAsString(0) : wxString());
    EnableFolderControls(true);
    rulesPanel->SetFolder(selectedFolderId, true);
}

void dralvoFrame::ClearProjectDetails()
{
    mediumDirField->ChangeValue(wxString());
    ClearFolderDetails();
    folderList->Clear();
    // No folder is shown any more, so no command may act on the one shown before.
    selectedFolderId = 0;
}

void dralvoFrame::ClearFolderDetails()
{
    localDirField->ChangeValue(wxString());
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

// ---------------------------------------------------------------------------------------------
// Locations on this station and on the medium; the medium choice

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
        mediumDirField->ChangeValue(wxString());
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
        mediumDirField->ChangeValue(wxString());
        mediumDirButton->Enable(mediumChoiceConnectedOnly);
        return;
    }
    const wxString stored = rows.GetAsString(0);
    // A location that would lead outside the medium is shown as stored, never as a path.
    const std::optional<wxString> path =
        selectedMedium ? MediumPathFromLocation(selectedMedium->root, stored) : std::nullopt;
    mediumDirField->ChangeValue(path.value_or(stored));
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
    if (chosen.empty() || RefuseQuotedPath(this, chosen))
        return;
    const std::optional<wxString> location = LocationBelowRoot(chosen, drive->root);
    if (!location) {
        ShowMessage(this, _("Selected directory is out of mount point of the medium!"));
        return;
    }
    RunCatalogAction(_("The project's location on the medium could not be stored."), [&] {
        StoreMediumLocation(*location);
        mediumDirField->ChangeValue(chosen);
    }, this);
}

void dralvoFrame::OnBitmapButtonLocalDirClick(wxCommandEvent&)
{
    const int selection = folderList->GetSelection();
    if (selectedFolderId == 0 || selection == wxNOT_FOUND)
        return;
    const wxString chosen =
        BrowseForFolder(this, localDirField->GetValue(),
                        _("Choose virtual folder projection on the local computer"));
    if (chosen.empty() || RefuseQuotedPath(this, chosen))
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
        localDirField->ChangeValue(chosen);
    }, this);
}
