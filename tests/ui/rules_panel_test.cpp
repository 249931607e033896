#include "ui/rules_panel.h"

#include <gtest/gtest.h>

#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include "store/database.h"
#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"
#include "tests/support/widgets.h"
#include "ui/bitmap_list.h"

namespace {

using namespace widgets_test;

constexpr wxUint32 kFolder = 3;

class PanelRulesTest : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        frame = new wxFrame(nullptr, wxID_ANY, "rules", wxDefaultPosition, wxSize(400, 400));
        panel = new PanelRules(frame, wxID_ANY);
        frame->Show();
        list = Find<swxBitmapListBox>(panel, "ID_CUSTOM_BMPLBX_RULES");
        mask = Find<wxTextCtrl>(panel, "ID_TEXTCTRL_RULE");
        allow = Find<wxCheckBox>(panel, "ID_CHECKBOX_RULE_ALLOW");
    }
    void TearDown() override
    {
        delete frame;
        CatalogTest::TearDown();
    }

    // A stored rule of kFolder (or another folder) modified at kOldTime.
    static void StoreRule(const char* mask, int line, int allowing = 1, int deleted = 0,
                          wxUint32 folder = kFolder)
    {
        ExecUpdate(wxString::Format("insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE, ALLOW, "
                                    "MODIFIED, DELETED) values ('g', %u, '%s', %d, %d, '%s', %d)",
                                    folder, mask, line, allowing, kOldTime, deleted));
    }
    // Stores the first n of "*.a", "*.b", "*.c" at lines 5, 10, 15 and shows the folder.
    void Show(int n)
    {
        for (int i = 0; i < n; ++i)
            StoreRule(i == 0 ? "*.a" : i == 1 ? "*.b" : "*.c", 5 * (i + 1));
        panel->SetFolder(kFolder, true);
    }
    // "mask|line|allow|deleted|written" of every stored rule of kFolder in the order stored,
    // written 1 when the rule was written since kOldTime.
    static wxString Stored()
    {
        return Rows(wxString::Format("select FILEMASK, NLINE, ALLOW, DELETED, MODIFIED<>'%s' from ACLRULES "
                                     "where FOLDERID=%u order by ID", kOldTime, kFolder));
    }
    static int Changes() { return Scalar("select total_changes()"); }

    // The listed masks, a "!" before each flagged deleted, "*" after each flagged changed.
    wxString Listed() const
    {
        wxString text;
        for (size_t n = 0; n < list->GetCount(); ++n) {
            const BitmapListItem* rule = list->GetItem(n);
            text << (n ? " " : "") << (rule->deleted ? "!" : "") << rule->text
                 << (rule->changed ? "*" : "");
        }
        return text;
    }
    void Click(const char* name) const { widgets_test::Click(panel, name); }

    wxFrame* frame = nullptr;
    PanelRules* panel = nullptr;
    swxBitmapListBox* list = nullptr;
    wxTextCtrl* mask = nullptr;
    wxCheckBox* allow = nullptr;
};

// An empty folder shows nothing and disables the allow box; disabling keeps the list usable.
TEST_F(PanelRulesTest, SetFolderListsRulesInLineOrderAndShowsFirst)
{
    panel->SetFolder(kFolder, true);
    EXPECT_EQ("", Listed() + mask->GetValue());
    EXPECT_FALSE(allow->IsEnabled());
    StoreRule("*.b", 10, 0);
    StoreRule("*.a", 5, 1);
    StoreRule("*.gone", 7, 1, 1);
    StoreRule("other", 1, 1, 0, kFolder + 1);
    panel->SetFolder(kFolder, true);
    EXPECT_EQ("*.a *.b|0|*.a|1|1", wxString::Format("%s|%d|%s|%d|%d", Listed(), list->GetSelection(),
                                                    mask->GetValue(), allow->GetValue(),
                                                    allow->IsEnabled()));
    panel->SetFolder(kFolder, false);
    EXPECT_EQ("*.a !*.gone *.b", Listed());
    ChooseLine(list, 2);
    EXPECT_EQ("*.b|0", mask->GetValue() + wxString::Format("|%d", allow->GetValue()));
    panel->EnableControls(false);
    EXPECT_FALSE(Find<wxWindow>(panel, "ID_BITMAPBUTTON_UNDO")->IsEnabled() || mask->IsEnabled());
    EXPECT_TRUE(list->IsEnabled());
}

// Lines follow the largest listed line by five (at least five); a typed quote is stored doubled.
TEST_F(PanelRulesTest, AddedRuleAllowsAndIsWrittenOnlyOnSave)
{
    StoreRule("*.a", 12);
    StoreRule("*.gone", 40, 1, 1);  // not listed, so it does not count
    panel->SetFolder(kFolder, true);
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_ADD"), wxExpectModal<wxTextEntryDialog>("", true));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_ADD"), wxExpectModal<wxTextEntryDialog>("Kitchen's *.jpg"));
    EXPECT_EQ("*.a Kitchen\"s *.jpg*", Listed());
    EXPECT_TRUE(allow->GetValue());
    EXPECT_EQ("*.a|12|1|0|0; *.gone|40|1|1|0", Stored());
    panel->SaveRules();
    EXPECT_EQ("*.a|12|1|0|0; *.gone|40|1|1|0; Kitchen\"s *.jpg|17|1|0|1", Stored());
    EXPECT_EQ(36, Scalar("select length(GUID) from ACLRULES where ID=3"));
    EXPECT_EQ(3u, list->GetItem(1)->data);
    EXPECT_EQ("*.a Kitchen\"s *.jpg", Listed());

    StoreRule("*.neg", -4, 1, 0, kFolder + 1);
    panel->SetFolder(kFolder + 1, true);
    panel->AddRule(kCraftedName);  // a caller's mask is quoted as a typed one
    EXPECT_EQ(5, list->GetItem(1)->order);
    EXPECT_EQ(kCraftedStored, list->GetItem(1)->text);
}

// The edited rule is committed when another is selected or on save; undo drops the edits, and
// saving without edits (a saved new rule included) writes nothing.
TEST_F(PanelRulesTest, EditsAreCommittedAndStoredAsTyped)
{
    Show(2);
    Type(mask, "*.changed");
    panel->AddRule("*.new");
    Click("ID_BITMAPBUTTON_UNDO");
    EXPECT_EQ("*.a *.b", Listed());
    EXPECT_EQ("*.a", mask->GetValue());
    const int before = Changes();
    panel->SaveRules();
    EXPECT_EQ(before, Changes());

    Type(mask, kCraftedName);
    Toggle(allow);
    ChooseLine(list, 1);
    EXPECT_EQ(wxString(kCraftedStored) + "* *.b", Listed());
    Type(mask, "");
    panel->AddRule("*.new");
    Toggle(allow);  // the new rule stops allowing
    panel->SaveRules();
    EXPECT_EQ(wxString(kCraftedStored) + "|5|0|0|1; |10|1|0|1; *.new|15|0|0|1", Stored());
    const int after = Changes();
    panel->SaveRules();
    EXPECT_EQ(after, Changes());
}

// Deleting twice undeletes but still rewrites the rule; a deleted rule shows until reloaded
// and can come back in the full list. A failed save keeps unwritten rules flagged.
TEST_F(PanelRulesTest, DeletedRuleStaysVisibleUntilReloadAndFailedSaveKeepsFlags)
{
    Show(2);
    Click("ID_BITMAPBUTTON_DELETE");
    EXPECT_EQ("!*.a* *.b", Listed());
    Click("ID_BITMAPBUTTON_DELETE");
    panel->SaveRules();
    EXPECT_EQ("*.a|5|1|0|1; *.b|10|1|0|0", Stored());
    Click("ID_BITMAPBUTTON_DELETE");
    panel->SaveRules();
    EXPECT_EQ("!*.a *.b", Listed());
    panel->SetFolder(kFolder, true);
    EXPECT_EQ("*.b", Listed());
    panel->SetFolder(kFolder, false);
    Click("ID_BITMAPBUTTON_DELETE");
    ChooseLine(list, 1);
    Click("ID_BITMAPBUTTON_DELETE");
    ExecUpdate("create trigger REFUSE before update on ACLRULES when OLD.ID=2 "
               "begin select raise(ABORT, 'refused'); end");
    EXPECT_THROW(panel->SaveRules(), wxSQLite3Exception);
    EXPECT_EQ("*.a|5|1|0|1; *.b|10|1|0|0", Stored());
    EXPECT_EQ("*.a !*.b*", Listed());
    ExecUpdate("drop trigger REFUSE");
    panel->SaveRules();
    EXPECT_EQ("*.a|5|1|0|1; *.b|10|1|1|1", Stored());
}

// The edit goes to the moved rule, which the panel still shows; the ends stay where they are.
// Undo on a broken catalogue shows the failure and empties the list.
TEST_F(PanelRulesTest, MovingRulesExchangesTheirLinesAndWritesBoth)
{
    Show(3);
    Click("ID_BITMAPBUTTON_UP");
    EXPECT_EQ("*.a *.b *.c", Listed());
    ChooseLine(list, 1);
    Click("ID_BITMAPBUTTON_UP");
    EXPECT_EQ("*.b* *.a* *.c", Listed());
    EXPECT_EQ(0, list->GetSelection());
    Type(mask, "*.B");
    for (int i = 0; i < 3; ++i)
        Click("ID_BITMAPBUTTON4");  // down
    EXPECT_EQ("*.a* *.c* *.b*", Listed());
    panel->SaveRules();
    EXPECT_EQ("*.a|5|1|0|1; *.B|15|1|0|1; *.c|10|1|0|1", Stored());

    ExecUpdate("alter table ACLRULES rename to ACLRULES_AWAY");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_UNDO"), ExpectDatabaseError("The folder rules could not be read again."));
    EXPECT_EQ("", Listed() + mask->GetValue());
    ExecUpdate("alter table ACLRULES_AWAY rename to ACLRULES");
    Click("ID_BITMAPBUTTON_UNDO");
    EXPECT_EQ("*.a *.c *.B", Listed());
}

} // namespace
