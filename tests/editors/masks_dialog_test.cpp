#include "editors/masks_dialog.h"

#include <map>

#include "tests/editors/editors_fixture.h"

namespace {

using Dialog = DialogBzExt;

class DialogBzExtTest : public EditorsTest {
protected:
    // Opens the editor with the main window's command and runs the script in it.
    void Edit(const std::function<void(Dialog*)>& script)
    {
        const auto run = [&](Dialog* d) {
            script(d);
            return d->GetReturnCode();
        };
        wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_INCOMPRESSIBLE), ExpectScript<Dialog>(run));
    }
    // The user's steps: "+" adds, "x" deletes, "#n" picks line n, "OK" and "Cancel" press
    // those buttons, anything else is typed.
    static void Steps(Dialog* d, std::initializer_list<wxString> steps)
    {
        static const std::map<wxString, const char*> buttons = {
            {"+", "ID_BITMAPBUTTON_ADD"}, {"x", "ID_BITMAPBUTTON_DELETE"},
            {"OK", "ID_BUTTON_OK"}, {"Cancel", "ID_BUTTON_CANCEL"}};
        for (const wxString& step : steps) {
            if (buttons.count(step) != 0)
                ClickIn(d, buttons.at(step));
            else if (step.StartsWith("#"))
                widgets_test::ChooseLine(In<swxBitmapListBox>(d, "ID_BITMAP_LISTBOX_EXT"),
                                         wxAtoi(step.Mid(1)));
            else
                Type(In<wxTextCtrl>(d, "ID_TEXTCTRL_EXT"), step);
        }
    }
    // Every stored mask, ordered by ID, deleted ones marked "-".
    static wxString Stored()
    {
        return Text("select group_concat(M) from (select case DELETED when 0 then '' else '-' end "
                    "|| FILEMASK as M from BZ2IGNORE order by ID)");
    }
};

// A failed save rolls back in one piece and keeps the edits; only OK stores them.
TEST_F(DialogBzExtTest, EditsAreStoredOnlyOnOk)
{
    ExecUpdate("insert into BZ2IGNORE(GUID, FILEMASK, MODIFIED, DELETED) values "
               "('g1', '*.jpg', '2000-01-01 00:00:00', 0), ('g2', '*.bak', '2000-01-01', 1)");
    Open();
    Edit([](Dialog* d) {
        EXPECT_EQ("Incompressible files", d->GetTitle());
        // A delete with nothing edited does nothing; a mask added and deleted is stored deleted;
        // "#0 x" undeletes; OK commits the typed "*.jpeg" first.
        Steps(d, {"x", "+", "*.ZIP", "+", "it's.mp3", "+", "x", "#0", "x", "#1", "*.jpeg", "x"});
        ExecUpdate("create trigger NO before update on BZ2IGNORE "
                   "begin select raise(ABORT, 'no'); end");
        wxTEST_DIALOG(Steps(d, {"OK"}), widgets_test::ExpectDatabaseError(
                                            "The incompressible files could not be stored."));
        EXPECT_EQ(0, d->GetReturnCode());  // still open
        EXPECT_EQ("*.jpg,-*.bak", Stored());
        ExecUpdate("drop trigger NO");
        Steps(d, {"OK"});
    });
    EXPECT_EQ("-*.jpeg,*.bak,*.ZIP,it\"s.mp3,-*.*", Stored());
    EXPECT_EQ(0, Scalar("select count(*) from BZ2IGNORE where MODIFIED like '2000-%'"));

    Edit([](Dialog* d) {
        EXPECT_EQ("-*.*,*.ZIP,*.bak,-*.jpeg,it\"s.mp3", Lines(d, "ID_BITMAP_LISTBOX_EXT"));
        Steps(d, {"+", "*.iso", "#1", "x", "Cancel"});
    });
    EXPECT_EQ("-*.jpeg,*.bak,*.ZIP,it\"s.mp3,-*.*", Stored());
}

} // namespace
