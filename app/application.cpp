#include "app/application.h"

#include <cstdio>

#include <wx/image.h>

#include "app/main_frame.h"
#include "app/startup.h"
#include "store/catalog.h"
#include "store/database.h"
#include "store/options.h"

bool dralvoApp::OnInit()
{
    InstallQuestionBoxes();
    if (!StartCatalog())
        return false;
    wxInitAllImageHandlers();
    auto* frame = new dralvoFrame(nullptr, wxID_ANY);
    frame->Show();
    SetTopWindow(frame);
    frame->RefreshProjects();
    return true;
}

int dralvoApp::OnExit()
{
    try {
        CloseCatalog();
    } catch (const wxSQLite3Exception& e) {
        // The windows are gone: standard error is the only place left to say it.
        std::fprintf(stderr, "Could not record the session end: %s\n",
                     static_cast<const char*>(e.GetMessage().utf8_str()));
        if (catalogDb.IsOpen())
            catalogDb.Close();
    }
    // The locale must go while the toolkit is still up, not at static destruction.
    appLocale.reset();
    return wxApp::OnExit();
}
