#include "editors/file_list_ctrl.h"

#include <unordered_set>

#include <wx/imaglist.h>

#include "store/options.h"
#include "ui/window_utils.h"

namespace {

enum HeaderImage : int { kSortDown = 0, kSortUp = 1 };

} // namespace

swxFileListCtrl::swxFileListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                 const wxSize& size, long style, const wxValidator& validator,
                                 const wxString& name)
    : wxListCtrl(parent, id, pos, size, style | wxLC_VIRTUAL | wxLC_HRULES | wxLC_VRULES,
                 validator, name)
{
    const struct {
        wxString heading;
        int width;
    } columns[] = {{_("Location"), 250}, {_("File"), 150}, {_("Extension"), 70},
                   {_("Size"), 70}, {_("Rule"), 100}};
    for (const auto& column : columns)
        AppendColumn(column.heading, wxLIST_FORMAT_LEFT, column.width);
    allowedAttr_ = std::make_unique<wxItemAttr>(GetTextColour(), allowedRowColour, GetFont());
    deniedAttr_ = std::make_unique<wxItemAttr>(GetTextColour(), deniedRowColour, GetFont());
    auto* images = new wxImageList(16, 16, true);
    images->Add(NamedBitmap("sort_down"));
    images->Add(NamedBitmap("sort_up"));
    AssignImageList(images, wxIMAGE_LIST_SMALL);
}

swxFileListCtrl::~swxFileListCtrl() = default;

long swxFileListCtrl::AddRecord(std::unique_ptr<FileTestRecord> record)
{
    const int row = model_.Add(std::move(record));
    if (row >= 0)
        SetItemCount(static_cast<long>(model_.VisibleCount()));
    return row;
}

void swxFileListCtrl::Clear()
{
    if (model_.SortColumn() >= 0)
        SetHeaderImage(model_.SortColumn(), -1);
    model_.Clear();
    SetItemCount(0);
    Refresh();
}

void swxFileListCtrl::SortByColumn(int column)
{
    const int previous = model_.SortColumn();
    const auto selected = SelectedRecords();
    if (!model_.SortByColumn(column))
        return;
    if (previous >= 0 && previous != column)
        SetHeaderImage(previous, -1);
    SetHeaderImage(column, model_.Ascending() ? kSortDown : kSortUp);
    ShowRows(selected);
}

void swxFileListCtrl::SetTextFilter(int kind, const wxString& text)
{
    const auto selected = SelectedRecords();
    model_.SetTextFilter(kind, text);
    ShowRows(selected);
}

void swxFileListCtrl::SetSizeFilter(int kind, std::uint64_t size)
{
    const auto selected = SelectedRecords();
    model_.SetSizeFilter(kind, size);
    ShowRows(selected);
}

void swxFileListCtrl::ResetFilter()
{
    const auto selected = SelectedRecords();
    model_.ResetFilter();
    ShowRows(selected);
}

std::vector<const FileTestRecord*> swxFileListCtrl::SelectedRecords() const
{
    std::vector<const FileTestRecord*> records;
    for (long n = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); n != -1;
         n = GetNextItem(n, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        if (const FileTestRecord* record = model_.Visible(n))
            records.push_back(record);
    }
    return records;
}

std::uint64_t swxFileListCtrl::SelectedSize() const
{
    std::uint64_t sum = 0;
    for (const FileTestRecord* record : SelectedRecords())
        sum += record->size;
    return sum;
}

wxString swxFileListCtrl::OnGetItemText(long item, long column) const
{
    return model_.CellText(item, column);
}

int swxFileListCtrl::OnGetItemColumnImage(long, long) const
{
    return -1;
}

wxItemAttr* swxFileListCtrl::OnGetItemAttr(long item) const
{
    const FileTestRecord* record = model_.Visible(item);
    if (record == nullptr)
        return nullptr;
    return record->allow ? allowedAttr_.get() : deniedAttr_.get();
}

void swxFileListCtrl::ShowRows(const std::vector<const FileTestRecord*>& selected)
{
    Freeze();
    if (GetItemCount() > 0)
        SetItemState(-1, 0, wxLIST_STATE_SELECTED);
    SetItemCount(static_cast<long>(model_.VisibleCount()));
    const std::unordered_set<const FileTestRecord*> keep(selected.begin(), selected.end());
    for (long n = 0; !keep.empty() && n < GetItemCount(); ++n)
        if (keep.count(model_.Visible(n)) != 0)
            SetItemState(n, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    Thaw();
    Refresh();
}

void swxFileListCtrl::SetHeaderImage(int column, int image)
{
    wxListItem header;
    header.SetMask(wxLIST_MASK_IMAGE);
    header.SetImage(image);
    SetColumn(column, header);
}
