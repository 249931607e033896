#include "engine/analyze.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "store/text.h"

namespace {

const char kStars[] = "******************************************";

std::string ProjectBanner(const std::string& caption)
{
    return std::string("\n") + kStars + "\n Project " + caption + ":\n" + kStars;
}

std::string FolderBanner(const std::string& caption, const wxString& station, const wxString& medium)
{
    return std::string("\n") + kStars + "\n Project " + caption + ", folder " + ToUtf8(station) + " (" +
           ToUtf8(medium) + " on medium)";
}

class swxAnalyzeTest : public ::testing::Test {
protected:
    TempDir dir;
    JobTree jobs;
    EventSink sink;
    swxAnalyze analysis{&sink, &jobs};

    std::unique_ptr<ProjectJob> Project(const char* caption, int mode = SD_COPY)
    {
        auto project = std::make_unique<ProjectJob>();
        project->caption = caption;
        project->mode = mode;
        return project;
    }

    // A folder job over dir/name/station and dir/name/medium taking every file.
    FolderJob& Folder(ProjectJob& project, const char* name)
    {
        auto folder = std::make_unique<FolderJob>();
        folder->stationPath = dir.MakeDir(wxString(name) + "/station");
        folder->mediumPath = dir.MakeDir(wxString(name) + "/medium");
        folder->rules.push_back(std::make_unique<FolderRule>(FolderRule{"*", true}));
        project.folders.push_back(std::move(folder));
        return *project.folders.back();
    }

    // Runs the analysis to its end and handles what it posted.
    void Run() { Run(analysis, sink); }
    static void Run(swxAnalyze& analysis, EventSink& sink)
    {
        ASSERT_EQ(analysis.Create(), wxTHREAD_NO_ERROR);
        ASSERT_EQ(analysis.Run(), wxTHREAD_NO_ERROR);
        analysis.Wait();
        sink.Pump();
    }

    static long EndResult(const EventSink& sink)
    {
        EXPECT_EQ(sink.Count(TE_ANALYSIS_END), 1);
        EXPECT_EQ(sink.events.back().code, TE_ANALYSIS_END);
        return sink.events.back().value;
    }
};

TEST_F(swxAnalyzeTest, NoProjectsPostOnlyTheEnd)
{
    Run();
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(sink.events[0].id, ID_THREAD_EVENT);
    EXPECT_EQ(EndResult(sink), RUN_FINISHED);
}

TEST_F(swxAnalyzeTest, ProjectWithoutFoldersPostsItsBanner)
{
    analysis.AddProject(Project("Empty"));
    Run();
    EXPECT_EQ(sink.Messages(), (std::vector<std::string>{ProjectBanner("Empty")}));
    EXPECT_EQ(EndResult(sink), RUN_FINISHED);
}

TEST_F(swxAnalyzeTest, FoldersAreComparedIntoTheirItemLists)
{
    auto project = Project("Work", SD_COPY);
    FolderJob& first = Folder(*project, "one");
    FolderJob& second = Folder(*project, "two");
    dir.Write("one/station/a.txt", "x");
    dir.Write("two/medium/b.txt", "x");
    analysis.AddProject(std::move(project));
    Run();
    ASSERT_EQ(first.items.size(), 1u);
    EXPECT_EQ(first.items[0]->target, dir / "one/medium/a.txt");
    EXPECT_TRUE(second.items.empty());
    const std::vector<std::string> messages = sink.Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], ProjectBanner("Work"));
    EXPECT_EQ(messages[1], FolderBanner("Work", first.stationPath, first.mediumPath));
    EXPECT_EQ(messages[2], FolderBanner("Work", second.stationPath, second.mediumPath));
    EXPECT_EQ(sink.Count(TE_START), 2);
    EXPECT_EQ(EndResult(sink), RUN_FINISHED);
}

TEST_F(swxAnalyzeTest, TwinsAbortTheirProjectOnly)
{
    auto first = Project("First");
    FolderJob& planned = Folder(*first, "f1");
    FolderJob& twins = Folder(*first, "f2");
    FolderJob& skipped = Folder(*first, "f3");
    dir.Write("f1/station/a.txt", "x");
    dir.Write("f2/station/Twin.txt", "x");
    dir.Write("f2/station/twin.txt", "x");
    dir.Write("f3/station/c.txt", "x");
    auto second = Project("Second");
    FolderJob& normal = Folder(*second, "s1");
    dir.Write("s1/station/d.txt", "x");
    analysis.AddProject(std::move(first));
    analysis.AddProject(std::move(second));
    Run();

    EXPECT_TRUE(planned.items.empty());
    EXPECT_TRUE(twins.items.empty());
    EXPECT_TRUE(skipped.items.empty());
    EXPECT_EQ(normal.items.size(), 1u);
    const std::vector<std::string> messages = sink.Messages();
    ASSERT_EQ(messages.size(), 7u);
    EXPECT_EQ(messages[2], FolderBanner("First", twins.stationPath, twins.mediumPath));
    EXPECT_EQ(messages[3], "Twins found on comparing " + ToUtf8(twins.stationPath) + " <> " +
                               ToUtf8(twins.mediumPath) + ". Project aborted!");
    EXPECT_TRUE(messages[4] == ToUtf8(dir / "f2/station/Twin.txt") ||
                messages[4] == ToUtf8(dir / "f2/station/twin.txt"));
    EXPECT_EQ(messages[5], ProjectBanner("Second"));
    EXPECT_EQ(sink.CountMessages(FolderBanner("First", skipped.stationPath, skipped.mediumPath)), 0);
    EXPECT_EQ(EndResult(sink), RUN_FINISHED);
}

TEST_F(swxAnalyzeTest, PlainAndCompressedCopiesOnTheMediumAbortTheProject)
{
    auto project = Project("Packed", SD_COPY_DEL);
    FolderJob& folder = Folder(*project, "packed");
    dir.Write("packed/station/b.txt", "x");
    dir.Write("packed/medium/a.txt", "x");
    dir.Write("packed/medium/a.txt.bz2", "x");
    analysis.AddProject(std::move(project));
    Run();
    EXPECT_TRUE(folder.items.empty());
    EXPECT_EQ(sink.CountMessages("Twins found on comparing "), 1);
    EXPECT_EQ(sink.CountMessages(ToUtf8(dir / "packed/medium/a.txt")), 1);
    EXPECT_EQ(EndResult(sink), RUN_FINISHED);
}

TEST_F(swxAnalyzeTest, CancelDuringALargeWalkEndsWithCancelled)
{
    CancellingSink<swxAnalyze> cancelling;
    swxAnalyze cancelled(&cancelling, &jobs);
    cancelling.target = &cancelled;
    cancelling.cancelAt = 5;
    auto project = Project("Big");
    Folder(*project, "big");
    Folder(*project, "after");
    for (int i = 0; i < 200; ++i)
        dir.Write(wxString::Format("big/station/d%03d/f.txt", i), "x");
    cancelled.AddProject(std::move(project));
    cancelled.AddProject(Project("Later"));
    Run(cancelled, cancelling);

    EXPECT_EQ(cancelling.CountMessages("Traversing directory: "), 5);
    EXPECT_EQ(cancelling.Messages().size(), 2u + 5u);  // the first two banners and the directories
    EXPECT_EQ(cancelling.Count(TE_START), 0);
    EXPECT_EQ(EndResult(cancelling), RUN_CANCELLED);
    EXPECT_EQ(cancelled.Result(), RUN_CANCELLED);
}

TEST_F(swxAnalyzeTest, CancelBeforeTheThreadRunsStillEndsWithCancelled)
{
    auto project = Project("P");
    Folder(*project, "p");
    analysis.AddProject(std::move(project));
    EXPECT_EQ(analysis.Cancel(), wxTHREAD_NO_ERROR);
    Run();
    EXPECT_TRUE(sink.Messages().empty());
    EXPECT_EQ(EndResult(sink), RUN_CANCELLED);
}

TEST_F(swxAnalyzeTest, InvalidModeLeavesTheItemsAndGoesOn)
{
    auto project = Project("Bad", 2);
    FolderJob& folder = Folder(*project, "bad");
    folder.items.push_back(std::make_unique<SyncItem>());
    dir.Write("bad/station/a.txt", "x");
    analysis.AddProject(std::move(project));
    Run();
    EXPECT_EQ(folder.items.size(), 1u);
    EXPECT_EQ(EndResult(sink), RUN_FINISHED);
}

TEST_F(swxAnalyzeTest, NullOwnerPostsNothingAndStillPlans)
{
    swxAnalyze quiet(nullptr, &jobs);
    auto project = Project("Quiet");
    FolderJob& folder = Folder(*project, "q");
    dir.Write("q/station/a.txt", "x");
    quiet.AddProject(std::move(project));
    ASSERT_EQ(quiet.Create(), wxTHREAD_NO_ERROR);
    ASSERT_EQ(quiet.Run(), wxTHREAD_NO_ERROR);
    quiet.Wait();
    EXPECT_EQ(folder.items.size(), 1u);
}

} // namespace
