#include "app/startup.h"

#include <gtest/gtest.h>

#include <wx/filename.h>

#include "store/file_io.h"
#include "store/options.h"
#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"

namespace {

// A file that is no database is reported and stays as it was. The first start then asks the
// language; the second finds everything in place and asks nothing (the guard fails on a box);
// a later one offers the logs older than the days of the option.
TEST(StartCatalogTest, UnusableCatalogueIsReportedThenFirstStartAsksTheLanguage)
{
    InstallQuestionBoxes();
    InitPaths();
    const std::string junk = "this is not a database, just a text file that happens to be here";
    ASSERT_TRUE(WriteBinaryFile(databasePath, junk.data(), junk.size()));
    bool started = true;
    wxTEST_DIALOG(started = StartCatalog(),
                  ExpectDatabaseError("The catalogue " + databasePath + " cannot be opened:"));
    EXPECT_FALSE(started || catalogDb.IsOpen());
    EXPECT_EQ(junk, ReadAll(databasePath));
    wxRemoveFile(databasePath);

    wxTEST_DIALOG(started = StartCatalog(), wxExpectModal<wxSingleChoiceDialog>(2));
    ASSERT_TRUE(started);
    EXPECT_EQ(static_cast<unsigned>(kLanguageEnglish), soLanguage);
    CloseCatalog();
    ASSERT_TRUE(StartCatalog());
    CloseCatalog();

    const wxString expired = userDataDir + "dralvo_sync_20240101.xml.bz2";
    ASSERT_TRUE(WriteBinaryFile(expired, "<log/>", 6));
    const wxDateTime old = wxDateTime::Now() - wxDateSpan::Days(4);
    ASSERT_TRUE(wxFileName(expired).SetTimes(&old, &old, nullptr));
    wxTEST_DIALOG(ASSERT_TRUE(StartCatalog()),
                  ExpectMessage("1 synchronization log files older then 3 days found. Remove them?",
                                wxYES, "Remove expired logs"));
    EXPECT_FALSE(wxFileName::FileExists(expired));
    CloseCatalog();
    wxRemoveFile(databasePath);
}

} // namespace
