#pragma once

#include <functional>
#include <vector>

#include <wx/frame.h>

#include "store/media.h"

class wxCheckBox;
class wxChoice;
class wxCloseEvent;
class wxCommandEvent;
class wxListBox;
class wxTextCtrl;

// The media manager: the live media of the catalogue beside the drives present now. Renames,
// adds and deletes media and engages a drive as the selected medium by writing its marker.
// Each device entry holds a shared record of the connected media, so a new enumeration in
// another window never leaves this one with a freed record. A failing statement is shown in
// a message box and the window stays usable. On closing it stores a pending rename, calls its
// closed handler (the main window refills its medium choice) and destroys itself. GUI thread
// only; the catalogue must be open.
class frmMedia : public wxFrame {
public:
    static inline const wxWindowID ID_BITMAPBUTTON_MEDIA_ADD = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_MEDIA_DELETE = wxNewId();
    static inline const wxWindowID ID_LISTBOX_MEDIA = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_CAPTION = wxNewId();
    static inline const wxWindowID ID_CHECKBOX_ALL_DRIVES = wxNewId();
    static inline const wxWindowID ID_CHOICE_CURRENT_MEDIA = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_CONNECT = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_REFRESH = wxNewId();
    static inline const wxWindowID ID_STATICTEXT1 = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_DEVICE = wxNewId();
    static inline const wxWindowID ID_STATICTEXT2 = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_POINT = wxNewId();
    static inline const wxWindowID ID_STATICTEXT3 = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_FS = wxNewId();
    static inline const wxWindowID ID_STATICTEXT4 = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_UID = wxNewId();
    static inline const wxWindowID ID_BUTTON_CLOSE = wxNewId();

    frmMedia(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
             const wxSize& size = wxDefaultSize);

    // Called once when the window closes, before it is destroyed.
    void SetClosedHandler(std::function<void()> handler) { closed_ = std::move(handler); }

    // The operations of the window; each throws wxSQLite3Exception where it runs statements.
    void FillMediaList();
    void ShowSelectedMedium();
    void SaveMediumCaption();
    void FillDevices();
    void ShowDeviceDetails();

private:
    void CreateControls();
    void OnListBoxMediaSelect(wxCommandEvent& event);
    void OnChoiceCurrentMediaSelect(wxCommandEvent& event);
    void OnBitmapButtonRefreshClick(wxCommandEvent& event);
    void OnBitmapButtonMediaAddClick(wxCommandEvent& event);
    void OnBitmapButtonMediaDeleteClick(wxCommandEvent& event);
    void OnBitmapButtonConnectClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    void AddMedium();
    void DeleteMedium();
    void ConnectDevice();
    // Gives the selected medium the drive's GUID, unless another live medium has it.
    void TakeOverDeviceUid(const ConnectedMediumPtr& device);
    // Writes the marker and reads it back; on success the drive's record becomes the
    // medium's. False (the user was told) when the marker did not come out as written.
    bool Engage(const ConnectedMediumPtr& device, const wxString& guid);
    // Replaces the drive's record here and in the connected media by a copy that is the
    // medium mediumId, under its name in the list.
    void ReplaceDevice(const ConnectedMediumPtr& device, const wxString& uid, unsigned mediumId);
    ConnectedMediumPtr SelectedDevice() const;

    wxListBox* mediaList_ = nullptr;
    wxTextCtrl* nameField_ = nullptr;
    wxCheckBox* allDrives_ = nullptr;
    wxChoice* deviceChoice_ = nullptr;
    wxTextCtrl* deviceField_ = nullptr;
    wxTextCtrl* pointField_ = nullptr;
    wxTextCtrl* fsField_ = nullptr;
    wxTextCtrl* uidField_ = nullptr;

    // The drive behind each entry of the device choice.
    std::vector<ConnectedMediumPtr> devices_;
    wxUint32 selectedId_ = 0;
    int selectedIndex_ = wxNOT_FOUND;
    std::function<void()> closed_;
};
