#include "ui/rules_panel.h"

#include <memory>

#include <wx/frame.h>

#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"
#include "tests/support/widgets.h"
#include "ui/bitmap_list.h"

namespace {

using namespace widgets_test;

// Folder 3 with the rules *.a, *.b, *.c at lines 5, 10, 15 and *.gone at 40, deleted; folder 4
// with one rule at line -4; none written yet (no MODIFIED). The panel is in a shown frame.
class PanelRulesTest : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        frame->Show();
    }
    // Stores the rules afresh, shows the folder and takes the user's steps: "+x" adds the
    // rule x ("+" asks for it), "#n" picks line n, "allow" toggles the box, a button's name without
    // "ID_BITMAPBUTTON" clicks it ("_DELETE", "_UP", "4" (down), "_UNDO"), "save" saves,
    // anything else is typed into the mask field.
    void Steps(wxUint32 folder, bool all, std::initializer_list<wxString> steps) const
    {
        ExecUpdate("delete from ACLRULES");
        ExecUpdate("insert into ACLRULES (FOLDERID, FILEMASK, NLINE, ALLOW, DELETED) values "
                   "(3, '*.a', 5, 1, 0), (3, '*.b', 10, 0, 0), (3, '*.c', 15, 1, 0), "
                   "(3, '*.gone', 40, 1, 1), (4, '*.neg', -4, 1, 0)");
        panel->SetFolder(folder, !all);
        for (const wxString& step : steps)
            if (step.StartsWith("+"))
                panel->AddRule(step.Mid(1));
            else if (step.StartsWith("#"))
                ChooseLine(list, wxAtoi(step.Mid(1)));
            else if (step == "allow")
                Toggle(allow);
            else if (step == "save")
                panel->SaveRules();
            else if (step.StartsWith("_") || step == "4")
                Click(panel, ("ID_BITMAPBUTTON" + step.ToStdString()).c_str());
            else
                Type(mask, step);
    }
    // The listed masks, a "!" before each flagged deleted, "*" after each flagged changed;
    // the mask field and the allow box ("+", "-", "x" disabled) in brackets; then
    // "mask|line|allow|deleted" of every rule written, in the order stored.
    wxString Shown() const
    {
        wxString text;
        for (size_t n = 0; n < list->GetCount(); ++n)
            text << (list->GetItem(n)->deleted ? "!" : "") << list->GetItem(n)->text
                 << (list->GetItem(n)->changed ? "* " : " ");
        const char box = !allow->IsEnabled() ? 'x' : allow->GetValue() ? '+' : '-';
        return text + '[' + mask->GetValue() + box + "] " +
               Rows("select FILEMASK, NLINE, ALLOW, DELETED from ACLRULES where MODIFIED is not "
                    "null order by ID");
    }

    const std::unique_ptr<wxFrame> frame{
        new wxFrame(nullptr, wxID_ANY, "rules", wxDefaultPosition, wxSize(400, 400))};
    PanelRules* const panel = new PanelRules(frame.get(), wxID_ANY);
    swxBitmapListBox* const list = Find<swxBitmapListBox>(panel, "ID_CUSTOM_BMPLBX_RULES");
    wxTextCtrl* const mask = Find<wxTextCtrl>(panel, "ID_TEXTCTRL_RULE");
    wxCheckBox* const allow = Find<wxCheckBox>(panel, "ID_CHECKBOX_RULE_ALLOW");
};

// Rules are listed in line order, the first shown. Edits are committed when another rule is
// picked or on save, and only saved ones are written. Added rules follow the largest listed
// line by five (at least five) and allow; a given mask is quoted as a typed one. A deleted rule
// shows until reloaded; a moved rule takes the edit with it.
TEST_F(PanelRulesTest, EditsAreWrittenOnSaveOnly)
{
    const wxString crafted = kCraftedName, stored = kCraftedStored;  // typed or given alike
    const struct {
        wxUint32 folder;
        bool all;  // deleted rules listed too
        std::initializer_list<wxString> steps;
        wxString shown;
    } cases[] = {
        {9, false, {}, "[x] "},
        {3, false, {"#1"}, "*.a *.b *.c [*.b-] "},
        {3, true, {}, "*.a *.b *.c !*.gone [*.a+] "},
        {4, false, {"+" + crafted, "save"}, "*.neg " + stored + " [" + stored + "+] " + stored +
                                              "|5|1|0"},
        {3, false, {"*.changed", "+*.new", "_UNDO", "save"}, "*.a *.b *.c [*.a+] "},
        {3, false, {"Kitchen's *.jpg", "allow", "#1"}, "Kitchen\"s *.jpg* *.b *.c [*.b-] "},
        {3, false, {crafted, "allow", "save"}, stored + " *.b *.c [" + crafted + "-] " + stored +
                                                  "|5|0|0"},
        {3, false, {"", "+*.new", "allow", "save", "save"},
         " *.b *.c *.new [*.new-] |5|1|0; *.new|20|0|0"},
        {3, false, {"_DELETE", "_DELETE", "save"}, "*.a *.b *.c [*.a+] *.a|5|1|0"},
        {3, false, {"_DELETE", "save"}, "!*.a *.b *.c [*.a+] *.a|5|1|1"},
        {3, true, {"#3", "_DELETE", "save"}, "*.a *.b *.c *.gone [*.gone+] *.gone|40|1|0"},
        {3, false, {"_UP", "#1", "_UP", "*.B", "4", "4", "4", "save"},
         "*.a *.c *.B [*.B-] *.a|5|1|0; *.B|15|0|0; *.c|10|1|0"},
    };
    for (const auto& c : cases) {
        Steps(c.folder, c.all, c.steps);
        EXPECT_EQ(c.shown.ToStdString(), Shown().ToStdString());
    }
    EXPECT_EQ(0, Hijacked());
}

// A typed quote is stored doubled; disabling keeps the list usable. Failures leave what was
// not written flagged, and a failed reload an empty list.
TEST_F(PanelRulesTest, AddedAndDisabledAndKeptThroughFailures)
{
    wxTEST_DIALOG(Steps(3, false, {"+", "+", "save"}), wxExpectModal<wxTextEntryDialog>("", true),
                  wxExpectModal<wxTextEntryDialog>("Kitchen's *.jpg"));
    EXPECT_EQ("*.a *.b *.c Kitchen\"s *.jpg [Kitchen\"s *.jpg+] Kitchen\"s *.jpg|20|1|0", Shown());
    EXPECT_EQ(36, Scalar("select length(GUID) from ACLRULES where ID=6"));
    panel->EnableControls(false);
    EXPECT_TRUE(!Find<wxWindow>(panel, "ID_BITMAPBUTTON_UNDO")->IsEnabled() &&
                !mask->IsEnabled() && list->IsEnabled());

    Steps(3, false, {"_DELETE", "#1", "_DELETE"});
    ExecUpdate("create trigger REFUSE before update on ACLRULES when OLD.FILEMASK='*.b' "
               "begin select raise(ABORT, 'refused'); end");
    EXPECT_THROW(panel->SaveRules(), wxSQLite3Exception);
    EXPECT_EQ("!*.a !*.b* *.c [*.b-] *.a|5|1|1", Shown());
    ExecUpdate("drop trigger REFUSE");
    panel->SaveRules();
    EXPECT_EQ("!*.a !*.b *.c [*.b-] *.a|5|1|1; *.b|10|0|1", Shown());
    ExecUpdate("alter table ACLRULES rename to ACLRULES_AWAY");
    wxTEST_DIALOG(Click(panel, "ID_BITMAPBUTTON_UNDO"),
                  ExpectDatabaseError("The folder rules could not be read again."));
    EXPECT_TRUE(list->GetCount() == 0 && mask->IsEmpty());
}

} // namespace
