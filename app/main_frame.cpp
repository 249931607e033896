#include "app/main_frame.h"

#include "app/version.h"

dralvoFrame::dralvoFrame(wxWindow* parent, wxWindowID id)
    : wxFrame(parent, id, wxString::Format("Dralvo %s", kDralvoVersion))
{
}

void dralvoFrame::RefreshProjects()
{
}
