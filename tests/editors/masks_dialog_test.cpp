#include "editors/masks_dialog.h"

#include "tests/editors/editors_fixture.h"

namespace {

using DialogBzExtTest = EditorsTest;

// Escape cancels; a failed save rolls back in one piece and keeps the edits; only OK stores
// them.
TEST_F(DialogBzExtTest, EditsAreStoredOnlyOnOk)
{
    // The user's steps: "+" adds, "x" deletes, "#n" picks line n, "OK" presses OK, anything
    // else is typed.
    const auto steps = [](DialogBzExt& d, std::initializer_list<wxString> steps) {
        for (const wxString& step : steps)
            if (step == "+" || step == "x" || step == "OK")
                ClickIn(&d, step == "+"   ? "ID_BITMAPBUTTON_ADD"
                            : step == "x" ? "ID_BITMAPBUTTON_DELETE" : "ID_BUTTON_OK");
            else if (step.StartsWith("#"))
                widgets_test::ChooseLine(In<swxBitmapListBox>(&d, "ID_BITMAP_LISTBOX_EXT"),
                                         wxAtoi(step.Mid(1)));
            else
                Type(In<wxTextCtrl>(&d, "ID_TEXTCTRL_EXT"), step);
    };
    const char* stored = "select group_concat(M) from (select case DELETED when 0 then '' else "
                         "'-' end || FILEMASK as M from BZ2IGNORE order by ID)";  // "-": deleted
    ExecUpdate("insert into BZ2IGNORE(GUID, FILEMASK, MODIFIED, DELETED) values "
               "('g1', '*.jpg', '2000-01-01 00:00:00', 0), ('g2', '*.bak', '2000-01-01', 1)");
    OpenWith();
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_INCOMPRESSIBLE),
                  wxExpectDismissableModal<DialogBzExt>(wxCANCEL));
    DialogBzExt editor(frame);
    editor.LoadMasks();
    // A delete with nothing edited does nothing; a mask added and deleted is stored deleted;
    // "#0 x" undeletes; OK commits the typed "*.jpeg" first.
    steps(editor, {"x", "+", "*.ZIP", "+", kCraftedName, "+", "x", "#0", "x", "#1", "*.jpeg", "x"});
    wxKeyEvent escape(wxEVT_CHAR_HOOK);  // presses Cancel
    escape.m_keyCode = WXK_ESCAPE;
    editor.GetEventHandler()->ProcessEvent(escape);
    EXPECT_EQ(wxCANCEL, editor.GetReturnCode());
    editor.SetReturnCode(0);
    ExecUpdate("create trigger NO before insert on BZ2IGNORE when NEW.FILEMASK like 'x%' "
               "begin select raise(ABORT, 'no'); end");  // after two updates and an insert
    wxTEST_DIALOG(steps(editor, {"OK"}),
                  ExpectDatabaseError("The incompressible files could not be stored."));
    EXPECT_EQ(0, editor.GetReturnCode());  // still open
    EXPECT_EQ("*.jpg,-*.bak", Text(stored));  // neither Cancel nor the failed save stored a thing
    ExecUpdate("drop trigger NO");
    steps(editor, {"OK"});
    EXPECT_EQ(wxString("-*.jpeg,*.bak,*.ZIP,") + kCraftedStored + ",-*.*", Text(stored));
    EXPECT_EQ(0, Scalar("select count(*) from BZ2IGNORE where MODIFIED like '2000-%'"));
}

} // namespace
