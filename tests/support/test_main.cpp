// Test main. Without a display, wx starts as a console application. GUI tests (DRALVO_GUI_TEST)
// start the toolkit on the display the Xvfb wrapper gave them and fail any test that opens a
// modal dialog nobody expected.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/modalhook.h>

#include "tests/support/test_env.h"

#ifdef DRALVO_GUI_TEST
namespace {

// Registered first, so that hooks of wxTEST_DIALOG (registered later) answer before it.
class UnexpectedDialogGuard : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override
    {
        ADD_FAILURE() << "Unexpected modal dialog: " << dialog->GetTitle() << " ("
                      << dialog->GetClassInfo()->GetClassName() << ")";
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

} // namespace
#endif

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
#ifdef DRALVO_GUI_TEST
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit())
        return 2;
    UnexpectedDialogGuard guard;
    guard.Register();
#else
    wxApp::SetInstance(new wxAppConsole);
    if (!wxEntryStart(argc, argv))
        return 2;
#endif
    SetUpTestEnvironment();
    const int rc = RUN_ALL_TESTS();
    TearDownTestEnvironment();
    wxEntryCleanup();
    return rc;
}
