#include "run/check_vlist.h"

#include <algorithm>
#include <utility>

#include <wx/dc.h>
#include <wx/renderer.h>
#include <wx/settings.h>

namespace {

constexpr int kMargin = 2;

} // namespace

swxCheckVListBox::swxCheckVListBox(wxWindow* parent, wxWindowID id, const wxSize& size,
                                   const wxString& name)
    : wxVListBox(parent, id, wxDefaultPosition, size, wxBORDER_SUNKEN, name)
{
    Bind(wxEVT_LEFT_DOWN, &swxCheckVListBox::OnLeftDown, this);
    Bind(wxEVT_KEY_DOWN, &swxCheckVListBox::OnKeyDown, this);
}

void swxCheckVListBox::SetSource(TextOf text, CheckedOf checked)
{
    text_ = std::move(text);
    checked_ = std::move(checked);
}

void swxCheckVListBox::SetRowCount(size_t count)
{
    SetItemCount(count);
    Refresh();
}

void swxCheckVListBox::Toggle(size_t row)
{
    if (row >= GetItemCount())
        return;
    wxCommandEvent toggle(wxEVT_CHECKLISTBOX, GetId());
    toggle.SetEventObject(this);
    toggle.SetInt(static_cast<int>(row));
    GetEventHandler()->ProcessEvent(toggle);
    RefreshRow(row);
}

wxSize swxCheckVListBox::BoxSize() const
{
    return wxRendererNative::Get().GetCheckBoxSize(const_cast<swxCheckVListBox*>(this));
}

void swxCheckVListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const
{
    if (!text_ || !checked_)
        return;
    const wxSize box = BoxSize();
    const wxRect boxRect(rect.x + kMargin, rect.y + (rect.height - box.y) / 2, box.x, box.y);
    wxRendererNative::Get().DrawCheckBox(const_cast<swxCheckVListBox*>(this), dc, boxRect,
                                         checked_(n) ? int(wxCONTROL_CHECKED) : 0);
    dc.SetFont(GetFont());
    dc.SetTextForeground(IsSelected(n)
                             ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT)
                             : GetForegroundColour());
    const wxString text = text_(n);
    dc.DrawText(text, boxRect.GetRight() + 2 * kMargin,
                rect.y + (rect.height - dc.GetCharHeight()) / 2);
}

wxCoord swxCheckVListBox::OnMeasureItem(size_t) const
{
    return std::max(BoxSize().y, GetCharHeight()) + 2 * kMargin;
}

void swxCheckVListBox::OnLeftDown(wxMouseEvent& event)
{
    const int row = VirtualHitTest(event.GetPosition().y);
    // Let the list select the row first, as a list box does.
    event.Skip();
    if (row != wxNOT_FOUND && event.GetPosition().x <= BoxSize().x + 2 * kMargin)
        CallAfter([this, row] { Toggle(static_cast<size_t>(row)); });
}

void swxCheckVListBox::OnKeyDown(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_SPACE && GetSelection() != wxNOT_FOUND) {
        Toggle(static_cast<size_t>(GetSelection()));
        return;
    }
    event.Skip();
}
