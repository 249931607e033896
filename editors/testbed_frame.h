#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <wx/frame.h>

#include "store/media.h"

class PanelRules;
class swxFileListCtrl;
class swxTestFolder;
class wxButton;
class wxChoice;
class wxCloseEvent;
class wxCommandEvent;
class wxListEvent;
class wxMenu;
class wxStaticText;

// The rules testbed: tries the rules of one virtual folder (edited in its own rules panel)
// against the folder on this station or on a connected catalogued medium. The test runs in a
// swxTestFolder thread whose records fill the result list; a context menu on a row adds rules
// made from it and filters the list; OK stores the rules. Closing while a test runs stops the
// test and waits for its thread, so no event reaches a destroyed window. A failing statement
// is shown in a message box. GUI thread only; the catalogue must be open.
class FrameFolderTestbed : public wxFrame {
public:
    static inline const wxWindowID ID_STATICTEXT_PROJECT = wxNewId();
    static inline const wxWindowID ID_STATICTEXT_FOLDER = wxNewId();
    static inline const wxWindowID ID_CHOICE_MEDIA = wxNewId();
    static inline const wxWindowID ID_PANEL_RULES = wxNewId();
    static inline const wxWindowID ID_STATICTEXT_FILTER = wxNewId();
    static inline const wxWindowID ID_LIST_VIEW_FOLDERS = wxNewId();
    static inline const wxWindowID ID_STATICTEXT_STATISTICS = wxNewId();
    static inline const wxWindowID ID_BUTTON_RUN = wxNewId();
    // The context menu's commands.
    enum MenuId : int {
        ID_MENU_ADD_EXTENSION = 1010,
        ID_MENU_ADD_NAME,
        ID_MENU_ADD_FOLDER,
        ID_MENU_RESET_FILTER,
        ID_MENU_FILTER_EXTENSION,
        ID_MENU_FILTER_FILENAME,
        ID_MENU_FILTER_FOLDER,
        ID_MENU_FILTER_SUBFOLDERS,
        ID_MENU_FILTER_SIZE_ABOVE,
        ID_MENU_FILTER_SIZE_BELOW,
        ID_MENU_FILTER_RULE,
    };

    // Shows a context menu over the list; the default pops it up at the mouse. Tests answer
    // it instead.
    using MenuPresenter = std::function<void(wxWindow* list, wxMenu& menu)>;
    // Replaces the presenter and returns the one set before; empty brings back the default.
    static MenuPresenter SetMenuPresenter(MenuPresenter presenter);

    FrameFolderTestbed(wxWindow* parent, wxWindowID id = wxID_ANY,
                       const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);
    ~FrameFolderTestbed() override;

    // Called once when the window closes, before it is destroyed.
    void SetClosedHandler(std::function<void()> handler) { closed_ = std::move(handler); }

    // Shows the folder FOLDER.ID `folderId`, loads its rules (deleted ones too) and lists this
    // station and the catalogued connected media. A failing statement is shown.
    void SetFolder(wxUint32 folderId);
    // True while a test thread runs.
    bool Testing() const { return test_ != nullptr; }

private:
    void CreateControls();
    void BindHandlers();
    void FillSides();
    // The folder to test on the chosen side, or empty (nothing to test; the user was told when
    // the stored location is unusable). Throws wxSQLite3Exception.
    wxString TestPath();
    void StartTest(const wxString& path);
    // Stops a running test and waits for its thread; then drops what it still had queued.
    void StopTest();
    void DrainTestEvents();
    void ShowSelectedSize();

    void OnButtonRunClick(wxCommandEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnTestThreadEvent(wxCommandEvent& event);
    void OnListViewFoldersSelectionChange(wxListEvent& event);
    void OnListViewFoldersItemRClick(wxListEvent& event);
    void OnListViewFoldersColumnClick(wxListEvent& event);
    void OnContextMenuCommand(wxCommandEvent& event);

    wxStaticText* projectLabel_ = nullptr;
    wxStaticText* folderLabel_ = nullptr;
    wxChoice* sideChoice_ = nullptr;
    PanelRules* rulesPanel_ = nullptr;
    wxStaticText* filterLabel_ = nullptr;
    swxFileListCtrl* resultList_ = nullptr;
    wxStaticText* statisticsLabel_ = nullptr;
    wxButton* runButton_ = nullptr;
    wxButton* okButton_ = nullptr;
    wxButton* cancelButton_ = nullptr;

    // The drive behind each side entry; null for this station.
    std::vector<ConnectedMediumPtr> sides_;
    wxUint32 folderId_ = 0;
    long contextRow_ = -1;
    bool selectionUpdatePending_ = false;
    std::unique_ptr<swxTestFolder> test_;
    std::function<void()> closed_;
};
