#pragma once

#include <functional>

#include <wx/frame.h>

class wxCheckBox;
class wxChoice;
class wxCloseEvent;
class wxCommandEvent;
class wxSpinCtrl;

// The options window: shows the nine process-wide options on one page "General", lets the user
// change them and stores them all (SaveOptions) with OK. Modeless and at most one at a time;
// on closing it calls its closed handler (the main window's OptionsClosed) and destroys
// itself. A changed language takes effect at the next start. A failing statement is shown in
// a message box and the window stays open. GUI thread only; the catalogue must be open.
class FrameOptions : public wxFrame {
public:
    static inline const wxWindowID ID_LISTBOOK_OPTIONS = wxNewId();
    static inline const wxWindowID ID_PANEL_GENERAL = wxNewId();
    static inline const wxWindowID ID_STATICTEXT1 = wxNewId();
    static inline const wxWindowID ID_STATICLINE1 = wxNewId();
    static inline const wxWindowID ID_CHECKBOX_ALWAYS_SHOW_LOG = wxNewId();
    static inline const wxWindowID ID_CHECKBOX_COMPRESS_LOG = wxNewId();
    static inline const wxWindowID ID_STATICTEXT2 = wxNewId();
    static inline const wxWindowID ID_SPINCTRL_LOG_DAYS = wxNewId();
    static inline const wxWindowID ID_STATICTEXT3 = wxNewId();
    static inline const wxWindowID ID_STATICLINE2 = wxNewId();
    static inline const wxWindowID ID_CHOICE_LANGUAGE = wxNewId();
    static inline const wxWindowID ID_STATICTEXT4 = wxNewId();
    static inline const wxWindowID ID_STATICLINE3 = wxNewId();
    static inline const wxWindowID ID_STATICTEXT5 = wxNewId();
    static inline const wxWindowID ID_SPINCTRL_BZ_QUALITY = wxNewId();
    static inline const wxWindowID ID_STATICTEXT6 = wxNewId();
    static inline const wxWindowID ID_SPINCTRL_WORK_FACTOR = wxNewId();
    static inline const wxWindowID ID_STATICTEXT7 = wxNewId();
    static inline const wxWindowID ID_STATICLINE4 = wxNewId();
    static inline const wxWindowID ID_CHECKBOX_ALL_DRIVES = wxNewId();
    static inline const wxWindowID ID_CHECKBOX_RM_EMPTY_DIRS = wxNewId();
    static inline const wxWindowID ID_CHECKBOX1 = wxNewId();
    static inline const wxWindowID ID_BUTTON_RESET = wxNewId();

    FrameOptions(wxWindow* parent, wxWindowID id = wxID_ANY,
                 const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

    // Called once when the window closes, before it is destroyed.
    void SetClosedHandler(std::function<void()> handler) { closed_ = std::move(handler); }

    // Sets every control from the option values in force.
    void LoadOptionControls();

private:
    void CreateControls();
    void OnButtonResetClick(wxCommandEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    wxCheckBox* alwaysShowLog_ = nullptr;
    wxCheckBox* compressLog_ = nullptr;
    wxSpinCtrl* logDays_ = nullptr;
    wxChoice* language_ = nullptr;
    wxSpinCtrl* bzQuality_ = nullptr;
    wxSpinCtrl* workFactor_ = nullptr;
    wxCheckBox* allDrives_ = nullptr;
    wxCheckBox* removeEmptyDirs_ = nullptr;
    wxCheckBox* autoExport_ = nullptr;
    std::function<void()> closed_;
};
