#include "editors/file_list_model.h"

#include <gtest/gtest.h>

namespace {

using Model = FileListModel;

// Five files; the sibling folder "Documents" extends the name of "Doc".
const FileTestRecord kRows[] = {
    {"", "b.txt", "txt", "*.TXT", 30},       {"Doc", "a.doc", "doc", "*.doc", 700},
    {"Doc\\old", "C.doc", "doc", "*.DOC", 5}, {"Documents", "plan.pdf", "pdf", "", 5000},
    {"Doc", "B.txt", "txt", "*.txt", 30},
};

class FileListModelTest : public ::testing::Test {
protected:
    void SetUp() override { Fill(); }
    void Fill()
    {
        model.Clear();
        for (const FileTestRecord& row : kRows)
            model.Add(std::make_unique<FileTestRecord>(row));
    }
    // The file names of the visible rows, in display order.
    std::string Files() const
    {
        std::string files;
        for (size_t n = 0; n < model.VisibleCount(); ++n)
            files += (n ? "," : "") + model.Visible(static_cast<long>(n))->file.ToStdString();
        return files;
    }

    Model model;
};

TEST_F(FileListModelTest, FiltersShowMatchingRowsInArrivalOrder)
{
    const struct {
        const char* name;
        int kind;
        const char* text;
        std::uint64_t size;
        const char* files;
    } cases[] = {
        {"extension", Model::kByExtension, "doc", 0, "a.doc,C.doc"},
        {"file name is exact", Model::kByFileName, "b.txt", 0, "b.txt"},
        {"rule ignores case", Model::kByRule, "*.TXT", 0, "b.txt,B.txt"},
        {"folder", Model::kByFolder, "Doc", 0, "a.doc,B.txt"},
        {"subfolders: the folder and below, no sibling", Model::kBySubfolders, "Doc", 0,
         "a.doc,C.doc,B.txt"},
        {"subfolders of the top", Model::kBySubfolders, "", 0, "b.txt,a.doc,C.doc,plan.pdf,B.txt"},
        {"size above is strict", Model::kBySizeAbove, "", 30, "a.doc,plan.pdf"},
        {"size below is strict", Model::kBySizeBelow, "", 30, "C.doc"},
        {"unknown kind is ignored", 9, "x", 1, "b.txt,a.doc,C.doc,plan.pdf,B.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        model.ResetFilter();
        model.SetTextFilter(c.kind, c.text);
        model.SetSizeFilter(c.kind, c.size);
        EXPECT_EQ(c.files, Files());
        EXPECT_EQ(5u, model.TotalCount());
    }
}

TEST_F(FileListModelTest, HeaderClicksSortAndReverse)
{
    const struct {
        const char* name;
        std::vector<int> clicks;
        const char* files;
        bool ascending;
    } cases[] = {
        {"location", {0}, "b.txt,a.doc,B.txt,C.doc,plan.pdf", true},
        {"file by code unit", {1}, "B.txt,C.doc,a.doc,b.txt,plan.pdf", true},
        {"same header reverses", {1, 1}, "plan.pdf,b.txt,a.doc,C.doc,B.txt", false},
        {"third click ascends again", {1, 1, 1}, "B.txt,C.doc,a.doc,b.txt,plan.pdf", true},
        {"another header ascends", {3, 3, 2}, "a.doc,C.doc,plan.pdf,b.txt,B.txt", true},
        {"size", {3}, "C.doc,b.txt,B.txt,a.doc,plan.pdf", true},
        {"rule ignores case", {4}, "plan.pdf,a.doc,C.doc,b.txt,B.txt", true},
        {"column outside is ignored", {7}, "b.txt,a.doc,C.doc,plan.pdf,B.txt", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fill();
        for (int column : c.clicks)
            model.SortByColumn(column);
        EXPECT_EQ(c.files, Files());
        EXPECT_EQ(c.ascending, model.Ascending());
    }
}

// Records arriving later append unsorted and unfiltered ones come back sorted; Clear forgets
// the sort but keeps the filter.
TEST_F(FileListModelTest, LateRecordsAndClear)
{
    model.SortByColumn(3);
    model.SortByColumn(3);
    EXPECT_EQ(5, model.Add(std::make_unique<FileTestRecord>(FileTestRecord{"", "tiny", "", "", 1})));
    EXPECT_EQ("plan.pdf,a.doc,b.txt,B.txt,C.doc,tiny", Files());
    EXPECT_EQ("1", model.CellText(5, 3));
    EXPECT_EQ("", model.CellText(5, 5));
    EXPECT_EQ("", model.CellText(6, 0));
    model.SetTextFilter(Model::kByExtension, "txt");
    EXPECT_EQ(-1, model.Add(std::make_unique<FileTestRecord>()));
    EXPECT_EQ(2, model.Add(std::make_unique<FileTestRecord>(FileTestRecord{"", "new.txt", "txt", "", 0})));
    model.ResetFilter();
    EXPECT_EQ("plan.pdf,a.doc,b.txt,B.txt,C.doc,tiny,,new.txt", Files());

    model.SetTextFilter(Model::kByFolder, "Doc");
    Fill();
    EXPECT_EQ(-1, model.SortColumn());
    EXPECT_EQ("a.doc,B.txt", Files());
    model.SortByColumn(3);
    EXPECT_TRUE(model.Ascending());
}

} // namespace
