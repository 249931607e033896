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

// Run logs of chosen ages in userDataDir; the Yes/No box is a stub that records what it was
// asked and gives a chosen answer.
class RunLogsTest : public CatalogTest {
protected:
    void TearDown() override
    {
        askYesNo = [](const wxString&, const wxString&) { return false; };
        CatalogTest::TearDown();
    }
};

TEST_F(RunLogsTest, LogsOlderThanTheDaysAreOfferedOnceAndRemovedOnYes)
{
    const struct {
        unsigned days;
        bool answer;
        const char* question;  // "" when nothing is to be asked
        std::vector<bool> kept;  // per log below
    } cases[] = {
        {3, true, "1 synchronization log files older then 3 days found. Remove them?", {0, 1, 1, 1, 1}},
        {3, false, "1 synchronization log files older then 3 days found. Remove them?", {1, 1, 1, 1, 1}},
        {1, true, "2 synchronization log files older then 1 days found. Remove them?", {0, 0, 1, 1, 1}},
        {0, true, "", {1, 1, 1, 1, 1}},
        // Counts that reach past the year 9999 mean never, not "already expired".
        {4294967295u, true, "", {1, 1, 1, 1, 1}},
        {3000000u, true, "", {1, 1, 1, 1, 1}},
        {2900000u, true, "", {1, 1, 1, 1, 1}},  // just short of it
    };
    const std::pair<const char*, int> logs[] = {{"dralvo_sync_old.xml.bz2", 4}, {"dralvo_sync_recent.xml", 2},
                                                {"dralvo_sync_x.txt", 9},       {"notes_dralvo_sync_x.xml", 9},
                                                {"dralvo_sync_today.xml", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        std::vector<wxString> questions;
        askYesNo = [&](const wxString& message, const wxString& caption) {
            questions.push_back(message + " | " + caption);
            return c.answer;
        };
        soDeleteLogsAfterDays = c.days;
        for (const auto& [name, daysOld] : logs)
            SetFileModTime(dir.Write(name, "<sync/>"), FileTimeFromUnix(std::time(nullptr) - daysOld * 86400LL));
        dir.MakeDir("dralvo_sync_dir.xml");
        RemoveExpiredLogs();
        EXPECT_EQ(questions, *c.question ? std::vector<wxString>{wxString(c.question) + " | Remove expired logs"}
                                         : std::vector<wxString>{});
        for (size_t i = 0; i < c.kept.size(); ++i)
            EXPECT_EQ(Exists(dir / logs[i].first), c.kept[i]) << logs[i].first;
    }
    EXPECT_TRUE(FindExpiredLogs(dir / "missing/", wxDateTime::Now()).empty());
}

} // namespace
