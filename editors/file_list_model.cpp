#include "editors/file_list_model.h"

#include <algorithm>
#include <utility>

namespace {

int Compare(std::uint64_t a, std::uint64_t b)
{
    return a == b ? 0 : a > b ? 1 : -1;
}

// Comparison of two records by a column, as the column's header sorts them ascending.
int CompareBy(int column, const FileTestRecord& a, const FileTestRecord& b)
{
    switch (column) {
    case 0: return a.location.compare(b.location);
    case 1: return a.file.compare(b.file);
    case 2: return a.extension.compare(b.extension);
    case 3: return Compare(a.size, b.size);
    default: return a.rule.CmpNoCase(b.rule);
    }
}

} // namespace

int FileListModel::Add(std::unique_ptr<FileTestRecord> record)
{
    all_.push_back(std::move(record));
    if (!Passes(*all_.back()))
        return -1;
    visible_.push_back(all_.back().get());
    return static_cast<int>(visible_.size() - 1);
}

void FileListModel::Clear()
{
    sortColumn_ = -1;
    ascending_ = true;
    visible_.clear();
    all_.clear();
}

bool FileListModel::SortByColumn(int column)
{
    if (column < 0 || column >= kColumnCount)
        return false;
    ascending_ = column != sortColumn_ || !ascending_;
    sortColumn_ = column;
    Sort();
    return true;
}

void FileListModel::SetTextFilter(int kind, const wxString& text)
{
    if (kind < kByExtension || kind > kBySubfolders)
        return;
    filterKind_ = kind;
    filterText_ = kind == kByRule ? text.Lower() : text;
    filterOn_ = true;
    ApplyFilter();
}

void FileListModel::SetSizeFilter(int kind, std::uint64_t size)
{
    if (kind != kBySizeAbove && kind != kBySizeBelow)
        return;
    filterKind_ = kind;
    filterSize_ = size;
    filterOn_ = true;
    ApplyFilter();
}

void FileListModel::ResetFilter()
{
    filterOn_ = false;
    ApplyFilter();
}

const FileTestRecord* FileListModel::Visible(long n) const
{
    return n >= 0 && static_cast<size_t>(n) < visible_.size() ? visible_[n] : nullptr;
}

wxString FileListModel::CellText(long row, long column) const
{
    const FileTestRecord* record = Visible(row);
    if (record == nullptr)
        return wxString();
    switch (column) {
    case 0: return record->location;
    case 1: return record->file;
    case 2: return record->extension;
    case 3: return wxString::Format("%llu", static_cast<unsigned long long>(record->size));
    case 4: return record->rule;
    default: return wxString();
    }
}

bool FileListModel::Passes(const FileTestRecord& record) const
{
    if (!filterOn_)
        return true;
    switch (filterKind_) {
    case kByExtension: return record.extension == filterText_;
    case kByFileName: return record.file == filterText_;
    case kByRule: return record.rule.Lower() == filterText_;
    case kByFolder: return record.location == filterText_;
    case kBySubfolders:
        // The folder's own path followed by a separator: "Doc" must not take "Documents".
        // The tested folder's top (an empty location) holds every file.
        return filterText_.empty() || record.location == filterText_ ||
               record.location.StartsWith(filterText_ + "\\");
    case kBySizeAbove: return record.size > filterSize_;
    case kBySizeBelow: return record.size < filterSize_;
    default: return true;
    }
}

void FileListModel::ApplyFilter()
{
    visible_.clear();
    for (const auto& record : all_)
        if (Passes(*record))
            visible_.push_back(record.get());
    Sort();
}

void FileListModel::Sort()
{
    if (sortColumn_ < 0)
        return;
    const int column = sortColumn_;
    const bool ascending = ascending_;
    std::stable_sort(visible_.begin(), visible_.end(),
                     [column, ascending](const FileTestRecord* a, const FileTestRecord* b) {
                         return ascending ? CompareBy(column, *a, *b) < 0
                                          : CompareBy(column, *b, *a) < 0;
                     });
}
