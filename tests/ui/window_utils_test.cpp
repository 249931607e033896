#include "ui/window_utils.h"

#include <gtest/gtest.h>

#include <wx/dirdlg.h>
#include <wx/frame.h>
#include <wx/testing.h>

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
    }
    void TearDown() override
    {
        delete frame;
        CatalogTest::TearDown();
    }

    wxFrame* frame = nullptr;
};

// Magenta is transparent; an unknown name gives an invalid bitmap.
TEST_F(WindowUtilsTest, BitmapsAreMasked)
{
    const wxImage image = LoadMaskedBitmap("plus").ConvertToImage();
    EXPECT_TRUE(image.IsTransparent(0, 0));
    EXPECT_FALSE(image.IsTransparent(8, 8));
    EXPECT_FALSE(LoadMaskedBitmap("no_such_bitmap").IsOk());
}

TEST_F(WindowUtilsTest, BrowseForFolderAsksTheReplacedOrTheSystemChooser)
{
    wxString seen;
    FolderBrowser previous = SetFolderBrowser([&](wxWindow* parent, const wxString& start,
                                                  const wxString& title) {
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
