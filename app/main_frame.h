#pragma once

#include <memory>
#include <vector>

#include <wx/frame.h>
#include <wx/utils.h>

#include "store/media.h"

class PanelRules;
class swxBitmapListBox;
class swxDralvoImport;
class wxBitmapButton;
class wxCheckBox;
class wxChoice;
class wxCommandEvent;
class wxCloseEvent;
class wxDialog;
class wxGauge;
class wxHtmlHelpController;
class wxSizer;
class wxTextCtrl;
class wxToolBar;

// The title of the main window: "Dralvo v. " and the program's version.
wxString GetVersionCaption();

// The GUI library's build description: its version ("wxWidgets 3.2.2"); with format 1 also
// its port and "-Unicode build".
wxString wxbuildinfo(int format);

// The program's one main window: the project choice, the medium choice with the project's
// location on the medium, the virtual folders of the project with their location on this
// station and their rules, the menus and the toolbar. It keeps the user's selection as
// catalogue IDs (0 = none) and stores what the user is editing (a typed medium location, the
// folder's rules) before every change of selection and when it closes.
//
// Every control has its identifier's name as window name ("ID_CHOICE_PROJECT"). Handlers that
// run statements show a failing statement in a message box and leave the window usable; the
// public operations marked "throws" let wxSQLite3Exception pass to their caller.
// GUI thread only; the catalogue must be open for the window's whole life.
class dralvoFrame : public wxFrame {
public:
    // Identifiers of the controls, drawn once at start-up.
    static inline const wxWindowID ID_STATICTEXT4 = wxNewId();
    static inline const wxWindowID ID_CHOICE_PROJECT = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_ADD = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_DELETE = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_RENAME = wxNewId();
    static inline const wxWindowID ID_STATICLINE1 = wxNewId();
    static inline const wxWindowID ID_STATICTEXT1 = wxNewId();
    static inline const wxWindowID ID_CHOICE_MEDIA = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_MEDIA_MANAGER = wxNewId();
    static inline const wxWindowID ID_CHECKBOX_CONNECTDED_MEDIA = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_MEDIA_DIR = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_MEDIA_DIR = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_DIR_ADD = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_DIR_DELETE = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_DIR_RENAME = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_DIR_MOVE = wxNewId();
    static inline const wxWindowID ID_BITMAP_LISTBOX_FOLDERS = wxNewId();
    static inline const wxWindowID ID_GAUGE_PROGRESS = wxNewId();
    static inline const wxWindowID ID_PANEL1 = wxNewId();
    static inline const wxWindowID ID_PANEL_LEFT = wxNewId();
    static inline const wxWindowID ID_STATICTEXT5 = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_LOCAL_DIR = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_LOCAL_DIR = wxNewId();
    static inline const wxWindowID ID_PANEL_RULES = wxNewId();
    static inline const wxWindowID ID_PANEL_RIGHT = wxNewId();
    static inline const wxWindowID ID_SPLITTERWINDOW_VERT = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_RUN_TESTBED = wxNewId();
    static inline const wxWindowID ID_STATUSBAR1 = wxNewId();
    static inline const wxWindowID ID_TOOLBAR_MAIN = wxNewId();
    // Menu items.
    static inline const wxWindowID ID_MENU_EXPORT = wxNewId();
    static inline const wxWindowID ID_MENU_IMPORT = wxNewId();
    static inline const wxWindowID ID_MENU_OPTIONS = wxNewId();
    static inline const wxWindowID ID_MENU_INCOMPRESSIBLE = wxNewId();
    static inline const wxWindowID ID_MENU_QUIT = wxNewId();
    static inline const wxWindowID ID_MENU_RUN = wxNewId();
    static inline const wxWindowID ID_MENU_TESTBED = wxNewId();
    static inline const wxWindowID ID_MENU_ADD_PROJECT = wxNewId();
    static inline const wxWindowID ID_MENU_DELETE_PROJECT = wxNewId();
    static inline const wxWindowID ID_MENU_PROJECT_PROPERTIES = wxNewId();
    static inline const wxWindowID ID_MENU_ADD_FOLDER = wxNewId();
    static inline const wxWindowID ID_MENU_DELETE_FOLDER = wxNewId();
    static inline const wxWindowID ID_MENU_RENAME_FOLDER = wxNewId();
    static inline const wxWindowID ID_MENU_MOVE_FOLDER = wxNewId();
    static inline const wxWindowID ID_MENU_REFRESH_MEDIA = wxNewId();
    static inline const wxWindowID ID_MENU_MEDIA_MANAGER = wxNewId();
    static inline const wxWindowID ID_MENU_HELP_INDEX = wxNewId();
    static inline const wxWindowID ID_MENU_HOME_PAGE = wxNewId();
    static inline const wxWindowID ID_MENU_CHECK_UPDATES = wxNewId();
    static inline const wxWindowID ID_MENU_ABOUT = wxNewId();
    // Toolbar tools.
    static inline const wxWindowID ID_TOOL_REFRESH = wxNewId();
    static inline const wxWindowID ID_TOOL_INCOMPRESSIBLE = wxNewId();
    static inline const wxWindowID ID_TOOL_EXPORT = wxNewId();
    static inline const wxWindowID ID_TOOL_IMPORT = wxNewId();
    static inline const wxWindowID ID_TOOL_RUN = wxNewId();
    static inline const wxWindowID ID_TOOL_OPTIONS = wxNewId();
    static inline const wxWindowID ID_TOOL_EXIT = wxNewId();

    // Builds the window (640 x 480, centred on the display), enumerates the connected media
    // with soShowAllDrives and fills the medium choice. The project list stays empty until
    // RefreshProjects. A failing statement here is shown; the window is built all the same.
    dralvoFrame(wxWindow* parent, wxWindowID id);
    ~dralvoFrame() override;

    // Refills the project choice from the catalogue, selects the first project and shows its
    // folders. Shows a failing statement in a message box.
    void RefreshProjects();
    // Refills the medium choice (connected catalogued media with "Connected only", else every
    // live medium of the catalogue), after storing a typed medium location. Throws.
    void RefreshMediaChoice();

    // The help book for base ("dralvo"): "<base>_<ll>.htb" in the program's data directory
    // (ll: the language's two letters) when it exists, else "<base>.htb" when that exists,
    // else an empty text.
    static wxString GetHelpFileName(const wxString& base);

    // Stores the typed medium location and the selected folder's rules, when a project is
    // selected. Runs before a change of project, a run, an export or import, and on closing.
    // Throws.
    void SavePendingEdits();
    // Stores the rules panel's edits when a folder is selected. Throws.
    void SaveFolderRules();

    // Called back by the child windows when they go.
    void RunDialogClosed();
    void OptionsClosed();
    void TestbedClosed();

private:
    // Construction.
    void CreateControls();
    void CreateProjectRow(wxWindow* parent, wxSizer* sizer);
    void CreateMediumRows(wxWindow* parent, wxSizer* sizer);
    void CreateSplitter(wxWindow* parent, wxSizer* sizer);
    void CreateMenus();
    void CreateStatusAndToolBars();
    void BindHandlers();
    void PlaceOnDisplay();

    // Enabling.
    void EnableProjectControls(bool enable);
    void EnableFolderControls(bool enable);
    void EnableRunTool(bool enable);

    // Projects and virtual folders.
    void FillFolderList();
    void ShowSelectedFolder();
    void ClearProjectDetails();
    void ClearFolderDetails();
    void SelectFolderAfterRemoval(int removed);
    int FolderItemIndex(wxUint32 folderId) const;
    // SavePendingEdits / SaveFolderRules with a failure shown; false when it failed.
    bool StorePendingEdits();
    bool StoreFolderRules();

    // Locations.
    void ShowMediumLocation();
    void SaveMediaDirEdit();
    void StoreMediumLocation(const wxString& location);
    // The medium choice's entry of the medium shown now, or wxNOT_FOUND.
    int MediumEntryIndex() const;

    // Control handlers.
    void OnChoiceProjectSelect(wxCommandEvent& event);
    void OnBitmapButtonAddClick(wxCommandEvent& event);
    void OnBitmapButtonDeleteClick(wxCommandEvent& event);
    void OnBitmapButtonRenameClick(wxCommandEvent& event);
    void OnChoiceMediaSelect(wxCommandEvent& event);
    void OnBitmapButtonMediaManagerClick(wxCommandEvent& event);
    void OnCheckBoxConnectedMediaClick(wxCommandEvent& event);
    void OnBitmapButtonMediaDirClick(wxCommandEvent& event);
    void OnBitmapButtonDirAddClick(wxCommandEvent& event);
    void OnBitmapButtonDirDeleteClick(wxCommandEvent& event);
    void OnBitmapButtonDirRenameClick(wxCommandEvent& event);
    void OnBitmapButtonDirMoveClick(wxCommandEvent& event);
    void OnBitmapListBoxFoldersSelect(wxCommandEvent& event);
    void OnBitmapButtonLocalDirClick(wxCommandEvent& event);
    void OnBitmapButtonRunTestbedClick(wxCommandEvent& event);
    // Menu and tool handlers.
    void OnMenuOptionsSelected(wxCommandEvent& event);
    void OnMenuIncompressibleSelected(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnMenuRunSelected(wxCommandEvent& event);
    void OnMenuRefreshMediaSelected(wxCommandEvent& event);
    void OnExportXml(wxCommandEvent& event);
    void OnImportXml(wxCommandEvent& event);
    void OnHelpIndex(wxCommandEvent& event);
    void OnMenuHomePageSelected(wxCommandEvent& event);
    void OnMenuCheckUpdatesSelected(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    // The import thread's events.
    void OnImportStarted(wxCommandEvent& event);
    void OnImportProgress(wxCommandEvent& event);
    void OnImportFinished(wxCommandEvent& event);
    // Asks a running import to end and waits for it; returns its report of files not merged.
    wxArrayString StopImport();

    // Controls; the frame owns them as its children.
    wxChoice* projectChoice = nullptr;
    wxBitmapButton* addProjectButton = nullptr;
    wxBitmapButton* deleteProjectButton = nullptr;
    wxBitmapButton* projectPropertiesButton = nullptr;
    wxChoice* mediumChoice = nullptr;
    wxBitmapButton* mediaManagerButton = nullptr;
    wxCheckBox* connectedOnlyBox = nullptr;
    wxTextCtrl* mediumDirField = nullptr;
    wxBitmapButton* mediumDirButton = nullptr;
    wxBitmapButton* addFolderButton = nullptr;
    wxBitmapButton* deleteFolderButton = nullptr;
    wxBitmapButton* renameFolderButton = nullptr;
    wxBitmapButton* moveFolderButton = nullptr;
    swxBitmapListBox* folderList = nullptr;
    wxGauge* progressGauge = nullptr;
    wxTextCtrl* localDirField = nullptr;
    wxBitmapButton* localDirButton = nullptr;
    PanelRules* rulesPanel = nullptr;
    wxBitmapButton* testbedButton = nullptr;
    wxToolBar* toolBar = nullptr;

    // The user's selection: catalogue IDs, 0 = none.
    wxUint32 selectedProjectId = 0;
    wxUint32 selectedMediumId = 0;
    wxUint32 selectedFolderId = 0;
    // The drive of the selected medium when it is connected, else null. A shared record stays
    // valid across a new enumeration of the media.
    ConnectedMediumPtr selectedMedium;
    // Which filling the medium choice shows, and in "Connected only" mode the drive behind
    // each of its entries (two drives may carry the same medium).
    bool mediumChoiceConnectedOnly = false;
    std::vector<ConnectedMediumPtr> mediumChoiceDrives;

    // Child windows of which at most one exists at a time; each is reset by its call-back.
    // The frame's children: they go with it, except the options window, which it destroys.
    wxDialog* runDialog = nullptr;
    wxFrame* optionsWindow = nullptr;
    wxFrame* testbedWindow = nullptr;
    // The running import; null when none runs. Joined before it is dropped, and before the
    // window goes.
    std::unique_ptr<swxDralvoImport> importThread;

    // The help command's state; the viewer shows the book once it is loaded.
    bool helpLoaded = false;
    wxString helpFilePath;
    std::unique_ptr<wxHtmlHelpController> helpController;
};
