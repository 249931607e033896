#include "store/run_logs.h"

#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "store/catalog.h"
#include "store/file_time.h"
#include "store/options.h"
#include "tests/support/test_env.h"

namespace {

// Run logs in userDataDir with chosen ages; the Yes/No box is a stub that records what it was
// asked and gives a chosen answer.
class RunLogsTest : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        soDeleteLogsAfterDays = 3;
        askYesNo = [this](const wxString& message, const wxString& caption) {
            questions.push_back(message + " | " + caption);
            return answer;
        };
    }

    void TearDown() override
    {
        askYesNo = [](const wxString&, const wxString&) { return false; };
        CatalogTest::TearDown();
    }

    // A file in userDataDir last written the given number of days ago.
    wxString WriteLog(const wxString& name, int daysOld) const
    {
        const wxString path = dir.Write(name, "<sync/>");
        const std::int64_t written = std::time(nullptr) - std::int64_t{daysOld} * 24 * 3600;
        EXPECT_TRUE(SetFileModTime(path, FileTimeFromUnix(written)));
        return path;
    }

    static wxString Question(unsigned long files, unsigned days)
    {
        return wxString::Format("%lu synchronization log files older then %u days found. Remove them?",
                                files, days)
               + " | Remove expired logs";
    }

    std::vector<wxString> questions;
    bool answer = false;
};

TEST_F(RunLogsTest, YesDeletesLogsOlderThanTheLimitOnly)
{
    const wxString old = WriteLog("dralvo_sync_old.xml", 4);
    const wxString recent = WriteLog("dralvo_sync_recent.xml", 2);
    answer = true;
    RemoveExpiredLogs();

    EXPECT_EQ(questions, std::vector<wxString>{Question(1, 3)});
    EXPECT_FALSE(Exists(old));
    EXPECT_TRUE(Exists(recent));
}

TEST_F(RunLogsTest, NoKeepsEveryLog)
{
    const wxString first = WriteLog("dralvo_sync_a.xml", 10);
    const wxString second = WriteLog("dralvo_sync_b.xml.bz2", 5);
    RemoveExpiredLogs();

    EXPECT_EQ(questions, std::vector<wxString>{Question(2, 3)});
    EXPECT_TRUE(Exists(first));
    EXPECT_TRUE(Exists(second));
}

TEST_F(RunLogsTest, OnlyRecentLogsOrZeroDaysAskNothing)
{
    WriteLog("dralvo_sync_recent.xml", 2);
    RemoveExpiredLogs();

    EXPECT_TRUE(questions.empty());
    soDeleteLogsAfterDays = 0;
    const wxString old = WriteLog("dralvo_sync_old.xml", 400);
    answer = true;
    RemoveExpiredLogs();

    EXPECT_TRUE(questions.empty());
    EXPECT_TRUE(Exists(old));
}

TEST_F(RunLogsTest, CompressedLogsCountAndOtherNamesDoNot)
{
    const wxString compressed = WriteLog("dralvo_sync_x.xml.bz2", 4);
    const wxString text = WriteLog("dralvo_sync_x.txt", 4);
    const wxString other = WriteLog("notes_dralvo_sync_x.xml", 4);
    dir.MakeDir("dralvo_sync_dir.xml");
    answer = true;
    RemoveExpiredLogs();

    EXPECT_EQ(questions, std::vector<wxString>{Question(1, 3)});
    EXPECT_FALSE(Exists(compressed));
    EXPECT_TRUE(Exists(text));
    EXPECT_TRUE(Exists(other));
    EXPECT_TRUE(Exists(dir / "dralvo_sync_dir.xml"));
}

TEST_F(RunLogsTest, MessageCarriesTheConfiguredDays)
{
    soDeleteLogsAfterDays = 30;
    WriteLog("dralvo_sync_a.xml", 31);
    WriteLog("dralvo_sync_b.xml", 29);
    RemoveExpiredLogs();

    EXPECT_EQ(questions, std::vector<wxString>{Question(1, 30)});
}

TEST_F(RunLogsTest, MissingDirectoryFindsNothing)
{
    userDataDir = dir / "missing/";
    RemoveExpiredLogs();

    EXPECT_TRUE(questions.empty());
    EXPECT_TRUE(FindExpiredLogs(dir / "missing/", wxDateTime::Now()).empty());
}

} // namespace
