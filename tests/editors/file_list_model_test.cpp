#include "editors/file_list_model.h"

#include <gtest/gtest.h>

namespace {

using Model = FileListModel;
using Record = FileTestRecord;

// Five files; the sibling folder "Documents" extends the name of "Doc".
void Fill(Model& model)
{
    model.Clear();
    for (const Record& row : {Record{"", "b.txt", "txt", "*.TXT", 30},
                              {"Doc", "a.doc", "doc", "*.doc", 700},
                              {"Doc\\old", "C.doc", "doc", "*.DOC", 5},
                              {"Documents", "plan.pdf", "pdf", "", 5000},
                              {"Doc", "B.txt", "txt", "*.txt", 30}})
        model.Add(std::make_unique<Record>(row));
}
// The file names of the visible rows in display order, then "v" when descending.
std::string Files(const Model& model)
{
    std::string files;
    for (long n = 0; n < static_cast<long>(model.VisibleCount()); ++n)
        files += model.Visible(n)->file.ToStdString() + ",";
    return files + (model.Ascending() ? "" : "v");
}

TEST(FileListModelTest, FiltersAndHeaderClicksDecideTheRows)
{
    const struct {
        const char* name;
        int kind;          // -1: no filter
        const char* text;  // the size for a size filter
        std::vector<int> clicks;
        const char* files;
    } cases[] = {
        {"extension, by size", Model::kByExtension, "doc", {3}, "C.doc,a.doc,"},
        {"file name is exact", Model::kByFileName, "b.txt", {}, "b.txt,"},
        {"rule ignores case", Model::kByRule, "*.TXT", {}, "b.txt,B.txt,"},
        {"folder, column 7 ignored", Model::kByFolder, "Doc", {7}, "a.doc,B.txt,"},
        {"subfolders: no sibling", Model::kBySubfolders, "Doc", {}, "a.doc,C.doc,B.txt,"},
        {"top: all, by folder", Model::kBySubfolders, "", {0}, "b.txt,a.doc,B.txt,C.doc,plan.pdf,"},
        {"above: strict, desc", Model::kBySizeAbove, "5", {1, 1}, "plan.pdf,b.txt,a.doc,B.txt,v"},
        {"below: strict, ascends", Model::kBySizeBelow, "700", {3, 3, 2}, "C.doc,b.txt,B.txt,"},
        {"unknown filter, code units", 9, "1", {1}, "B.txt,C.doc,a.doc,b.txt,plan.pdf,"},
        {"rule sort ignores case", -1, "", {4}, "plan.pdf,a.doc,C.doc,b.txt,B.txt,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Model model;
        Fill(model);
        model.SetTextFilter(c.kind, c.text);  // a kind of the other filter is ignored
        model.SetSizeFilter(c.kind, wxAtoi(c.text));
        for (int column : c.clicks)
            model.SortByColumn(column);
        EXPECT_EQ(c.files, Files(model));
    }
    // Records arriving later append unsorted and filtered-out ones come back sorted; Clear
    // forgets the sort but keeps the filter.
    Model model;
    Fill(model);
    model.SortByColumn(3);
    model.SetTextFilter(Model::kByExtension, "txt");
    EXPECT_EQ(-1, model.Add(std::make_unique<Record>()));
    EXPECT_EQ(2, model.Add(std::make_unique<Record>(Record{"", "n.txt", "txt", "", 1})));
    EXPECT_EQ("b.txt,B.txt,n.txt,|1", Files(model) + "|" + model.CellText(2, 3));
    model.ResetFilter();
    EXPECT_EQ(",n.txt,C.doc,b.txt,B.txt,a.doc,plan.pdf,", Files(model));
    model.SetTextFilter(Model::kByFolder, "Doc");
    Fill(model);
    EXPECT_EQ("a.doc,B.txt,-1", Files(model) + std::to_string(model.SortColumn()));
}

} // namespace
