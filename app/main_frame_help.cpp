#include "app/main_frame.h"

// Help, About, the home page and the update check.

void dralvoFrame::OnHelpIndex(wxCommandEvent&) {}
void dralvoFrame::OnMenuHomePageSelected(wxCommandEvent&) {}
void dralvoFrame::OnMenuCheckUpdatesSelected(wxCommandEvent&) {}
void dralvoFrame::OnAbout(wxCommandEvent&) {}
