#pragma once

#include <wx/button.h>
#include <wx/sizer.h>

#include <functional>

#include <wx/bitmap.h>
#include <wx/defs.h>
#include <wx/string.h>

class wxItemContainer;
class wxWindow;

// Small operations shared by the windows. GUI thread only.

// Lets the user choose a folder, starting at `startFolder` (a path that does not exist opens
// the chooser without a selection), with `title` as the instruction text; the user may type
// a path. `parent` may be null. Returns the chosen folder's file-system path, or an empty
// text when the user cancels.
wxString BrowseForFolder(wxWindow* parent, const wxString& startFolder, const wxString& title);

// What BrowseForFolder shows: the arguments of BrowseForFolder in, the chosen path or an
// empty text out.
using FolderBrowser = std::function<wxString(wxWindow* parent, const wxString& startFolder,
                                             const wxString& title)>;

// Replaces the chooser behind BrowseForFolder (tests answer it this way) and returns the one
// that was set before; an empty function brings back the system's folder chooser.
FolderBrowser SetFolderBrowser(FolderBrowser browser);

// Clears `control`, then appends one item per row of the query `sql`: column 1 read as text
// (null gives an empty text) is the label, column 0 read as an integer is the item's client
// data (a catalogue ID). Selects item 0 when any item was added; an empty result leaves the
// control empty and without selection. The control keeps untyped client data only.
// Throws wxSQLite3Exception when the query fails, after the control has been cleared.
void FillControlFromQuery(wxItemContainer* control, const wxString& sql);

// The value that GetSelectedItemData leaves in its out ID when nothing is selected (-1).
inline constexpr wxUint32 kNoSelectedItem = static_cast<wxUint32>(-1);

// True and the catalogue ID of the selected item in `id`. False when `control` is null
// (`id` unchanged) or nothing is selected (`id` = kNoSelectedItem).
bool GetSelectedItemData(const wxItemContainer* control, wxUint32& id);

// The index of the first item of `control` whose client data equals `id`, or -1 (also for a
// null control).
int FindItemByData(const wxItemContainer* control, wxUint32 id);

// The bitmap compiled into the program as "<name>.png", with a mask that makes magenta
// (255, 0, 255) transparent. A name without such a file gives a bitmap that is not valid
// (IsOk() false); nothing is reported.
wxBitmap LoadMaskedBitmap(const wxString& name);

// The OK / Cancel button row of a dialog or frame ("ID_BUTTON_OK" default, "ID_BUTTON_CANCEL");
// the buttons are children of parent, the row is for the caller's sizer. They carry the
// standard identifiers wxID_OK and wxID_CANCEL, so Escape in a dialog presses Cancel.
struct OkCancelRow {
    wxBoxSizer* sizer;
    wxButton* ok;
    wxButton* cancel;
};
OkCancelRow MakeOkCancelRow(wxWindow* parent);
// The same two buttons without the row, for a caller that lays them out itself (row.sizer is
// null).
OkCancelRow MakeOkCancelButtons(wxWindow* parent);

class wxBitmapButton;
class wxTopLevelWindow;

// Gives the window the program's icon ("dralvo_icon").
void SetProgramIcon(wxTopLevelWindow* window);

// LoadMaskedBitmap, with a stock picture standing in when the name is missing, so a button
// or tool never lacks one.
wxBitmap NamedBitmap(const char* name);

// A bitmap button named `name` (its identifier's name) showing the named bitmap.
wxBitmapButton* NewBitmapButton(wxWindow* parent, wxWindowID id, const char* name,
                                const char* bitmap, const wxString& toolTip,
                                const wxString& helpText = wxString());

// A catalogue ID as the untyped client data of a list or choice item.
void* IdData(wxUint32 id);

// A message box that always shows its caption as title. GTK leaves the title empty when the
// caption is the toolkit's default text ("Message"), so the title is set again once the box
// is up. Returns what wxMessageBox returns (wxOK, wxYES, wxNO, wxCANCEL).
int ShowMessageBox(wxWindow* parent, const wxString& text, const wxString& caption, long style);

// A notice: a box with the caption "Message" and an OK button.
void ShowMessage(wxWindow* parent, const wxString& text);

class wxTextCtrl;
// Puts text into a field as the program's own change: no text event, and the field counts as
// not modified afterwards (GTK keeps the modified flag through ChangeValue).
void SetFieldText(wxTextCtrl* field, const wxString& text);

// User text (a name, a path, a mask) made fit for a menu item or a label built around it:
// every "&" shows as itself instead of marking the next letter as the mnemonic, and a tab
// becomes a blank (in a menu item it would start an accelerator).
wxString EscapeMnemonics(const wxString& userText);

// A Yes/No question with its own caption; true for Yes.
bool AskYesNo(wxWindow* parent, const wxString& text, const wxString& caption);
