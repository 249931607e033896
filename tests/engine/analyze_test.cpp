#include "engine/analyze.h"

#include <chrono>
#include <future>

#include "engine/root_check.h"
#include "engine_test_support.h"

namespace {

using Texts = std::vector<std::string>;

class swxAnalyzeTest : public ::testing::Test {
protected:
    TempDir dir;
    JobTree jobs;

    // A project with a folder job per name over dir/name/station and dir/name/medium taking
    // every file.
    ProjectJob& Project(const char* caption, int mode, const std::vector<const char*>& names)
    {
        ProjectJob& project = *jobs.emplace_back(std::make_unique<ProjectJob>());
        std::tie(project.caption, project.mode) = std::tuple(caption, mode);
        for (const char* name : names) {
            FolderJob& folder = *project.folders.emplace_back(std::make_unique<FolderJob>());
            folder.stationPath = dir.MakeDir(name + wxString("/station"));
            folder.mediumPath = dir.MakeDir(name + wxString("/medium"));
            folder.rules.push_back(std::make_unique<FolderRule>(FolderRule{"*", true}));
        }
        return project;
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
        EXPECT_EQ(sink.events.back().id, ID_THREAD_EVENT);
        return sink.events.back().code == TE_ANALYSIS_END ? sink.events.back().value : -1;
    }
};

// Every folder is compared into its item list, its roots recorded first; twins abort their
// project only: its items are discarded and its remaining folders not compared.
TEST_F(swxAnalyzeTest, FoldersAreComparedAndTwinsAbortTheirProjectOnly)
{
    Project("Empty", SD_COPY, {});
    const ProjectJob& first = Project("First", SD_COPY, {"f1", "f2", "f3"});
    FolderJob& normal = *Project("Second", SD_COPY, {"s1"}).folders[0];
    for (const char* file : {"f1/station/a.txt", "f2/station/Twin.txt", "f2/station/twin.txt",
                             "f3/station/c.txt", "s1/station/d.txt"})
        dir.Write(file, "x");
    EventSink sink;
    swxAnalyze analysis(&sink, &jobs);
    EXPECT_EQ(Run(analysis, sink), RUN_FINISHED);
    for (const auto& folder : first.folders)
        EXPECT_TRUE(folder->items.empty());
    ASSERT_EQ(normal.items.size(), 1u);
    EXPECT_EQ(normal.items[0]->target, dir / "s1/medium/d.txt");
    const std::string stars = "\n" + std::string(42, '*');
    const auto banner = [&](const std::string& project, const char* folder) {
        const std::string root = ToUtf8(dir.Path()) + folder;
        return stars + "\n Project " + project + ", folder " + root + "/station (" + root +
               "/medium on medium)";
    };
    const std::string f2 = ToUtf8(dir / "f2/"), twin = f2 + "station/";
    const std::string message5 = sink.Messages()[5];
    EXPECT_EQ(sink.Messages(),
              (Texts{stars + "\n Project Empty:" + stars, stars + "\n Project First:" + stars,
                     banner("First", "f1"), banner("First", "f2"),
                     "Twins found on comparing " + f2 + "station <> " + f2 +
                         "medium. Project aborted!",
                     message5.starts_with(twin) ? message5 : twin,
                     stars + "\n Project Second:" + stars, banner("Second", "s1")}));
    EXPECT_EQ(sink.Count(TE_START), 3);
    EXPECT_TRUE(normal.stationRootId.exists && normal.mediumRootId != normal.stationRootId &&
                normal.mediumRootId == ReadRootIdentity(normal.mediumPath));
}

// Station and medium folders that are one directory or lie one inside the other, also through a
// link or a bind mount or before the inner one is made, are refused; the other folders go on.
TEST_F(swxAnalyzeTest, OverlappingFoldersAreRefusedAlone)
{
    const wxString stick = dir.MakeDir("stick"), work = dir.MakeDir("stick/work");
    ASSERT_EQ(symlink(ToUtf8(work).c_str(), ToUtf8(dir / "link").c_str()), 0);
    const TestMount bind(dir.MakeDir("bind"), stick);
    if (!bind.Refused().empty())
        GTEST_SKIP() << bind.Refused();
    const std::pair<wxString, wxString> overlapping[] = {
        {work, stick}, {stick, work + "/"},       {stick, stick},
        {dir / "link", stick}, {stick, work + "/new/in"}, {dir / "bind/work", stick}};
    ProjectJob& project = Project("P", SD_COPY_MDEL, {"ok", "1", "2", "3", "4", "5", "6"});
    dir.Write("ok/station/b", "x");
    for (size_t i = 0; i < std::size(overlapping); ++i) {
        FolderJob& folder = *project.folders[i + 1];
        std::tie(folder.stationPath, folder.mediumPath) = overlapping[i];
    }
    EventSink sink;
    swxAnalyze analysis(&sink, &jobs);
    EXPECT_EQ(Run(analysis, sink), RUN_FINISHED);
    Texts refused = sink.Messages();
    std::erase_if(refused, [](const std::string& m) { return !m.starts_with("Nothing planned"); });
    ASSERT_EQ(refused.size(), std::size(overlapping));
    for (size_t i = 0; i < project.folders.size(); ++i) {
        const FolderJob& folder = *project.folders[i];
        EXPECT_EQ(folder.refusal.empty(), i == 0);
        EXPECT_NE(folder.items.empty(), CheckRootIdentities(folder).empty());
        const wxString roots = folder.stationPath + " (" + folder.mediumPath + " on medium): ";
        EXPECT_TRUE(i == 0 || refused[i - 1].ends_with(ToUtf8(roots + folder.refusal))) << i;
    }
}

// At the first directory message of the walk of the first folder: a failure ('t' throws) ends
// the analysis with errors; Cancel ('c') and wxThread::Delete while held ('h') with "cancelled".
// Cancel before the thread runs (0): nothing is compared. A cancel stops the walk at once (a
// Delete only after the folder); no further folder is compared.
TEST_F(swxAnalyzeTest, FailureCancelAndDeleteEndTheAnalysis)
{
    for (const auto& folder : Project("Big", SD_COPY, {"m", "n"}).folders)
        folder->stationPath = dir / "big";
    for (int i = 0; i < 50; ++i)
        dir.MakeDir(wxString::Format("big/d%03d", i));
    const struct {
        char act;
        long result;
        const char* last;  // of the messages after two banners; none without
    } cases[] = {{'t', RUN_FINISHED_WITH_ERRORS, "The analysis failed: disk on fire"},
                 {'c', RUN_CANCELLED, "Traversing directory: "},
                 {'h', RUN_CANCELLED, "Traversing directory: "}, {0, RUN_CANCELLED, nullptr}};
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
        EXPECT_EQ(count("\n***"), c.last ? 2 : 0);
        EXPECT_TRUE(!c.last || messages.back().starts_with(c.last)) << messages.back();
        EXPECT_TRUE(c.act == 'h' || count("Traversing") < 10) << count("Traversing");
    }
}

} // namespace
