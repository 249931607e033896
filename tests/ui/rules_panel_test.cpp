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

using widgets_test::ChooseLine;
using widgets_test::Find;
using widgets_test::Toggle;
using widgets_test::Type;

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

    // A stored rule of kFolder (or another folder) modified at kOldTime; returns its ID.
    static int StoreRule(const char* mask, int line, int allowing = 1, int deleted = 0,
                         wxUint32 folder = kFolder)
    {
        ExecUpdate(wxString::Format("insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE, ALLOW, "
                                    "MODIFIED, DELETED) values ('g', %u, '%s', %d, %d, '%s', %d)",
                                    folder, mask, line, allowing, kOldTime, deleted));
        return static_cast<int>(LastInsertId());
    }
    // "mask|line|allow|deleted" of a stored rule, "+" after it when written since kOldTime.
    static wxString Stored(int id)
    {
        return Text(wxString::Format("select FILEMASK||'|'||NLINE||'|'||ALLOW||'|'||DELETED||"
                                     "case when MODIFIED<>'%s' then '+' else '' end "
                                     "from ACLRULES where ID=%d", kOldTime, id));
    }
    static int StoredId(const char* mask)
    {
        return Scalar(wxString("select ID from ACLRULES where FILEMASK='") + mask + "'");
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

// An empty folder shows nothing and disables the allow box.
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
    EXPECT_EQ("*.a *.b", Listed());
    EXPECT_EQ(0, list->GetSelection());
    EXPECT_EQ("*.a", mask->GetValue());
    EXPECT_TRUE(allow->GetValue());
    EXPECT_TRUE(allow->IsEnabled());

    panel->SetFolder(kFolder, false);
    EXPECT_EQ("*.a !*.gone *.b", Listed());
    ChooseLine(list, 2);
    EXPECT_EQ("*.b", mask->GetValue());
    EXPECT_FALSE(allow->GetValue());
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
    EXPECT_EQ("Kitchen\"s *.jpg", mask->GetValue());
    EXPECT_TRUE(allow->GetValue());
    EXPECT_EQ(2, Scalar("select count(*) from ACLRULES"));

    panel->SaveRules();
    const int id = StoredId("Kitchen\"s *.jpg");
    EXPECT_EQ("Kitchen\"s *.jpg|17|1|0+", Stored(id));
    EXPECT_EQ(1, Scalar(wxString::Format("select count(*) from ACLRULES where ID=%d and FOLDERID=%u "
                                         "and length(GUID)=36", id, kFolder)));
    EXPECT_EQ(static_cast<wxUint32>(id), list->GetItem(1)->data);
    EXPECT_EQ("*.a Kitchen\"s *.jpg", Listed());

    StoreRule("*.neg", -4, 1, 0, kFolder + 1);
    panel->SetFolder(kFolder + 1, true);
    panel->AddRule("*.given's");  // a caller's mask is taken as it is
    EXPECT_EQ(5, list->GetItem(1)->order);
}

// The edited rule is committed when another is selected or on save; its quote is stored doubled.
TEST_F(PanelRulesTest, EditsAreCommittedAndStoredAsTyped)
{
    const int a = StoreRule("*.a", 5);
    const int b = StoreRule("*.b", 10);
    panel->SetFolder(kFolder, true);
    Type(mask, "Kitchen's *.jpg");
    Toggle(allow);
    ChooseLine(list, 1);
    EXPECT_EQ("Kitchen\"s *.jpg* *.b", Listed());
    Type(mask, "");
    panel->AddRule("*.new");
    Toggle(allow);  // the new rule stops allowing
    panel->SaveRules();
    EXPECT_EQ("Kitchen\"s *.jpg|5|0|0+", Stored(a));
    EXPECT_EQ("|10|1|0+", Stored(b));
    EXPECT_EQ("*.new|15|0|0+", Stored(StoredId("*.new")));
}

// Deleting twice undeletes but still rewrites the rule.
TEST_F(PanelRulesTest, DeletedRuleStaysVisibleUntilReloadAndCanComeBackInFullList)
{
    const int a = StoreRule("*.a", 5);
    StoreRule("*.b", 10);
    panel->SetFolder(kFolder, true);
    Click("ID_BITMAPBUTTON_DELETE");
    EXPECT_EQ("!*.a* *.b", Listed());
    Click("ID_BITMAPBUTTON_DELETE");
    panel->SaveRules();
    EXPECT_EQ("*.a|5|1|0+", Stored(a));

    Click("ID_BITMAPBUTTON_DELETE");
    panel->SaveRules();
    EXPECT_EQ("*.a|5|1|1+", Stored(a));
    EXPECT_EQ("!*.a *.b", Listed());
    panel->SetFolder(kFolder, true);
    EXPECT_EQ("*.b", Listed());
    panel->SetFolder(kFolder, false);
    Click("ID_BITMAPBUTTON_DELETE");
    panel->SaveRules();
    EXPECT_EQ("*.a|5|1|0+", Stored(a));
}

TEST_F(PanelRulesTest, MovingRulesExchangesTheirLinesAndWritesBoth)
{
    const int a = StoreRule("*.a", 5);
    const int b = StoreRule("*.b", 10);
    const int c = StoreRule("*.c", 15);
    panel->SetFolder(kFolder, true);
    Click("ID_BITMAPBUTTON_UP");  // the first rule stays first
    EXPECT_EQ("*.a *.b *.c", Listed());
    ChooseLine(list, 1);
    Click("ID_BITMAPBUTTON_UP");
    EXPECT_EQ("*.b* *.a* *.c", Listed());
    EXPECT_EQ(0, list->GetSelection());

    // The edit goes to the moved rule, which the panel still shows.
    Type(mask, "*.B");
    for (int i = 0; i < 3; ++i)
        Click("ID_BITMAPBUTTON4");  // down; the last rule stays last
    EXPECT_EQ("*.a* *.c* *.b*", Listed());
    panel->SaveRules();
    EXPECT_EQ("*.a|5|1|0+", Stored(a));
    EXPECT_EQ("*.c|10|1|0+", Stored(c));
    EXPECT_EQ("*.B|15|1|0+", Stored(b));
}

TEST_F(PanelRulesTest, UndoAndSavingWithoutEditsWriteNothing)
{
    const int a = StoreRule("*.a", 5);
    StoreRule("*.b", 10);
    panel->SetFolder(kFolder, true);
    Type(mask, "*.changed");
    panel->AddRule("*.new");
    Click("ID_BITMAPBUTTON_UNDO");
    EXPECT_EQ("*.a *.b", Listed());
    EXPECT_EQ("*.a", mask->GetValue());
    ChooseLine(list, 1);
    const int before = Changes();
    panel->SaveRules();
    panel->SaveRules();
    EXPECT_EQ(before, Changes());
    EXPECT_EQ("*.a|5|1|0", Stored(a));

    // A saved new rule is not written again either.
    panel->AddRule("*.new");
    panel->SaveRules();
    const int after = Changes();
    panel->SaveRules();
    EXPECT_EQ(after, Changes());
}

TEST_F(PanelRulesTest, DisabledPanelKeepsOnlyListUsable)
{
    panel->EnableControls(false);
    EXPECT_FALSE(Find<wxWindow>(panel, "ID_BITMAPBUTTON_UNDO")->IsEnabled());
    EXPECT_FALSE(mask->IsEnabled());
    EXPECT_TRUE(list->IsEnabled());
    panel->EnableControls(true);
    EXPECT_TRUE(mask->IsEnabled());
}

TEST_F(PanelRulesTest, UndoOnBrokenCatalogueShowsMessageAndEmptiesList)
{
    StoreRule("*.a", 5);
    panel->SetFolder(kFolder, true);
    ExecUpdate("alter table ACLRULES rename to ACLRULES_AWAY");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_UNDO"),
                  ExpectDatabaseError("The folder rules could not be read again."));
    EXPECT_EQ("", Listed() + mask->GetValue());
    ExecUpdate("alter table ACLRULES_AWAY rename to ACLRULES");
    Click("ID_BITMAPBUTTON_UNDO");
    EXPECT_EQ("*.a", Listed());
}

TEST_F(PanelRulesTest, FailedSaveKeepsUnwrittenRulesFlaggedForNextSave)
{
    const int a = StoreRule("*.a", 5);
    const int b = StoreRule("*.b", 10);
    panel->SetFolder(kFolder, true);
    Click("ID_BITMAPBUTTON_DELETE");
    ChooseLine(list, 1);
    Click("ID_BITMAPBUTTON_DELETE");
    ExecUpdate(wxString::Format("create trigger REFUSE before update on ACLRULES when OLD.ID=%d "
                                "begin select raise(ABORT, 'refused'); end", b));
    EXPECT_THROW(panel->SaveRules(), wxSQLite3Exception);
    EXPECT_EQ("*.a|5|1|1+", Stored(a));
    EXPECT_EQ("!*.a !*.b*", Listed());

    ExecUpdate("drop trigger REFUSE");
    panel->SaveRules();
    EXPECT_EQ("*.b|10|1|1+", Stored(b));
    EXPECT_EQ("!*.a !*.b", Listed());
}

} // namespace
