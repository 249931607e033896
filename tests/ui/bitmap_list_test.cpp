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
    using swxBitmapListBox::OnDrawItem;
    using swxBitmapListBox::OnGetRowHeight;
};

wxBitmap Solid(int height, const wxColour& colour)
{
    wxImage image(16, height);
    image.SetRGB(wxRect(0, 0, 16, height), colour.Red(), colour.Green(), colour.Blue());
    return wxBitmap(image);
}

// Line n of list drawn on white into a canvas taller than the line.
wxImage Draw(DrawableList* list, size_t n, int height)
{
    wxBitmap canvas(200, height + 30);
    wxMemoryDC dc(canvas);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    list->OnDrawItem(dc, wxRect(0, 0, 200, height), n);
    dc.SelectObject(wxNullBitmap);
    return canvas.ConvertToImage();
}

// The bitmap follows the deleted flag, then flag A; the line is as high as the font needs,
// so the tails of g, j, p, q, y stay inside it.
TEST(SwxBitmapListBoxTest, LinesShowTheirFlagAndHoldTheWholeText)
{
    const std::unique_ptr<wxFrame> frame(new wxFrame(nullptr, wxID_ANY, "list"));
    auto* list = new DrawableList(frame.get(), wxID_ANY);
    ASSERT_TRUE(list->SetBitmaps(Solid(16, *wxRED), Solid(16, *wxGREEN), Solid(16, *wxBLUE)));
    frame->Show();
    list->Append("gjpqy", 1, true);
    list->Append("denies", 2, false);
    list->Append("deleted", 3, true);
    list->GetItem(2)->deleted = true;
    auto taken = std::make_unique<BitmapListItem>();
    taken->changed = true;
    EXPECT_EQ(3, list->AddItem(std::move(taken)));  // taken over unchanged and selected
    EXPECT_FALSE(list->GetItem(3)->changed || list->GetItem(4) || list->GetSelection() != 3);
    const wxColour colours[] = {*wxRED, *wxGREEN, *wxBLUE};
    for (size_t n = 0; n < 3; ++n) {
        const wxImage image = Draw(list, n, 21);
        const wxColour drawn(image.GetRed(13, 10), image.GetGreen(13, 10), image.GetBlue(13, 10));
        EXPECT_EQ(colours[n], drawn);
    }
    for (int points : {9, 24}) {
        SCOPED_TRACE(points);
        list->SetFont(wxFontInfo(points));
        list->RefreshAll();
        const int height = list->OnGetRowHeight(0);
        const wxImage image = Draw(list, 0, height);
        int lowestInk = -1;
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 30; x < 200; ++x)
                lowestInk = image.GetRed(x, y) < 128 ? y : lowestInk;
        EXPECT_GT(lowestInk, height / 2);
        EXPECT_LT(lowestInk, height);
    }
}

} // namespace
