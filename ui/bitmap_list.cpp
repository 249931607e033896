#include "ui/bitmap_list.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include <wx/dc.h>

namespace {

// Bitmap height before SetBitmaps: room for a 16-pixel bitmap.
constexpr wxCoord kDefaultBitmapHeight = 16;
// Space above and below the taller of bitmap and text line.
constexpr wxCoord kLinePadding = 5;
// The text starts this far right of the bitmap's left edge.
constexpr wxCoord kTextIndent = 20;

} // namespace

swxBitmapListBox::swxBitmapListBox(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                   const wxSize& size, long style, const wxString& name)
    : wxVListBox(parent, id, pos, size, style, name), bitmapHeight_(kDefaultBitmapHeight)
{
}

swxBitmapListBox::~swxBitmapListBox() = default;

bool swxBitmapListBox::SetBitmaps(const wxBitmap& first, const wxBitmap& second,
                                  const wxBitmap& third)
{
    if (first.GetHeight() != second.GetHeight())
        return false;
    first_ = first;
    second_ = second;
    third_ = third;
    bitmapHeight_ = first.GetHeight();
    RefreshAll();
    return true;
}

int swxBitmapListBox::AddItem(std::unique_ptr<BitmapListItem> item)
{
    item->changed = false;
    items_.push_back(std::move(item));
    SetItemCount(items_.size());
    const int n = static_cast<int>(items_.size() - 1);
    SetSelection(n);
    return n;
}

int swxBitmapListBox::Append(const wxString& text, wxUint32 data, bool flagA)
{
    auto item = std::make_unique<BitmapListItem>();
    item->text = text;
    item->data = data;
    item->flagA = flagA;
    return AddItem(std::move(item));
}

BitmapListItem* swxBitmapListBox::GetItem(size_t n) const
{
    return n < items_.size() ? items_[n].get() : nullptr;
}

wxString swxBitmapListBox::GetItemText(size_t n) const
{
    return items_.at(n)->text;
}

void swxBitmapListBox::SetItemText(size_t n, const wxString& text)
{
    items_.at(n)->text = text;
    RefreshRow(n);
}

void swxBitmapListBox::DeleteItem(size_t n)
{
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(n));
    SetItemCount(items_.size());
    RefreshAll();
}

void swxBitmapListBox::Clear()
{
    items_.clear();
    SetItemCount(0);
    RefreshAll();
}

void swxBitmapListBox::Exchange(size_t a, size_t b)
{
    std::swap(items_[a], items_[b]);
    // The order numbers belong to the positions: only the contents move.
    std::swap(items_[a]->order, items_[b]->order);
    items_[a]->changed = true;
    items_[b]->changed = true;
}

bool swxBitmapListBox::MoveUp(int n)
{
    if (n <= 0 || static_cast<size_t>(n) >= items_.size())
        return false;
    Exchange(n - 1, n);
    SetSelection(n - 1);
    RefreshRows(n - 1, n);
    return true;
}

bool swxBitmapListBox::MoveDown(int n)
{
    if (n < 0 || static_cast<size_t>(n) + 1 >= items_.size())
        return false;
    Exchange(n, n + 1);
    SetSelection(n + 1);
    RefreshRows(n, n + 1);
    return true;
}

wxUint32 swxBitmapListBox::GetSelectedData() const
{
    const BitmapListItem* item = GetSelection() == wxNOT_FOUND ? nullptr : GetItem(GetSelection());
    return item != nullptr ? item->data : 0;
}

int swxBitmapListBox::GetMaxOrder() const
{
    int max = 0;
    for (const auto& item : items_)
        max = std::max(max, item->order);
    return max;
}

void swxBitmapListBox::SetItemCount(size_t count)
{
    wxVListBox::SetItemCount(count);
    if (count > 0)
        RefreshRows(GetVisibleRowsBegin(), GetVisibleRowsEnd());
}

void swxBitmapListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const
{
    const BitmapListItem* item = GetItem(n);
    if (item == nullptr)
        return;
    dc.SetFont(GetFont());
    const wxBitmap& bitmap = item->deleted ? third_ : item->flagA ? first_ : second_;
    const wxCoord left = rect.GetLeft() + 5;
    if (bitmap.IsOk())
        dc.DrawBitmap(bitmap, left, rect.GetTop() + (rect.GetHeight() - bitmap.GetHeight()) / 2,
                      true);
    // Centred on the font's full line height (descent included), so g, j, p, q, y keep their
    // tails.
    wxCoord width = 0;
    wxCoord height = 0;
    dc.GetTextExtent("Hg", &width, &height);
    dc.DrawText(item->text, left + kTextIndent, rect.GetTop() + (rect.GetHeight() - height) / 2);
}

wxCoord swxBitmapListBox::OnMeasureItem(size_t) const
{
    wxCoord width = 0;
    wxCoord height = 0;
    GetTextExtent("Hg", &width, &height);
    return std::max(bitmapHeight_, height) + kLinePadding;
}

wxSize swxBitmapListBox::DoGetBestClientSize() const
{
    return wxSize(100, 3 * OnMeasureItem(0));
}
