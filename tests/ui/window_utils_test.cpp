#include "ui/window_utils.h"

#include <gtest/gtest.h>

#include <wx/choice.h>
#include <wx/dirdlg.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/testing.h>

#include "ui/db_error.h"
#include "store/database.h"
#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"

namespace {

// Cancels the system folder chooser after checking its instruction text. (GTK's chooser
// reports a path only after it really ran, so the chosen path cannot be faked here.)
class CancelDirDialog : public wxExpectModalBase<wxDirDialog, CancelDirDialog> {
protected:
    int OnInvoked(wxDirDialog* dlg) const override
    {
        EXPECT_EQ("Choose it", dlg->GetMessage());
        return wxID_CANCEL;
    }
};

class WindowUtilsTest : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        frame = new wxFrame(nullptr, wxID_ANY, "utils");
        list = new wxListBox(frame, wxID_ANY);
        choice = new wxChoice(frame, wxID_ANY);
    }
    void TearDown() override
    {
        delete frame;
        CatalogTest::TearDown();
    }

    wxFrame* frame = nullptr;
    wxListBox* list = nullptr;
    wxChoice* choice = nullptr;
};

TEST_F(WindowUtilsTest, FillControlFromQueryPutsIdsBehindLabelsAndSelectsFirst)
{
    AddProject("Beta");
    AddProject("Alpha");
    AddProject("Gamma");
    ExecUpdate("update PROJECT set CAPTION=null where ID=3");
    choice->Append("stale");
    FillControlFromQuery(choice, "select ID, CAPTION from PROJECT order by ID desc");

    ASSERT_EQ(3u, choice->GetCount());
    EXPECT_EQ("", choice->GetString(0));  // a null caption
    EXPECT_EQ("Alpha", choice->GetString(1));
    EXPECT_EQ(0, choice->GetSelection());
    wxUint32 id = 0;
    EXPECT_TRUE(GetSelectedItemData(choice, id));
    EXPECT_EQ(3u, id);
    EXPECT_EQ(2, FindItemByData(choice, 1));
    EXPECT_EQ(wxNOT_FOUND, FindItemByData(choice, 99));
}

TEST_F(WindowUtilsTest, EveryBitmapOfTheWindowsIsCompiledInAndMasked)
{
    for (const char* name : {"plus", "minus", "tick", "cross", "recycled", "up", "down", "undo",
                             "filter", "select_all", "sort_up", "sort_down", "globe", "refresh",
                             "attach", "tools", "compress", "sync", "opendoc", "exit", "flag",
                             "save", "move", "properties"}) {
        const wxBitmap bitmap = LoadMaskedBitmap(name);
        ASSERT_TRUE(bitmap.IsOk()) << name;
        EXPECT_EQ(16, bitmap.GetWidth()) << name;
        EXPECT_EQ(16, bitmap.GetHeight()) << name;
        EXPECT_NE(nullptr, bitmap.GetMask()) << name;
    }
    EXPECT_TRUE(LoadMaskedBitmap("dralvo_icon").IsOk());
}

TEST_F(WindowUtilsTest, MagentaIsTransparentAndUnknownNameGivesInvalidBitmap)
{
    // The corner of "plus" is background.
    const wxImage image = LoadMaskedBitmap("plus").ConvertToImage();
    ASSERT_TRUE(image.HasMask() || image.HasAlpha());
    EXPECT_TRUE(image.IsTransparent(0, 0));
    EXPECT_FALSE(image.IsTransparent(8, 8));
    EXPECT_FALSE(LoadMaskedBitmap("no_such_bitmap").IsOk());
}

// The system chooser is cancelled here: GTK's reports a path only after it really ran.
TEST_F(WindowUtilsTest, BrowseForFolderAsksTheReplacedOrTheSystemChooser)
{
    wxString seen;
    FolderBrowser previous = SetFolderBrowser(
        [&](wxWindow* parent, const wxString& start, const wxString& title) {
            seen = wxString::Format("%d|%s|%s", parent == frame, start, title);
            return wxString("/chosen");
        });
    EXPECT_EQ("/chosen", BrowseForFolder(frame, "/start", "Pick"));
    EXPECT_EQ("1|/start|Pick", seen);
    EXPECT_FALSE(previous);
    SetFolderBrowser(FolderBrowser());

    wxString result = "unchanged";
    wxTEST_DIALOG(result = BrowseForFolder(frame, dir / "missing", "Choose it"), CancelDirDialog());
    EXPECT_EQ("", result);
}

} // namespace
