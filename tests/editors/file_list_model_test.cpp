#include "editors/file_list_model.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    const char* location;
    const char* file;
    const char* extension;
    const char* rule;
    std::uint64_t size;
};

// Five files; the sibling folder "Documents" extends the name of "Doc".
const Row kRows[] = {
    {"", "b.txt", "txt", "*.TXT", 30},
    {"Doc", "a.doc", "doc", "*.doc", 700},
    {"Doc\\old", "C.doc", "doc", "*.DOC", 5},
    {"Documents", "plan.pdf", "pdf", "", 5000},
    {"Doc", "B.txt", "txt", "*.txt", 30},
};

class FileListModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const Row& row : kRows)
            Add(row);
    }
    void Add(const Row& row)
    {
        auto record = std::make_unique<FileTestRecord>();
        record->location = row.location;
        record->file = row.file;
        record->extension = row.extension;
        record->rule = row.rule;
        record->size = row.size;
        model.Add(std::move(record));
    }
    // The file names of the visible rows, in display order.
    std::string Files() const
    {
        std::string files;
        for (size_t n = 0; n < model.VisibleCount(); ++n)
            files += (n ? "," : "") + model.Visible(static_cast<long>(n))->file.ToStdString();
        return files;
    }

    FileListModel model;
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
        {"extension", 0, "doc", 0, "a.doc,C.doc"},
        {"file name is exact", 1, "b.txt", 0, "b.txt"},
        {"rule ignores case", 2, "*.TXT", 0, "b.txt,B.txt"},
        {"folder", 3, "Doc", 0, "a.doc,B.txt"},
        {"subfolders take the folder and below, not a sibling", 4, "Doc", 0, "a.doc,C.doc,B.txt"},
        {"subfolders of the top take everything", 4, "", 0, "b.txt,a.doc,C.doc,plan.pdf,B.txt"},
        {"size above is strict", 5, "", 30, "a.doc,plan.pdf"},
        {"size below is strict", 6, "", 30, "C.doc"},
        {"unknown kind is ignored", 9, "x", 1, "b.txt,a.doc,C.doc,plan.pdf,B.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        model.ResetFilter();
        if (c.kind >= 5)
            model.SetSizeFilter(c.kind, c.size);
        else
            model.SetTextFilter(c.kind, c.text);
        EXPECT_EQ(c.files, Files());
        EXPECT_EQ(5u, model.TotalCount());
    }
}

TEST_F(FileListModelTest, FilteredOutRecordsComeBackAndNewOnesAreFiltered)
{
    model.SetTextFilter(FileListModel::kByExtension, "txt");
    EXPECT_EQ(-1, model.Add(std::make_unique<FileTestRecord>()));
    auto txt = std::make_unique<FileTestRecord>();
    txt->file = "new.txt";
    txt->extension = "txt";
    EXPECT_EQ(2, model.Add(std::move(txt)));
    model.ResetFilter();
    EXPECT_EQ("b.txt,a.doc,C.doc,plan.pdf,B.txt,,new.txt", Files());
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
        model.Clear();
        for (const Row& row : kRows)
            Add(row);
        for (int column : c.clicks)
            model.SortByColumn(column);
        EXPECT_EQ(c.files, Files());
        EXPECT_EQ(c.ascending, model.Ascending());
    }
}

TEST_F(FileListModelTest, LateRecordsAppendUnsortedAndClearKeepsTheFilter)
{
    model.SortByColumn(3);
    model.SortByColumn(3);
    Add({"", "tiny", "tiny", "", 1});
    EXPECT_EQ("plan.pdf,a.doc,b.txt,B.txt,C.doc,tiny", Files());
    EXPECT_EQ("1", model.CellText(5, 3));
    EXPECT_EQ("", model.CellText(5, 5));
    EXPECT_EQ("", model.CellText(6, 0));

    model.SetTextFilter(FileListModel::kByFolder, "Doc");
    model.Clear();
    EXPECT_EQ(-1, model.SortColumn());
    for (const Row& row : kRows)
        Add(row);
    EXPECT_EQ("a.doc,B.txt", Files());
    model.SortByColumn(3);
    EXPECT_TRUE(model.Ascending());
}

} // namespace
