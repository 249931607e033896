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

const wxColour kFirst(255, 0, 0);
const wxColour kSecond(0, 160, 0);
const wxColour kThird(0, 0, 255);

class SwxBitmapListBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "list", wxDefaultPosition, wxSize(300, 300));
        list = new DrawableList(frame, wxID_ANY);
        ASSERT_TRUE(list->SetBitmaps(Solid(16, kFirst), Solid(16, kSecond), Solid(16, kThird)));
        frame->Show();
    }
    void TearDown() override { delete frame; }

    // The colour of the bitmap drawn for line n.
    wxColour BitmapColourOfLine(size_t n)
    {
        wxBitmap canvas(200, 21);
        wxMemoryDC dc(canvas);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        list->OnDrawItem(dc, wxRect(0, 0, 200, 21), n);
        dc.SelectObject(wxNullBitmap);
        const wxImage image = canvas.ConvertToImage();
        return wxColour(image.GetRed(13, 10), image.GetGreen(13, 10), image.GetBlue(13, 10));
    }

    wxFrame* frame = nullptr;
    DrawableList* list = nullptr;
};

TEST_F(SwxBitmapListBoxTest, SetBitmapsNeedsFirstTwoOfOneHeight)
{
    EXPECT_FALSE(list->SetBitmaps(Solid(40, kFirst), Solid(15, kSecond), Solid(16, kThird)));
    EXPECT_LT(list->OnGetRowHeight(0), 40);
    EXPECT_TRUE(list->SetBitmaps(Solid(40, kFirst), Solid(40, kSecond), Solid(9, kThird)));
    const wxCoord tall = list->OnGetRowHeight(0);
    EXPECT_GT(tall, 40);
    // A refused call keeps the bitmaps and height set before.
    EXPECT_FALSE(list->SetBitmaps(Solid(16, kFirst), Solid(15, kSecond), Solid(16, kThird)));
    EXPECT_EQ(tall, list->OnGetRowHeight(0));
}

// The line is as high as the font needs: the tails of g, j, p, q, y stay inside it.
TEST_F(SwxBitmapListBoxTest, LineHoldsWholeTextWithDescenders)
{
    list->Append("gjpqy", 1, true);
    for (int points : {9, 14, 24}) {
        SCOPED_TRACE(points);
        list->SetFont(wxFontInfo(points));
        list->RefreshAll();
        const int height = list->OnGetRowHeight(0);
        wxBitmap canvas(200, height + 30);
        wxMemoryDC dc(canvas);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        list->OnDrawItem(dc, wxRect(0, 0, 200, height), 0);
        dc.SelectObject(wxNullBitmap);
        const wxImage image = canvas.ConvertToImage();
        int lowestInk = -1;
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 30; x < 200; ++x)
                if (image.GetRed(x, y) < 128)
                    lowestInk = y;
        EXPECT_GT(lowestInk, height / 2);
        EXPECT_LT(lowestInk, height);
    }
}

// Outside the items GetItem and GetSelectedData give nothing.
TEST_F(SwxBitmapListBoxTest, AddItemTakesItemClearsChangedAndSelectsIt)
{
    EXPECT_EQ(nullptr, list->GetItem(0));
    EXPECT_EQ(0u, list->GetSelectedData());
    auto item = std::make_unique<BitmapListItem>();
    item->text = "*.tmp";
    item->order = 12;
    item->changed = true;
    BitmapListItem* raw = item.get();
    EXPECT_EQ(0, list->AddItem(std::move(item)));
    EXPECT_EQ(1, list->Append("second", 9, true));
    EXPECT_EQ(raw, list->GetItem(0));
    EXPECT_FALSE(raw->changed);
    EXPECT_EQ(1, list->GetSelection());
    EXPECT_EQ(9u, list->GetSelectedData());
    EXPECT_TRUE(list->GetItem(1)->flagA);
    EXPECT_EQ(nullptr, list->GetItem(2));
    list->SetSelection(wxNOT_FOUND);
    EXPECT_EQ(0u, list->GetSelectedData());
}

TEST_F(SwxBitmapListBoxTest, DeletedFlagWinsOverFlagAWhenDrawing)
{
    list->Append("allows", 1, true);
    list->Append("denies", 2, false);
    list->Append("deleted", 3, true);
    list->GetItem(2)->deleted = true;

    EXPECT_EQ(kFirst, BitmapColourOfLine(0));
    EXPECT_EQ(kSecond, BitmapColourOfLine(1));
    EXPECT_EQ(kThird, BitmapColourOfLine(2));
}

} // namespace
