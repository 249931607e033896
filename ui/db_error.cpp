#include "ui/db_error.h"

#include <wx/msgdlg.h>
#include <wx/wxsqlite3.h>

#include "ui/window_utils.h"

void ShowDatabaseError(const wxSQLite3Exception& e, const wxString& what, wxWindow* parent)
{
    const wxString text = wxString::Format(_("%s\n\nDatabase error %d: %s"), what,
                                           e.GetErrorCode(), e.GetMessage());
    ShowMessageBox(parent, text, "Message", wxOK | wxICON_ERROR);
}

bool RunCatalogAction(const wxString& what, const std::function<void()>& action,
                      wxWindow* parent)
{
    try {
        action();
        return true;
    } catch (const wxSQLite3Exception& e) {
        ShowDatabaseError(e, what, parent);
        return false;
    }
}
