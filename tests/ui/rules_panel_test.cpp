#include "ui/rules_panel.h"

#include <gtest/gtest.h>

#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include "ui/bitmap_list.h"
#include "store/database.h"
#include "tests/app/widgets_test_support.h"
#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"

namespace {

using widgets_test::ChooseLine;
using widgets_test::Click;
using widgets_test::Find;
using widgets_test::Toggle;
using widgets_test::Type;

constexpr wxUint32 kFolder = 3;
constexpr const char* kOldTime = "2000-01-01 00:00:00";

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

    // A stored rule of kFolder (or another folder), last modified long ago; returns its ID.
    static int StoreRule(const char* mask, int line, int allowing = 1, int deleted = 0,
                         wxUint32 folder = kFolder)
    {
        ExecUpdate(wxString::Format("insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE, ALLOW, "
                                    "MODIFIED, DELETED) values ('g', %u, '%s', %d, %d, '%s', %d)",
                                    folder, mask, line, allowing, kOldTime, deleted));
        return static_cast<int>(LastInsertId());
    }
    static wxString Column(const char* column, int id)
    {
        return ExecQuery(wxString::Format("select %s from ACLRULES where ID=%d", column, id))
            .GetAsString(0);
    }
    static int Rows() { return Scalar("select count(*) from ACLRULES"); }
    static int Untouched() { return Scalar("select count(*) from ACLRULES where MODIFIED='2000-01-01 00:00:00'"); }

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

    void AddByButton(const wxString& answer)
    {
        wxTEST_DIALOG(Click(panel, "ID_BITMAPBUTTON_ADD"),
                      wxExpectModal<wxTextEntryDialog>(answer, answer.empty()));
    }

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
    EXPECT_EQ(0u, list->GetCount());
    EXPECT_EQ("", mask->GetValue());
    EXPECT_FALSE(allow->IsEnabled());

    StoreRule("*.b", 10, 0);
    StoreRule("*.a", 5, 1);
    StoreRule("*.gone", 7, 1, 1);
    StoreRule("other", 1, 1, 0, kFolder + 1);

    panel->SetFolder(kFolder, true);
    EXPECT_EQ("*.a *.b", Listed());
    EXPECT_EQ(0, list->GetSelection());
    EXPECT_EQ("*.a", mask->GetValue());
    EXPECT_FALSE(mask->IsModified());
    EXPECT_TRUE(allow->GetValue());
    EXPECT_TRUE(allow->IsEnabled());
    EXPECT_EQ(kFolder, panel->GetFolderId());

    panel->SetFolder(kFolder, false);
    EXPECT_EQ("*.a !*.gone *.b", Listed());
    ChooseLine(list, 2);
    EXPECT_EQ("*.b", mask->GetValue());
    EXPECT_FALSE(allow->GetValue());
}

TEST_F(PanelRulesTest, AddedRuleAllowsAndFollowsLargestListedLineByFive)
{
    StoreRule("*.a", 12);
    StoreRule("*.gone", 40, 1, 1);  // not listed, so it does not count
    panel->SetFolder(kFolder, true);

    AddByButton("Kitchen's *.jpg");
    EXPECT_EQ("*.a Kitchen\"s *.jpg*", Listed());
    EXPECT_EQ(1, list->GetSelection());
    EXPECT_EQ("Kitchen\"s *.jpg", mask->GetValue());
    EXPECT_TRUE(allow->GetValue());
    EXPECT_EQ(2, Rows());  // nothing written yet

    panel->SaveRules();
    const int id = Scalar("select ID from ACLRULES where FILEMASK='Kitchen\"s *.jpg'");
    EXPECT_EQ("17", Column("NLINE", id));
    EXPECT_EQ("1", Column("ALLOW", id));
    EXPECT_EQ("0", Column("DELETED", id));
    EXPECT_EQ(wxString::Format("%u", kFolder), Column("FOLDERID", id));
    EXPECT_EQ(36u, Column("GUID", id).length());
    EXPECT_EQ(static_cast<wxUint32>(id), list->GetItem(1)->data);
    EXPECT_EQ("*.a Kitchen\"s *.jpg", Listed());
}

TEST_F(PanelRulesTest, FirstRuleOfEmptyListGetsLineFiveAndCancelAddsNothing)
{
    StoreRule("*.neg", -4);
    panel->SetFolder(kFolder, true);
    AddByButton("");
    EXPECT_EQ("*.neg", Listed());
    panel->AddRule("*.given's");  // a caller's mask is taken as it is
    EXPECT_EQ(5, list->GetItem(1)->order);
    EXPECT_EQ("*.given's", list->GetItem(1)->text);
}

TEST_F(PanelRulesTest, EditIsCommittedWhenAnotherRuleIsSelected)
{
    const int a = StoreRule("*.a", 5);
    const int b = StoreRule("*.b", 10);
    panel->SetFolder(kFolder, true);

    Type(mask, "*.edited");
    Toggle(allow);
    ChooseLine(list, 1);
    EXPECT_EQ("*.edited* *.b", Listed());
    EXPECT_FALSE(list->GetItem(0)->flagA);
    EXPECT_EQ("*.b", mask->GetValue());

    panel->SaveRules();
    EXPECT_EQ("*.edited", Column("FILEMASK", a));
    EXPECT_EQ("0", Column("ALLOW", a));
    EXPECT_NE(kOldTime, Column("MODIFIED", a));
    EXPECT_EQ(kOldTime, Column("MODIFIED", b));
}

TEST_F(PanelRulesTest, SaveCommitsFieldAndStoresEmptiedMaskAndDeniedNewRule)
{
    const int a = StoreRule("*.a", 5);
    panel->SetFolder(kFolder, true);
    Type(mask, "");
    panel->AddRule("*.new");
    Toggle(allow);  // the new rule stops allowing
    panel->SaveRules();

    EXPECT_EQ("", Column("FILEMASK", a));
    EXPECT_EQ("0", Column("ALLOW", Scalar("select ID from ACLRULES where FILEMASK='*.new'")));
}

// Deleting twice undeletes but still rewrites the rule.
TEST_F(PanelRulesTest, DeletedRuleStaysVisibleUntilReloadAndCanComeBackInFullList)
{
    const int a = StoreRule("*.a", 5);
    StoreRule("*.b", 10);
    panel->SetFolder(kFolder, true);
    Click(panel, "ID_BITMAPBUTTON_DELETE");
    EXPECT_EQ("!*.a* *.b", Listed());
    Click(panel, "ID_BITMAPBUTTON_DELETE");
    EXPECT_EQ("*.a* *.b", Listed());
    panel->SaveRules();
    EXPECT_EQ("0", Column("DELETED", a));
    EXPECT_NE(kOldTime, Column("MODIFIED", a));

    Click(panel, "ID_BITMAPBUTTON_DELETE");
    panel->SaveRules();
    EXPECT_EQ("1", Column("DELETED", a));
    EXPECT_EQ("!*.a *.b", Listed());
    panel->SetFolder(kFolder, true);
    EXPECT_EQ("*.b", Listed());

    panel->SetFolder(kFolder, false);
    EXPECT_EQ("!*.a *.b", Listed());
    Click(panel, "ID_BITMAPBUTTON_DELETE");
    panel->SaveRules();
    EXPECT_EQ("0", Column("DELETED", a));
}

TEST_F(PanelRulesTest, MovingRulesExchangesTheirLinesAndWritesBoth)
{
    const int a = StoreRule("*.a", 5);
    const int b = StoreRule("*.b", 10);
    const int c = StoreRule("*.c", 15);
    panel->SetFolder(kFolder, true);

    Click(panel, "ID_BITMAPBUTTON_UP");  // the first rule stays first
    EXPECT_EQ("*.a *.b *.c", Listed());
    ChooseLine(list, 1);
    Click(panel, "ID_BITMAPBUTTON_UP");
    EXPECT_EQ("*.b* *.a* *.c", Listed());
    EXPECT_EQ(0, list->GetSelection());

    // The edit goes to the moved rule, which the panel still shows.
    Type(mask, "*.B");
    Click(panel, "ID_BITMAPBUTTON4");
    Click(panel, "ID_BITMAPBUTTON4");
    Click(panel, "ID_BITMAPBUTTON4");  // the last rule stays last
    EXPECT_EQ("*.a* *.c* *.b*", Listed());
    panel->SaveRules();

    EXPECT_EQ("5", Column("NLINE", a));
    EXPECT_EQ("10", Column("NLINE", c));
    EXPECT_EQ("15", Column("NLINE", b));
    EXPECT_EQ("*.B", Column("FILEMASK", b));
}

TEST_F(PanelRulesTest, UndoDropsUnsavedRulesAndEdits)
{
    StoreRule("*.a", 5);
    panel->SetFolder(kFolder, true);
    Type(mask, "*.changed");
    panel->AddRule("*.new");
    Click(panel, "ID_BITMAPBUTTON_UNDO");
    EXPECT_EQ("*.a", Listed());
    EXPECT_EQ("*.a", mask->GetValue());
    panel->SaveRules();
    EXPECT_EQ(1, Rows());
    EXPECT_EQ(1, Untouched());
}

TEST_F(PanelRulesTest, SavingWithoutEditsWritesNothing)
{
    StoreRule("*.a", 5);
    StoreRule("*.b", 10);
    panel->SetFolder(kFolder, true);
    ChooseLine(list, 1);
    int before = Scalar("select total_changes()");
    panel->SaveRules();
    panel->SaveRules();
    EXPECT_EQ(before, Scalar("select total_changes()"));
    EXPECT_EQ(2, Untouched());

    // A saved new rule is not written again either.
    panel->AddRule("*.new");
    panel->SaveRules();
    before = Scalar("select total_changes()");
    panel->SaveRules();
    EXPECT_EQ(before, Scalar("select total_changes()"));
    EXPECT_EQ(3, Rows());
}

TEST_F(PanelRulesTest, DisabledPanelKeepsOnlyListUsable)
{
    panel->EnableControls(false);
    for (const char* name : {"ID_BITMAPBUTTON_ADD", "ID_BITMAPBUTTON_DELETE", "ID_BITMAPBUTTON_UP",
                             "ID_BITMAPBUTTON4", "ID_BITMAPBUTTON_UNDO", "ID_TEXTCTRL_RULE",
                             "ID_CHECKBOX_RULE_ALLOW"})
        EXPECT_FALSE(Find<wxWindow>(panel, name)->IsEnabled()) << name;
    EXPECT_TRUE(list->IsEnabled());

    panel->EnableControls(true);
    EXPECT_TRUE(Find<wxWindow>(panel, "ID_BITMAPBUTTON_UNDO")->IsEnabled());
    EXPECT_TRUE(mask->IsEnabled());
}

TEST_F(PanelRulesTest, UndoOnBrokenCatalogueShowsMessageAndEmptiesList)
{
    StoreRule("*.a", 5);
    panel->SetFolder(kFolder, true);
    ExecUpdate("alter table ACLRULES rename to ACLRULES_AWAY");
    wxTEST_DIALOG(Click(panel, "ID_BITMAPBUTTON_UNDO"),
                  widgets_test::ExpectDatabaseError("The folder rules could not be read again."));
    EXPECT_EQ(0u, list->GetCount());
    EXPECT_EQ("", mask->GetValue());

    ExecUpdate("alter table ACLRULES_AWAY rename to ACLRULES");
    Click(panel, "ID_BITMAPBUTTON_UNDO");
    EXPECT_EQ("*.a", Listed());
}

TEST_F(PanelRulesTest, FailedSaveKeepsUnwrittenRulesFlaggedForNextSave)
{
    const int a = StoreRule("*.a", 5);
    const int b = StoreRule("*.b", 10);
    panel->SetFolder(kFolder, true);
    Click(panel, "ID_BITMAPBUTTON_DELETE");
    ChooseLine(list, 1);
    Click(panel, "ID_BITMAPBUTTON_DELETE");
    ExecUpdate(wxString::Format("create trigger REFUSE before update on ACLRULES when OLD.ID=%d "
                                "begin select raise(ABORT, 'refused'); end", b));

    EXPECT_THROW(panel->SaveRules(), wxSQLite3Exception);
    EXPECT_EQ("1", Column("DELETED", a));
    EXPECT_EQ("!*.a !*.b*", Listed());

    ExecUpdate("drop trigger REFUSE");
    panel->SaveRules();
    EXPECT_EQ("1", Column("DELETED", b));
    EXPECT_EQ("!*.a !*.b", Listed());
}

} // namespace
