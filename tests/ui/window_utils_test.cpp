#include "ui/window_utils.h"

#include <gtest/gtest.h>

#include <wx/dirdlg.h>
#include <wx/testing.h>

namespace {

// Cancels the system folder chooser after checking its instruction text. (GTK's chooser
// reports a path only after it really ran, so the chosen path cannot be faked here.)
class CancelDirDialog : public wxExpectModalBase<wxDirDialog, CancelDirDialog> {
public:
    int OnInvoked(wxDirDialog* dlg) const override
    {
        EXPECT_EQ("Choose it", dlg->GetMessage());
        return wxID_CANCEL;
    }
};

// Magenta is transparent; an unknown name gives an invalid bitmap. Without a replacement the
// system's chooser asks. "&" in user text shows as itself.
TEST(WindowUtilsTest, BitmapsAreMaskedBrowsingAsksTheSystemChooserTextIsEscaped)
{
    const wxImage image = LoadMaskedBitmap("plus").ConvertToImage();
    EXPECT_TRUE(image.IsTransparent(0, 0) && !image.IsTransparent(8, 8) &&
                !LoadMaskedBitmap("no_such_bitmap").IsOk());
    wxTEST_DIALOG(EXPECT_EQ("", BrowseForFolder(nullptr, "/none", "Choose it")),
                  CancelDirDialog());
    EXPECT_EQ("R&&D a", EscapeMnemonics("R&D\ta"));
}

} // namespace
