#include "editors/masks_dialog.h"

#include "tests/editors/editors_fixture.h"

namespace {

using Dialog = DialogBzExt;

class DialogBzExtTest : public EditorsTest {
protected:
    void SetUp() override
    {
        EditorsTest::SetUp();
        ExecUpdate("insert into BZ2IGNORE(GUID, FILEMASK, MODIFIED, DELETED) values "
                   "('g1', '*.jpg', '2000-01-01 00:00:00', 0), ('g2', '*.bak', '2000-01-01', 1)");
        Open();
    }

    // Opens the editor with the main window's command and runs the script in it.
    void Edit(std::function<int(Dialog*)> script)
    {
        wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_INCOMPRESSIBLE),
                      ExpectScript<Dialog>(std::move(script)));
    }
    // The user's steps: "+" adds, "x" deletes, "#n" picks line n, anything else is typed.
    static void Steps(Dialog* d, std::initializer_list<wxString> steps)
    {
        for (const wxString& step : steps) {
            if (step == "+" || step == "x")
                ClickIn(d, step == "+" ? "ID_BITMAPBUTTON_ADD" : "ID_BITMAPBUTTON_DELETE");
            else if (step.StartsWith("#"))
                widgets_test::ChooseLine(In<swxBitmapListBox>(d, "ID_BITMAP_LISTBOX_EXT"),
                                         wxAtoi(step.Mid(1)));
            else
                Type(In<wxTextCtrl>(d, "ID_TEXTCTRL_EXT"), step);
        }
    }
    static int Press(Dialog* d, const char* button)
    {
        d->SetReturnCode(0);
        ClickIn(d, button);
        return d->GetReturnCode();
    }
    // Every stored mask, ordered by ID, deleted ones marked "-".
    static wxString Stored()
    {
        return Joined("select case DELETED when 0 then '' else '-' end || FILEMASK from BZ2IGNORE "
                      "order by ID");
    }
};

TEST_F(DialogBzExtTest, EditsAreStoredOnlyOnOk)
{
    Edit([](Dialog* d) {
        EXPECT_EQ("Incompressible files", d->GetTitle());
        EXPECT_EQ("-*.bak,*.jpg", Lines(d, "ID_BITMAP_LISTBOX_EXT"));
        // A delete with nothing edited does nothing; a mask added and deleted is stored deleted;
        // "#0 x" undeletes.
        Steps(d, {"x", "+", "*.ZIP", "+", "it's.mp3", "+", "x", "#0", "x", "#1", "*.jpeg", "x"});
        EXPECT_EQ("*.jpg,-*.bak", Stored());
        return Press(d, "ID_BUTTON_OK");  // commits the typed "*.jpeg" first
    });
    EXPECT_EQ("-*.jpeg,*.bak,*.ZIP,it\"s.mp3,-*.*", Stored());
    EXPECT_EQ(0, Scalar("select count(*) from BZ2IGNORE where MODIFIED like '2000-%'"));

    Edit([](Dialog* d) {
        EXPECT_EQ("-*.*,*.ZIP,*.bak,-*.jpeg,it\"s.mp3", Lines(d, "ID_BITMAP_LISTBOX_EXT"));
        Steps(d, {"+", "*.iso", "#1", "x"});
        return Press(d, "ID_BUTTON_CANCEL");
    });
    EXPECT_EQ("-*.jpeg,*.bak,*.ZIP,it\"s.mp3,-*.*", Stored());
}

TEST_F(DialogBzExtTest, FailedSaveStoresNothingAndKeepsTheEdits)
{
    ExecUpdate("create trigger REFUSE before update on BZ2IGNORE begin select raise(ABORT, 'no'); end");
    Edit([](Dialog* d) {
        Steps(d, {"+", "#1", "x"});
        int result = 0;
        wxTEST_DIALOG(result = Press(d, "ID_BUTTON_OK"),
                      widgets_test::ExpectDatabaseError("The incompressible files could not be "
                                                        "stored."));
        EXPECT_EQ(0, result);
        EXPECT_EQ("*.jpg,-*.bak", Stored());  // the insert before the failure is rolled back
        ExecUpdate("drop trigger REFUSE");
        return Press(d, "ID_BUTTON_OK");
    });
    EXPECT_EQ("-*.jpg,-*.bak,*.*", Stored());
}

} // namespace
