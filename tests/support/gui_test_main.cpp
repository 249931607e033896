// Test main for windows: starts the GUI toolkit on the display the Xvfb wrapper gave us,
// and fails any test that opens a modal dialog nobody expected.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/modalhook.h>

#include "tests/support/test_env.h"

namespace {

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

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

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv))
        return 2;
    wxTheApp->CallOnInit();
    SetUpTestEnvironment();
    UnexpectedDialogGuard guard;
    guard.Register();
    const int rc = RUN_ALL_TESTS();
    guard.Unregister();
    TearDownTestEnvironment();
    wxEntryCleanup();
    return rc;
}
