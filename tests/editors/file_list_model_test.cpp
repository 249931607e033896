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
    for (size_t n = 0; n < model.VisibleCount(); ++n)
        files += model.Visible(static_cast<long>(n))->file.ToStdString() + ",";
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
        {"extension", Model::kByExtension, "doc", {}, "a.doc,C.doc,"},
        {"file name is exact", Model::kByFileName, "b.txt", {}, "b.txt,"},
        {"rule ignores case", Model::kByRule, "*.TXT", {}, "b.txt,B.txt,"},
        {"folder", Model::kByFolder, "Doc", {}, "a.doc,B.txt,"},
        {"subfolders: the folder and below, no sibling", Model::kBySubfolders, "Doc", {},
         "a.doc,C.doc,B.txt,"},
        {"the top holds all", Model::kBySubfolders, "", {}, "b.txt,a.doc,C.doc,plan.pdf,B.txt,"},
        {"size above is strict", Model::kBySizeAbove, "30", {}, "a.doc,plan.pdf,"},
        {"size below is strict", Model::kBySizeBelow, "30", {}, "C.doc,"},
        {"unknown filter is ignored", 9, "1", {}, "b.txt,a.doc,C.doc,plan.pdf,B.txt,"},
        {"location", -1, "", {0}, "b.txt,a.doc,B.txt,C.doc,plan.pdf,"},
        {"file by code unit", -1, "", {1}, "B.txt,C.doc,a.doc,b.txt,plan.pdf,"},
        {"same header reverses", -1, "", {1, 1}, "plan.pdf,b.txt,a.doc,C.doc,B.txt,v"},
        {"another header ascends", -1, "", {3, 3, 2}, "a.doc,C.doc,plan.pdf,b.txt,B.txt,"},
        {"rule ignores case", -1, "", {4}, "plan.pdf,a.doc,C.doc,b.txt,B.txt,"},
        {"column outside is ignored", -1, "", {7}, "b.txt,a.doc,C.doc,plan.pdf,B.txt,"},
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
        EXPECT_EQ(5u, model.TotalCount());
    }
}

// Records arriving later append unsorted and filtered-out ones come back sorted; Clear forgets
// the sort but keeps the filter.
TEST(FileListModelTest, LateRecordsAndClear)
{
    Model model;
    Fill(model);
    model.SortByColumn(3);
    model.SortByColumn(3);
    EXPECT_EQ(5, model.Add(std::make_unique<Record>(Record{"", "tiny", "", "", 1})));
    EXPECT_EQ("plan.pdf,a.doc,b.txt,B.txt,C.doc,tiny,v", Files(model));
    EXPECT_EQ("1||", model.CellText(5, 3) + "|" + model.CellText(5, 5) + "|" + model.CellText(6, 0));
    model.SetTextFilter(Model::kByExtension, "txt");
    EXPECT_EQ(-1, model.Add(std::make_unique<Record>()));
    EXPECT_EQ(2, model.Add(std::make_unique<Record>(Record{"", "n.txt", "txt", "", 0})));
    model.ResetFilter();
    EXPECT_EQ("plan.pdf,a.doc,b.txt,B.txt,C.doc,tiny,,n.txt,v", Files(model));
    model.SetTextFilter(Model::kByFolder, "Doc");
    Fill(model);
    EXPECT_EQ(-1, model.SortColumn());
    EXPECT_EQ("a.doc,B.txt,", Files(model));
}

} // namespace
