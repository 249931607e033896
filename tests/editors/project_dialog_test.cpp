#include "editors/project_dialog.h"

#include <memory>

#include <gtest/gtest.h>

#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include "store/database.h"
#include "tests/editors/project_dialogs_expect.h"
#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"
#include "tests/support/widgets.h"

namespace {

using widgets_test::Find;

class DialogProjectTest : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        dialog = std::make_unique<DialogProject>(nullptr);
    }

    // Fills the dialog and presses OK; the dialog's return code.
    int Answer(const wxString& caption, int sizeLimit, int compressLimit)
    {
        dialog->SetReturnCode(0);
        ExpectDialogProject::Answer(dialog.get(), caption, sizeLimit, compressLimit);
        return dialog->GetReturnCode();
    }
    // "caption|size limit|compression limit" of a stored project, or of the dialog's fields.
    static wxString Stored(unsigned id)
    {
        return Rows(
            wxString::Format("select CAPTION, IGNORESIZEOVER, BZ2BELOW from PROJECT where ID=%u", id));
    }
    wxString Shown() const
    {
        return wxString::Format("%s|%d|%d", Find<wxTextCtrl>(dialog.get(), "ID_TEXTCTRL_CAPTION")->GetValue(),
                                Find<wxSpinCtrl>(dialog.get(), "ID_SPINCTRL_SIZE")->GetValue(),
                                Find<wxSpinCtrl>(dialog.get(), "ID_SPINCTRL_BZ")->GetValue());
    }

    std::unique_ptr<DialogProject> dialog;
};

// An unknown project shows empty fields and OK stores nothing; the project's own caption is
// accepted; a quote is stored doubled.
TEST_F(DialogProjectTest, LoadShowsTheProjectOkStoresItAndRefusedOkKeepsTheDialogOpen)
{
    dialog->LoadProject(42);
    EXPECT_EQ("Unknown project||0|0", dialog->GetTitle() + "|" + Shown());
    EXPECT_EQ(wxOK, Answer("", 0, 0));
    const unsigned id = AddProject("Photos", 1, 100, 2);
    dialog->LoadProject(id);
    EXPECT_EQ("Photos: properties|Photos|100|2", dialog->GetTitle() + "|" + Shown());
    EXPECT_EQ(wxOK, Answer("Photos", 5, 3));
    EXPECT_EQ("Photos|5|3", Stored(id));
    EXPECT_EQ(wxOK, Answer("Kitchen's photos", 700, 0));
    EXPECT_EQ("Kitchen\"s photos", dialog->GetCaption());
    EXPECT_EQ("Kitchen\"s photos|700|0", Stored(id));
    EXPECT_NE(kOldTime, Text(wxString::Format("select MODIFIED from PROJECT where ID=%u", id)));
    EXPECT_EQ(1, Scalar("select count(*) from PROJECT"));  // the unknown one stored nothing

    // A caption of another project, deleted or not, in any case, is refused, as is a failing
    // statement: the dialog stays open with the typed values. Cancel writes nothing.
    AddProject("Archive", 1);
    int result = -1;
    wxTEST_DIALOG(result = Answer("ARCHIVE", 9, 9),
                  ExpectMessage("Project with this name already exists!", wxOK, "Message"));
    EXPECT_EQ(0, result);
    EXPECT_EQ("ARCHIVE|9|9", Shown());
    EXPECT_EQ(wxCANCEL, Answer("Other", -1, 0));
    EXPECT_EQ("Kitchen\"s photos|700|0", Stored(id));

    ExecUpdate("create trigger REFUSE before update on PROJECT begin select raise(ABORT, 'no'); end");
    wxTEST_DIALOG(result = Answer("New", 1, 1), ExpectDatabaseError("The project could not be saved."));
    EXPECT_NE(wxOK, result);
    EXPECT_EQ("New|1|1", Shown());
    ExecUpdate("drop trigger REFUSE");
    EXPECT_EQ(wxOK, Answer("New", 1, 1));
    EXPECT_EQ("New|1|1", Stored(id));
}

} // namespace
