#include "editors/project_dialog.h"

#include <gtest/gtest.h>

#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include "store/database.h"
#include "tests/app/widgets_test_support.h"
#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"

namespace {

using widgets_test::Click;
using widgets_test::Find;

constexpr const char* kOldTime = "2000-01-01 00:00:00";

class DialogProjectTest : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        dialog = std::make_unique<DialogProject>(nullptr);
        caption = Find<wxTextCtrl>(dialog.get(), "ID_TEXTCTRL_CAPTION");
        sizeLimit = Find<wxSpinCtrl>(dialog.get(), "ID_SPINCTRL_SIZE");
        compressLimit = Find<wxSpinCtrl>(dialog.get(), "ID_SPINCTRL_BZ");
        dialog->SetReturnCode(0);
    }
    void TearDown() override
    {
        dialog.reset();
        CatalogTest::TearDown();
    }

    static wxUint32 AddProject(const wxString& caption, int over = 0, int below = 0, int deleted = 0)
    {
        ExecUpdate(wxString::Format("insert into PROJECT (GUID, CAPTION, IGNORESIZEOVER, BZ2BELOW, "
                                    "MODIFIED, DELETED) values ('g', '%s', %d, %d, '%s', %d)",
                                    caption, over, below, kOldTime, deleted));
        return LastInsertId();
    }
    static wxString Column(const char* column, wxUint32 id)
    {
        return ExecQuery(wxString::Format("select %s from PROJECT where ID=%u", column, id))
            .GetAsString(0);
    }
    void Enter(const wxString& text, int over, int below)
    {
        caption->ChangeValue(text);
        sizeLimit->SetValue(over);
        compressLimit->SetValue(below);
    }
    void PressOk() { Click(dialog.get(), "ID_BUTTON_OK"); }

    std::unique_ptr<DialogProject> dialog;
    wxTextCtrl* caption = nullptr;
    wxSpinCtrl* sizeLimit = nullptr;
    wxSpinCtrl* compressLimit = nullptr;
};

TEST_F(DialogProjectTest, LoadShowsCaptionLimitsAndTitleOfDeletedProjectToo)
{
    const wxUint32 id = AddProject("Photos", 100, 2, 1);
    dialog->LoadProject(id);
    EXPECT_EQ("Photos", caption->GetValue());
    EXPECT_EQ(100, sizeLimit->GetValue());
    EXPECT_EQ(2, compressLimit->GetValue());
    EXPECT_EQ("Photos: properties", dialog->GetTitle());
    EXPECT_EQ("Photos", dialog->GetCaption());
    EXPECT_EQ("id", dialog->GetName());
    EXPECT_EQ(wxSize(444, 267), dialog->GetClientSize());
    // The limits stay within 0 to 65536.
    EXPECT_EQ(0, sizeLimit->GetMin());
    EXPECT_EQ(65536, sizeLimit->GetMax());
    EXPECT_EQ(0, compressLimit->GetMin());
    EXPECT_EQ(65536, compressLimit->GetMax());
}

TEST_F(DialogProjectTest, UnknownProjectShowsEmptyFieldsAndOkStillEnds)
{
    dialog->LoadProject(42);
    EXPECT_EQ("Unknown project", dialog->GetTitle());
    EXPECT_EQ("", caption->GetValue());
    EXPECT_EQ(0, sizeLimit->GetValue());
    EXPECT_EQ(0, compressLimit->GetValue());
    PressOk();
    EXPECT_EQ(wxOK, dialog->GetReturnCode());
    EXPECT_EQ(0, Scalar("select count(*) from PROJECT"));
}

// The project's own caption with other limits is accepted.
TEST_F(DialogProjectTest, OkStoresQuotedCaptionAndLimits)
{
    const wxUint32 id = AddProject("Photos", 1, 1);
    dialog->LoadProject(id);
    Enter("Photos", 5, 3);
    PressOk();
    EXPECT_EQ(wxOK, dialog->GetReturnCode());
    EXPECT_EQ("3", Column("BZ2BELOW", id));

    dialog->SetReturnCode(0);
    ExecUpdate(wxString::Format("update PROJECT set MODIFIED='%s'", kOldTime));
    Enter("Kitchen's photos", 700, 0);
    PressOk();
    EXPECT_EQ(wxOK, dialog->GetReturnCode());
    EXPECT_EQ("Kitchen\"s photos", dialog->GetCaption());
    EXPECT_EQ("Kitchen\"s photos", Column("CAPTION", id));
    EXPECT_EQ("700", Column("IGNORESIZEOVER", id));
    EXPECT_EQ("0", Column("BZ2BELOW", id));
    EXPECT_NE(kOldTime, Column("MODIFIED", id));
}

TEST_F(DialogProjectTest, CaptionOfAnotherProjectIsRefusedIgnoringCaseAndDeletion)
{
    AddProject("Music");
    AddProject("Archive", 0, 0, 1);
    const wxUint32 id = AddProject("Photos", 1, 1);
    dialog->LoadProject(id);

    for (const char* taken : {"MUSIC", "archive"}) {
        Enter(taken, 9, 9);
        wxTEST_DIALOG(PressOk(),
                      ExpectMessage("Project with this name already exists!", wxOK, "Message"));
        EXPECT_EQ(0, dialog->GetReturnCode()) << taken;
        EXPECT_EQ("Photos", Column("CAPTION", id));
        EXPECT_EQ("1", Column("IGNORESIZEOVER", id));
        EXPECT_EQ(taken, caption->GetValue());  // the typed values stay for another try
    }
}

TEST_F(DialogProjectTest, CancelWritesNothing)
{
    const wxUint32 id = AddProject("Photos");
    dialog->LoadProject(id);
    Enter("Other", 3, 3);
    Click(dialog.get(), "ID_BUTTON_CANCEL");
    EXPECT_EQ(wxCANCEL, dialog->GetReturnCode());
    EXPECT_EQ("Photos", Column("CAPTION", id));
    EXPECT_EQ(kOldTime, Column("MODIFIED", id));
}

TEST_F(DialogProjectTest, FailingStatementIsShownAndDialogStaysOpen)
{
    const wxUint32 id = AddProject("Photos");
    dialog->LoadProject(id);
    ExecUpdate("create trigger REFUSE before update on PROJECT begin select raise(ABORT, 'no'); end");
    Enter("New", 1, 1);
    wxTEST_DIALOG(PressOk(), widgets_test::ExpectDatabaseError("The project could not be saved."));
    EXPECT_NE(wxOK, dialog->GetReturnCode());
    EXPECT_EQ("New", caption->GetValue());

    ExecUpdate("drop trigger REFUSE");
    PressOk();
    EXPECT_EQ(wxOK, dialog->GetReturnCode());
    EXPECT_EQ("New", Column("CAPTION", id));
}

} // namespace
