#include "engine/analyze.h"

#include <chrono>
#include <future>
#include <stdexcept>

#include "engine/root_check.h"
#include "engine_test_support.h"
#include "store/text.h"

namespace {

using Texts = std::vector<std::string>;

// The project banner, or with a folder the folder banner.
std::string Banner(const std::string& caption, const FolderJob* folder = nullptr)
{
    const std::string stars(42, '*');
    if (!folder)
        return "\n" + stars + "\n Project " + caption + ":\n" + stars;
    return "\n" + stars + "\n Project " + caption + ", folder " + ToUtf8(folder->stationPath) +
           " (" + ToUtf8(folder->mediumPath) + " on medium)";
}

class swxAnalyzeTest : public ::testing::Test {
protected:
    TempDir dir;
    JobTree jobs;
    EventSink sink;

    ProjectJob& Project(const char* caption, int mode = SD_COPY)
    {
        ProjectJob& project = *jobs.emplace_back(std::make_unique<ProjectJob>());
        std::tie(project.caption, project.mode) = std::tuple(caption, mode);
        return project;
    }
    // A folder job over dir/name/station and dir/name/medium taking every file, holding the
    // given station files.
    FolderJob& Folder(ProjectJob& project, const wxString& name,
                      const std::vector<const char*>& files = {})
    {
        FolderJob& folder = *project.folders.emplace_back(std::make_unique<FolderJob>());
        folder.stationPath = dir.MakeDir(name + "/station");
        folder.mediumPath = dir.MakeDir(name + "/medium");
        folder.rules.push_back(std::make_unique<FolderRule>(FolderRule{"*", true}));
        for (const char* file : files)
            dir.Write(name + "/station/" + file, "x");
        return folder;
    }
    // Runs an analysis to its end (with walking: deletes it once that is ready), handles what it
    // posted, and returns the result of the end, which must be the last event and the only one.
    static long Run(swxAnalyze& analysis, EventSink& sink, std::future<void>* walking = nullptr)
    {
        EXPECT_EQ(analysis.Create(), wxTHREAD_NO_ERROR);
        EXPECT_EQ(analysis.Run(), wxTHREAD_NO_ERROR);
        if (walking) {
            EXPECT_EQ(walking->wait_for(std::chrono::seconds(20)), std::future_status::ready);
            analysis.Delete();  // waits for the end itself
        } else {
            analysis.Wait();
        }
        sink.Pump();
        EXPECT_EQ(sink.Count(TE_ANALYSIS_END), 1);
        const bool ended = !sink.events.empty() && sink.events.back().code == TE_ANALYSIS_END;
        return ended ? sink.events.back().value : -1;
    }
};

// Every folder is compared into its item list, its roots recorded first; twins abort their
// project only: its items are discarded and its remaining folders not compared.
TEST_F(swxAnalyzeTest, FoldersAreComparedAndTwinsAbortTheirProjectOnly)
{
    Project("Empty");
    ProjectJob& first = Project("First");
    FolderJob& planned = Folder(first, "f1", {"a.txt"});
    FolderJob& twins = Folder(first, "f2", {"Twin.txt", "twin.txt"});
    Folder(first, "f3", {"c.txt"});
    ProjectJob& second = Project("Second");
    FolderJob& normal = Folder(second, "s1", {"d.txt"});
    FolderJob& unplugged = Folder(second, "s2");
    unplugged.mediumPath = dir / "s2/unplugged";
    swxAnalyze analysis(&sink, &jobs);
    EXPECT_EQ(Run(analysis, sink), RUN_FINISHED);
    for (const auto& folder : first.folders)
        EXPECT_TRUE(folder->items.empty());
    ASSERT_EQ(normal.items.size(), 1u);
    EXPECT_EQ(normal.items[0]->target, dir / "s1/medium/d.txt");
    const std::string twin = ToUtf8(dir / "f2/station/"), unpluggedPath = ToUtf8(unplugged.mediumPath);
    EXPECT_EQ(sink.Messages(),
              (Texts{Banner("Empty"), Banner("First"), Banner("First", &planned), Banner("First", &twins),
                     "Twins found on comparing " + ToUtf8(twins.stationPath) + " <> " + ToUtf8(twins.mediumPath) +
                         ". Project aborted!",
                     sink.Messages()[5].starts_with(twin) ? sink.Messages()[5] : twin, Banner("Second"),
                     Banner("Second", &normal), Banner("Second", &unplugged),
                     "Folder not found: " + unpluggedPath + "/ (no deletions are planned for it on the other side)"}));
    EXPECT_EQ(sink.Count(TE_START), 4);
    EXPECT_TRUE(normal.stationRootId.exists && normal.mediumRootId.exists);
    EXPECT_EQ(normal.mediumRootId, ReadRootIdentity(normal.mediumPath));
    EXPECT_NE(normal.mediumRootId, normal.stationRootId);
    EXPECT_FALSE(unplugged.mediumRootId.exists);
}

// At the first directory message of the walk of the first folder: a failure ('t' throws) ends
// the analysis with errors; Cancel ('c') and wxThread::Delete while held ('h') with "cancelled".
// Cancel before the thread runs (0): nothing is compared. A cancel stops the walk at once (a
// Delete only after the folder); no further folder is compared.
TEST_F(swxAnalyzeTest, FailureCancelAndDeleteEndTheAnalysis)
{
    ProjectJob& project = Project("Big");
    for (const char* name : {"m", "n"})
        Folder(project, name).stationPath = dir.Path();
    for (int i = 0; i < 50; ++i)
        dir.MakeDir(wxString::Format("d%03d", i));
    const struct {
        char act;
        long result;
        int banners;
        const char* last;
    } cases[] = {
        {'t', RUN_FINISHED_WITH_ERRORS, 2, "The analysis failed: disk on fire"},
        {'c', RUN_CANCELLED, 2, "Traversing directory: "},
        {'h', RUN_CANCELLED, 2, "Traversing directory: "},
        {0, RUN_CANCELLED, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.act);
        EventSink events;
        swxAnalyze run(&events, &jobs);
        std::promise<void> walking;
        std::future<void> walked = walking.get_future();
        events.onPost = [&, act = c.act](const wxCommandEvent& e) mutable {
            if (!act || !e.GetString().StartsWith("Traversing"))
                return;
            const char now = std::exchange(act, 0);
            walking.set_value();
            if (now == 't')
                throw std::runtime_error("disk on fire");
            if (now == 'c')
                run.Cancel();
            for (int waited = 0; now == 'h' && !run.TestDestroy() && waited < 20000; ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        if (!c.act)
            run.Cancel();
        EXPECT_EQ(Run(run, events, c.act == 'h' ? &walked : nullptr), c.result);
        const Texts messages = events.Messages();
        const auto count = [&](const char* start) {
            return std::ranges::count_if(messages, [&](auto& m) { return m.starts_with(start); });
        };
        EXPECT_EQ(count("\n***"), c.banners);
        EXPECT_TRUE(c.banners == 0 || messages.back().starts_with(c.last)) << messages.back();
        EXPECT_TRUE(c.act == 'h' || count("Traversing") < 10) << count("Traversing");
    }
}

// No projects: only the end. An invalid mode leaves the items; a null owner still plans.
TEST_F(swxAnalyzeTest, NoProjectsInvalidModeAndNullOwner)
{
    swxAnalyze empty(&sink, &jobs);
    EXPECT_EQ(Run(empty, sink), RUN_FINISHED);
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(sink.events[0].id, ID_THREAD_EVENT);
    FolderJob& invalid = Folder(Project("Bad", 2), "bad", {"a.txt"});
    invalid.items.push_back(std::make_unique<SyncItem>());
    FolderJob& planned = Folder(Project("Good"), "good", {"a.txt"});
    swxAnalyze quiet(nullptr, &jobs);
    ASSERT_EQ(quiet.Create(), wxTHREAD_NO_ERROR);
    ASSERT_EQ(quiet.Run(), wxTHREAD_NO_ERROR);
    quiet.Wait();
    EXPECT_EQ(invalid.items.size(), 1u);
    EXPECT_EQ(planned.items.size(), 1u);
    EXPECT_EQ(quiet.Result(), RUN_FINISHED);
}

} // namespace
