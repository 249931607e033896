#include "app/startup.h"

#include <gtest/gtest.h>

#include <wx/filename.h>

#include "store/catalog.h"
#include "store/database.h"
#include "store/file_io.h"
#include "store/options.h"
#include "tests/support/gui_expect.h"
#include "tests/support/temp_dir.h"

namespace {

class StartCatalogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallQuestionBoxes();
        InitPaths();
        // Every test starts from an empty data directory.
        wxRemoveFile(databasePath);
        ASSERT_FALSE(wxFileName::FileExists(databasePath));
    }

    void TearDown() override
    {
        if (catalogDb.IsOpen())
            CloseCatalog();
        wxRemoveFile(databasePath);
    }
};

TEST_F(StartCatalogTest, EmptyDataDirectoryGetsNewCatalogAndLanguageIsAskedOnce)
{
    bool started = false;
    wxTEST_DIALOG(started = StartCatalog(), wxExpectModal<wxSingleChoiceDialog>(2));
    ASSERT_TRUE(started);
    EXPECT_EQ(3, ExecScalar("select VERSION from VERSION"));
    EXPECT_EQ(1, ExecScalar("select count(*) from STATION"));
    EXPECT_EQ(static_cast<int>(stationId), ExecScalar("select STATIONID from VERSION"));
    EXPECT_EQ(static_cast<unsigned>(kLanguageEnglish), soLanguage);
    EXPECT_EQ(56, ExecScalar("select VALUE from OPTIONS where IOPTION=3"));
    CloseCatalog();

    // The second start finds everything in place and asks nothing (the guard fails on a box).
    ASSERT_TRUE(StartCatalog());
    EXPECT_EQ(1, ExecScalar("select count(*) from STATION"));
    EXPECT_EQ(1, ExecScalar("select count(*) from VERSION where SESSION_END is not null"));
}

TEST_F(StartCatalogTest, CancelledLanguageChoiceMeansSystemDefault)
{
    bool started = false;
    wxTEST_DIALOG(started = StartCatalog(), wxExpectModal<wxSingleChoiceDialog>(-1));
    ASSERT_TRUE(started);
    EXPECT_EQ(0u, soLanguage);
    EXPECT_EQ(0, ExecScalar("select VALUE from OPTIONS where IOPTION=3"));
}

TEST_F(StartCatalogTest, FileThatIsNoDatabaseIsReportedAndLeftAlone)
{
    const std::string junk = "this is not a database, just a text file that happens to be here";
    ASSERT_TRUE(WriteBinaryFile(databasePath, junk.data(), junk.size()));
    bool started = true;
    wxTEST_DIALOG(started = StartCatalog(), wxExpectModal<wxMessageDialog>(wxOK));
    EXPECT_FALSE(started);
    EXPECT_FALSE(catalogDb.IsOpen());
    EXPECT_EQ(junk, ReadAll(databasePath));
}

TEST_F(StartCatalogTest, DirectoryInPlaceOfCatalogIsReported)
{
    ASSERT_TRUE(wxFileName::Mkdir(databasePath));
    bool started = true;
    wxTEST_DIALOG(started = StartCatalog(), wxExpectModal<wxMessageDialog>(wxOK));
    EXPECT_FALSE(started);
    EXPECT_FALSE(catalogDb.IsOpen());
    wxFileName::Rmdir(databasePath);
}

} // namespace
