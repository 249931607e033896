#include "editors/masks_dialog.h"

#include "tests/editors/editors_fixture.h"

namespace {

using Dialog = DialogBzExt;

class DialogBzExtTest : public EditorsTest {
protected:
    void SetUp() override
    {
        EditorsTest::SetUp();
        for (const char* row : {"('g1', '*.jpg', '2000-01-01 00:00:00', 0)",
                                "('g2', '*.bak', '2000-01-01 00:00:00', 1)"})
            ExecUpdate(wxString("insert into BZ2IGNORE(GUID, FILEMASK, MODIFIED, DELETED) values ") +
                       row);
        Open();
    }

    // Opens the editor with the main window's command and runs the script in it.
    void Edit(std::function<int(Dialog*)> script)
    {
        wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_INCOMPRESSIBLE),
                      ExpectScript<Dialog>(std::move(script)));
    }

    // The user's actions in the dialog.
    static void Pick(Dialog* d, int n)
    {
        widgets_test::ChooseLine(In<swxBitmapListBox>(d, "ID_BITMAP_LISTBOX_EXT"), n);
    }
    static void TypeMask(Dialog* d, const wxString& text)
    {
        Type(In<wxTextCtrl>(d, "ID_TEXTCTRL_EXT"), text);
    }
    static int Press(Dialog* d, const char* button)
    {
        d->SetReturnCode(0);
        ClickIn(d, button);
        return d->GetReturnCode();
    }
    static wxString List(Dialog* d)
    {
        const auto* list = In<swxBitmapListBox>(d, "ID_BITMAP_LISTBOX_EXT");
        wxString text;
        for (size_t n = 0; n < list->GetCount(); ++n)
            text << (n ? "," : "") << (list->GetItem(n)->flagA ? "" : "-") << list->GetItemText(n);
        return text;
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
        EXPECT_EQ("-*.bak,*.jpg", List(d));
        ClickIn(d, "ID_BITMAPBUTTON_DELETE");  // nothing is being edited yet
        ClickIn(d, "ID_BITMAPBUTTON_ADD");
        TypeMask(d, "*.ZIP");
        ClickIn(d, "ID_BITMAPBUTTON_ADD");
        TypeMask(d, "it's.mp3");
        ClickIn(d, "ID_BITMAPBUTTON_ADD");
        ClickIn(d, "ID_BITMAPBUTTON_DELETE");  // added and deleted: stored as deleted
        Pick(d, 0);
        ClickIn(d, "ID_BITMAPBUTTON_DELETE");  // undeleted
        Pick(d, 1);
        TypeMask(d, "*.jpeg");
        ClickIn(d, "ID_BITMAPBUTTON_DELETE");
        EXPECT_EQ("*.bak,-*.jpg,*.ZIP,it\"s.mp3,-*.*", List(d));
        EXPECT_EQ("*.jpg,-*.bak", Stored());
        return Press(d, "ID_BUTTON_OK");  // commits the typed "*.jpeg" first
    });
    EXPECT_EQ("-*.jpeg,*.bak,*.ZIP,it\"s.mp3,-*.*", Stored());
    EXPECT_EQ(0, Scalar("select count(*) from BZ2IGNORE where MODIFIED='2000-01-01 00:00:00'"));

    Edit([](Dialog* d) {
        EXPECT_EQ("-*.*,*.ZIP,*.bak,-*.jpeg,it\"s.mp3", List(d));
        ClickIn(d, "ID_BITMAPBUTTON_ADD");
        TypeMask(d, "*.iso");
        Pick(d, 1);
        ClickIn(d, "ID_BITMAPBUTTON_DELETE");
        return Press(d, "ID_BUTTON_CANCEL");
    });
    EXPECT_EQ("-*.jpeg,*.bak,*.ZIP,it\"s.mp3,-*.*", Stored());
}

TEST_F(DialogBzExtTest, FailedSaveStoresNothingAndKeepsTheEdits)
{
    ExecUpdate("create trigger REFUSE before update on BZ2IGNORE begin select raise(ABORT, 'no'); end");
    Edit([](Dialog* d) {
        ClickIn(d, "ID_BITMAPBUTTON_ADD");
        Pick(d, 1);
        ClickIn(d, "ID_BITMAPBUTTON_DELETE");
        int result = 0;
        wxTEST_DIALOG(result = Press(d, "ID_BUTTON_OK"),
                      widgets_test::ExpectDatabaseError("The incompressible files could not be stored."));
        EXPECT_EQ(0, result);
        EXPECT_EQ("*.jpg,-*.bak", Stored());  // the insert before the failure is rolled back
        ExecUpdate("drop trigger REFUSE");
        return Press(d, "ID_BUTTON_OK");
    });
    EXPECT_EQ("-*.jpg,-*.bak,*.*", Stored());
}

} // namespace
