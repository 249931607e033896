#include "ui/bitmap_list.h"

#include <memory>

#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>

namespace {

// Exposes the line drawing, so that tests can look at the pixels of one line.
class DrawableList : public swxBitmapListBox {
public:
    using swxBitmapListBox::swxBitmapListBox;
    using swxBitmapListBox::OnGetRowHeight;

    // Line n drawn on white into a canvas 30 pixels taller than the line.
    wxImage Draw(size_t n, int height) const
    {
        wxBitmap canvas(200, height + 30);
        wxMemoryDC dc(canvas);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        OnDrawItem(dc, wxRect(0, 0, 200, height), n);
        dc.SelectObject(wxNullBitmap);
        return canvas.ConvertToImage();
    }
};

// The bitmap follows the deleted flag, then flag A; the line is as high as the font needs,
// so the tails of g, j, p, q, y stay inside it.
TEST(SwxBitmapListBoxTest, LinesShowTheirFlagAndHoldTheWholeText)
{
    const std::unique_ptr<wxFrame> frame(new wxFrame(nullptr, wxID_ANY, "list"));
    auto* list = new DrawableList(frame.get(), wxID_ANY);
    const wxColour colours[] = {*wxRED, *wxGREEN, *wxBLUE};  // allows, denies, deleted
    wxImage solid[3];
    for (int n = 0; n < 3; ++n)
        solid[n].Create(16, 16), solid[n].SetRGB(wxRect(0, 0, 16, 16), colours[n].Red(),
                                                 colours[n].Green(), colours[n].Blue());
    ASSERT_TRUE(list->SetBitmaps(wxBitmap(solid[0]), wxBitmap(solid[1]), wxBitmap(solid[2])));
    list->Append("gjpqy", 1, true);
    list->Append("denies", 2, false);
    list->Append("deleted", 3, true);
    list->GetItem(2)->deleted = true;
    for (size_t n = 0; n < 3; ++n) {
        const wxImage image = list->Draw(n, 21);
        EXPECT_EQ(colours[n], wxColour(image.GetRed(13, 10), image.GetGreen(13, 10),
                                       image.GetBlue(13, 10)));
    }
    for (int points : {9, 24}) {
        list->SetFont(wxFontInfo(points));
        const int height = list->OnGetRowHeight(0);
        const wxImage image = list->Draw(0, height);
        int lowestInk = -1;
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 30; x < 200; ++x)
                lowestInk = image.GetRed(x, y) < 128 ? y : lowestInk;
        EXPECT_TRUE(lowestInk > height / 2 && lowestInk < height) << points << ": " << lowestInk;
    }
}

} // namespace
