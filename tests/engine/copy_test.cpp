#include "engine/copy.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <wx/app.h>

#include "engine/sync_types.h"
#include "store/bzip2.h"
#include "store/catalog.h"
#include "store/file_time.h"
#include "store/options.h"
#include "store/text.h"
#include "tests/engine/engine_test_support.h"
#include "tests/engine/file_faults.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const FileTime kOldTime = FileTimeFromUnix(1600000000);

// Stops the run at the n-th check, as a Stop pressed at that moment would.
class StoppingCopy : public swxCopy {
public:
    StoppingCopy(wxEvtHandler* owner, JobTree* jobs, const wxString& log, int stopAtCheck)
        : swxCopy(owner, jobs, false, log), stopAtCheck_(stopAtCheck)
    {
    }
    bool TestDestroy() override
    {
        if (++checks_ >= stopAtCheck_)
            Stop();
        return swxCopy::TestDestroy();
    }

private:
    int stopAtCheck_;
    int checks_ = 0;
};

std::string RandomBytes(std::size_t size)
{
    std::mt19937 gen(42);
    std::string s(size, '\0');
    for (char& c : s)
        c = static_cast<char>(gen());
    return s;
}

FileTime TimeOf(const wxString& path)
{
    FileTime t = 0;
    GetFileModTime(path, t);
    return t;
}

std::string Decompressed(const wxString& path)
{
    const wxString out = path + ".out";
    if (!DecompressFileBz2(path, out))
        return "<not bzip2>";
    std::string text = ReadAll(out);
    std::remove(ToUtf8(out).c_str());
    return text;
}

// Every entry under a directory with its kind, size, time and content.
std::map<std::string, std::string> Snapshot(const wxString& root)
{
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(ToUtf8(root))) {
        const wxString path = FromUtf8(e.path().string());
        entries[e.path().string()] =
            e.is_directory() ? "dir"
                             : ReadAll(path) + "@" + std::to_string(TimeOf(path));
    }
    return entries;
}

class swxCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        stationName = "test-station";
        soRemoveEmptyFolders = false;
        dir.MakeDir("station");
        dir.MakeDir("medium");
    }
    void TearDown() override { soRemoveEmptyFolders = false; }

    wxString Station(const wxString& relative = "") const { return dir / ("station/" + relative); }
    wxString Medium(const wxString& relative = "") const { return dir / ("medium/" + relative); }

    // A file with an old time, so that a copied time is recognisable.
    wxString OldFile(const wxString& relative, const std::string& content) const
    {
        const wxString path = dir.Write(relative, content);
        SetFileModTime(path, kOldTime);
        return path;
    }
    wxString StationFile(const wxString& r, const std::string& content) const
    {
        return OldFile("station/" + r, content);
    }
    wxString MediumFile(const wxString& r, const std::string& content) const
    {
        return OldFile("medium/" + r, content);
    }

    ProjectJob& Project(int mode, std::int64_t ignoreSizeOver = 0, std::int64_t compressBelow = 0,
                        const wxString& caption = "Work")
    {
        auto project = std::make_unique<ProjectJob>();
        project->caption = caption;
        project->mode = mode;
        project->ignoreSizeOver = ignoreSizeOver;
        project->compressBelow = compressBelow;
        jobs.push_back(std::move(project));
        return *jobs.back();
    }
    FolderJob& Folder(ProjectJob& project, const wxString& stationPath, const wxString& mediumPath)
    {
        auto folder = std::make_unique<FolderJob>();
        folder->stationPath = stationPath;
        folder->mediumPath = mediumPath;
        project.folders.push_back(std::move(folder));
        return *project.folders.back();
    }
    // The first folder of a new project over the station and medium directories.
    FolderJob& Folder(int mode, std::int64_t ignoreSizeOver = 0, std::int64_t compressBelow = 0)
    {
        return Folder(Project(mode, ignoreSizeOver, compressBelow), Station(), Medium());
    }
    SyncItem& Item(FolderJob& folder, int action, const wxString& source, const wxString& target,
                   bool onMedium)
    {
        auto item = std::make_unique<SyncItem>();
        item->action = action;
        item->source = source;
        item->target = target;
        item->targetOnMedium = onMedium;
        item->sourceTime = kOldTime;
        folder.items.push_back(std::move(item));
        return *folder.items.back();
    }
    // Station to medium (toMedium) or back, the same relative name on both sides.
    SyncItem& Transfer(FolderJob& folder, int action, const wxString& relative, bool toMedium)
    {
        return toMedium ? Item(folder, action, Station(relative), Medium(relative), true)
                        : Item(folder, action, Medium(relative), Station(relative), false);
    }

    void Run(bool logOnly = false, const std::vector<wxString>& masks = {})
    {
        swxCopy copy(&events, &jobs, logOnly, logPath);
        Run(copy, [&] {
            for (const wxString& mask : masks)
                copy.AddIncompressibleMask(mask);
        });
    }
    // Runs a copy to its end and handles its events; beforeRun acts between Create and Run.
    void Run(swxCopy& copy, const std::function<void()>& beforeRun = [] {})
    {
        ASSERT_EQ(copy.Create(), wxTHREAD_NO_ERROR);
        beforeRun();
        ASSERT_EQ(copy.Run(), wxTHREAD_NO_ERROR);
        copy.Wait();
        events.Pump();
    }

    // The log's lines with every local time ("2024-03-15 10:20:30") made "T".
    std::vector<std::string> LogLines() const
    {
        std::string text = ReadAll(logPath);
        for (const std::string key : {" date=\"", " time=\"", " now=\""})
            for (std::size_t at = text.find(key); at != std::string::npos;
                 at = text.find(key, at + 1))
                if (text.size() > at + key.size() + 19 && text[at + key.size() + 19] == '"')
                    text.replace(at + key.size(), 19, "T");
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(text.substr(start, end - start));
        lines.push_back(text.substr(start));
        return lines;
    }
    // For each item line of the log, the attributes written between its opening and its end.
    std::vector<std::string> Results() const
    {
        const std::string closing = " now=\"T\"/>";
        std::vector<std::string> results;
        for (const std::string& line : LogLines()) {
            std::size_t from = line.find(" action=\"");
            if (!line.starts_with("        <item ") || from == std::string::npos
                || !line.ends_with(closing))
                continue;
            from = line.find('"', from + 9) + 1;
            if (line.compare(from, 8, " ftime=\"") == 0)
                from = line.find('"', from + 8) + 1;
            results.push_back(line.substr(from, line.size() - closing.size() - from));
        }
        return results;
    }
    std::string Result() const
    {
        const std::vector<std::string> results = Results();
        return results.size() == 1 ? results[0] : "<" + std::to_string(results.size()) + " items>";
    }
    long EndResult() const
    {
        return events.events.empty() || events.events.back().code != TE_COPY_END
                   ? -1
                   : events.events.back().value;
    }
    TempDir dir;
    JobTree jobs;
    EventSink events;
    wxString logPath = dir / "log.xml";
};

// ---- runs as a whole -------------------------------------------------------------------

TEST_F(swxCopyTest, EmptyJobTreeWritesHeaderAndEndsFinished)
{
    Run();
    EXPECT_EQ(events.Codes(), (std::vector<int>{TE_MESSAGE, TE_COPY_END}));
    EXPECT_EQ(events.events[0].text, "Starting synchronization");
    EXPECT_EQ(EndResult(), RUN_FINISHED);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                              "<?xml-stylesheet type=\"text/xsl\" href=\"log.xsl\"?>",
                              "<sync station=\"test-station\" date=\"T\" log_only=\"no\">",
                              "</sync>",
                          }));
}

TEST_F(swxCopyTest, EventsFollowProjectFolderAndItems)
{
    StationFile("a", "1");
    StationFile("b", "2");
    FolderJob& folder = Folder(SD_COPY);
    Transfer(folder, FP_COPY, "a", true);
    Transfer(folder, FP_COPY, "b", true);
    Run();

    EXPECT_EQ(events.Codes(), (std::vector<int>{TE_MESSAGE, TE_MESSAGE, TE_MESSAGE, TE_START,
                                                TE_STEP, TE_STEP, TE_COPY_END}));
    const std::string stars = "******************************************";
    EXPECT_EQ(events.events[1].text, "\n" + stars + "\n Project Work:\n" + stars);
    EXPECT_EQ(events.events[2].text, "\n" + stars + "\n Project Work, folder " + Station()
                                         + " (" + Medium() + " on medium)");
    EXPECT_EQ(events.events[3].value, 2);
    EXPECT_EQ(events.events[3].text, "2 entries to synchronize");
    EXPECT_EQ(events.events[4].value, 2);
    EXPECT_EQ(EndResult(), RUN_FINISHED);
}

TEST_F(swxCopyTest, LogOfRealRunMatchesLineByLine)
{
    StationFile("R&D <\"x\">.txt", "data");
    ProjectJob& project = Project(SD_COPY, 0, 0, "A&B");
    FolderJob& folder = Folder(project, Station(), Medium());
    Transfer(folder, FP_COPY, "R&D <\"x\">.txt", true);
    Item(folder, FP_MKDIR, "", Medium("new"), true);
    Folder(project, Station("none"), Medium("none"));
    Run();

    const std::string s = ToUtf8(Station()), m = ToUtf8(Medium());
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                  "<?xml-stylesheet type=\"text/xsl\" href=\"log.xsl\"?>",
                  "<sync station=\"test-station\" date=\"T\" log_only=\"no\">",
                  "  <project action=\"SD_COPY\" caption=\"A&amp;B\" maxsize=\"0\" "
                  "compressbelow=\"0\">",
                  "    <folder source=\"" + s + "\" dest=\"" + m + "\" result=\"success\">",
                  "      <actions count=\"2\" time=\"T\">",
                  "        <item source=\"" + s + "R&amp;D &lt;&quot;x&quot;>.txt\" dest=\"" + m
                      + "R&amp;D &lt;&quot;x&quot;>.txt\" action=\"FP_COPY\" ftime=\""
                      + ToUtf8(FormatFileTimeUtc(kOldTime)) + "\" result=\"cp\" now=\"T\"/>",
                  "        <item dest=\"" + m
                      + "new\" action=\"FP_MKDIR\" result=\"ok\" now=\"T\"/>",
                  "      </actions>",
                  "      <rmdir>",
                  "      </rmdir>",
                  "    </folder>",
                  "    <folder source=\"" + s + "none\" dest=\"" + m + "none\" result=\"success\">",
                  "      <actions count=\"0\" time=\"T\">",
                  "      </actions>",
                  "      <rmdir>",
                  "      </rmdir>",
                  "    </folder>",
                  "  </project>",
                  "</sync>",
              }));
}

TEST_F(swxCopyTest, RunWithoutLogWritesNoFile)
{
    StationFile("a", "1");
    Transfer(Folder(SD_COPY), FP_COPY, "a", true);
    logPath.clear();
    Run();
    EXPECT_EQ(ReadAll(Medium("a")), "1");
    EXPECT_FALSE(Exists(dir / "log.xml"));
}

// ---- copies and moves --------------------------------------------------------------------

TEST_F(swxCopyTest, CopyToMediumWithoutCompressionKeepsBytesAndTime)
{
    StationFile("sub/a.txt", "hello");
    dir.MakeDir("medium/sub");
    Transfer(Folder(SD_COPY), FP_COPY, "sub/a.txt", true);
    Run();
    EXPECT_EQ(ReadAll(Medium("sub/a.txt")), "hello");
    EXPECT_EQ(TimeOf(Medium("sub/a.txt")), kOldTime);
    EXPECT_EQ(Result(), " result=\"cp\"");
    EXPECT_EQ(ReadAll(Station("sub/a.txt")), "hello");
}

TEST_F(swxCopyTest, CompressionLimitIncludesItsOwnSize)
{
    StationFile("empty", "");
    StationFile("exact", std::string(1000, 'e'));
    StationFile("over", std::string(1001, 'o'));
    FolderJob& folder = Folder(SD_COPY, 0, 1000);
    Transfer(folder, FP_COPY, "empty", true);
    SyncItem& exact = Transfer(folder, FP_COPY, "exact", true);
    Transfer(folder, FP_COPY, "over", true);
    Run();

    EXPECT_EQ(Decompressed(Medium("empty.bz2")), "");
    EXPECT_EQ(Decompressed(Medium("exact.bz2")), std::string(1000, 'e'));
    EXPECT_EQ(ReadAll(Medium("over")), std::string(1001, 'o'));
    EXPECT_FALSE(Exists(Medium("empty")));
    EXPECT_FALSE(Exists(Medium("exact")));
    EXPECT_FALSE(Exists(Medium("over.bz2")));
    EXPECT_EQ(TimeOf(Medium("exact.bz2")), kOldTime);
    EXPECT_EQ(exact.target, Medium("exact.bz2"));  // changed in place
    EXPECT_EQ(Results(), (std::vector<std::string>{" result=\"bz\"", " result=\"bz\"",
                                                   " result=\"cp\""}));
    // The log shows the paths as planned.
    EXPECT_NE(LogLines()[6].find("dest=\"" + ToUtf8(Medium("empty")) + "\""), std::string::npos);
}

TEST_F(swxCopyTest, IncompressibleMasksIgnoreCaseAndMatchDirectoriesWithEitherSeparator)
{
    FolderJob& folder = Folder(SD_COPY, 0, 1 << 20);
    for (const char* name : {"Photos.ZIP", "notes.txt", "raw/a", "cooked/b"}) {
        StationFile(name, name);
        Transfer(folder, FP_COPY, name, true);
    }
    dir.MakeDir("medium/raw");
    dir.MakeDir("medium/cooked");
    Run(false, {"*.Zip", "*\\RAW\\*"});
    EXPECT_EQ(ReadAll(Medium("Photos.ZIP")), "Photos.ZIP");
    EXPECT_EQ(Decompressed(Medium("notes.txt.bz2")), "notes.txt");
    EXPECT_EQ(ReadAll(Medium("raw/a")), "raw/a");
    EXPECT_EQ(Decompressed(Medium("cooked/b.bz2")), "cooked/b");
}

TEST_F(swxCopyTest, StationFileNamedBz2IsCopiedByteForByteWithoutSuffix)
{
    const std::string archive = RandomBytes(300);
    StationFile("old.log.bz2", archive);
    SyncItem& item = Transfer(Folder(SD_COPY, 0, 1 << 20), FP_COPY, "old.log", true);
    Run();
    EXPECT_EQ(ReadAll(Medium("old.log")), archive);
    EXPECT_FALSE(Exists(Medium("old.log.bz2")));
    EXPECT_EQ(item.source, Station("old.log.bz2"));
    EXPECT_EQ(Result(), " result=\"cp\"");
}

TEST_F(swxCopyTest, CopyBackDecompressesSetsTimeAndReplacesTheCompressedForm)
{
    ASSERT_TRUE(CompressFileBz2(StationFile("x", "packed"), Medium("a.txt.bz2")));
    MediumFile("b.txt", "plain");
    SetFileModTime(Medium("a.txt.bz2"), kOldTime);
    StationFile("data.bz2", "older version of the same name");
    MediumFile("data", "newer");
    FolderJob& folder = Folder(DS_COPY);
    for (const char* name : {"a.txt", "b.txt", "data"})
        Transfer(folder, FP_COPY, name, false);
    Run();
    EXPECT_EQ(ReadAll(Station("a.txt")), "packed");
    EXPECT_EQ(TimeOf(Station("a.txt")), kOldTime);
    EXPECT_EQ(ReadAll(Station("b.txt")), "plain");
    EXPECT_TRUE(Exists(Medium("a.txt.bz2")));
    // A station file of the compressed form is replaced.
    EXPECT_EQ(ReadAll(Station("data")), "newer");
    EXPECT_FALSE(Exists(Station("data.bz2")));
    EXPECT_EQ(Results(), (std::vector<std::string>{"  result=\"unbz\"", "  result=\"cp\"",
                                                   "  result=\"cp\""}));
}

TEST_F(swxCopyTest, MoveToMediumRemovesSource)
{
    StationFile("a", "1");
    Transfer(Folder(SD_COPY_M, 0, 1 << 20), FP_MOVE, "a", true);
    Run();
    EXPECT_FALSE(Exists(Station("a")));
    EXPECT_EQ(Decompressed(Medium("a.bz2")), "1");
    EXPECT_EQ(TimeOf(Medium("a.bz2")), kOldTime);
    EXPECT_EQ(Result(), " result=\"bz\"  remove=\"source\"");
}

TEST_F(swxCopyTest, MoveBackRemovesCompressedFileFromMedium)
{
    ASSERT_TRUE(CompressFileBz2(StationFile("x", "packed"), Medium("a.bz2")));
    Transfer(Folder(DS_COPY_M), FP_MOVE, "a", false);
    Run();
    EXPECT_EQ(ReadAll(Station("a")), "packed");
    EXPECT_FALSE(Exists(Medium("a.bz2")));
    EXPECT_EQ(Result(), "  result=\"unbz\"  remove=\"source\"");
}

TEST_F(swxCopyTest, MoveWhoseSourceStaysClaimsNoRemoval)
{
    StationFile("locked/a", "1");
    dir.MakeDir("medium/locked");
    Transfer(Folder(SD_COPY_M), FP_MOVE, "locked/a", true);
    const Immutable locked(Station("locked"));
    if (!locked.Ok())
        GTEST_SKIP() << "the file system has no immutable attribute";
    Run();
    EXPECT_TRUE(Exists(Station("locked/a")));
    EXPECT_EQ(ReadAll(Medium("locked/a")), "1");
    EXPECT_EQ(Result(), " result=\"cp\"");
}

TEST_F(swxCopyTest, ChangedCompressionChoiceLeavesOneFormOnMedium)
{
    StationFile("grew", std::string(2000, 'g'));
    StationFile("shrank", "s");
    MediumFile("grew.bz2", "old compressed form");
    MediumFile("shrank", "old plain form");
    FolderJob& folder = Folder(SD_COPY, 0, 1000);
    Transfer(folder, FP_COPY, "grew", true);
    Transfer(folder, FP_COPY, "shrank", true);
    Run();
    EXPECT_EQ(ReadAll(Medium("grew")), std::string(2000, 'g'));
    EXPECT_FALSE(Exists(Medium("grew.bz2")));
    EXPECT_EQ(Decompressed(Medium("shrank.bz2")), "s");
    EXPECT_FALSE(Exists(Medium("shrank")));
}

TEST_F(swxCopyTest, RoundTripThroughCompressedMediumKeepsBytesAndTimes)
{
    const std::map<wxString, std::string> files = {
        {"a.txt", "text text text"}, {"deep/b.bin", RandomBytes(70000)},
        {"deep/er/c", ""},          {"big.dat", RandomBytes(300000)}};
    FolderJob& out = Folder(SD_COPY, 0, 100000);
    Item(out, FP_MKDIR, "", Medium("deep/er"), true);
    for (const auto& [name, content] : files) {
        SetFileModTime(StationFile(name, content), FileTimeFromUnix(1500000000, 1234500));
        Transfer(out, FP_COPY, name, true).sourceTime = TimeOf(Station(name));
    }
    Run();

    // A second station takes everything back.
    jobs.clear();
    const wxString other = dir.MakeDir("other/");
    FolderJob& back = Folder(Project(DS_COPY), other, Medium());
    Item(back, FP_MKDIR, "", other + "deep/er", false);
    for (const auto& [name, content] : files) {
        wxString onMedium = Medium(name);
        ResolveCompressedName(onMedium);
        Item(back, FP_COPY, Medium(name), other + name, false).sourceTime = TimeOf(onMedium);
    }
    Run();
    EXPECT_TRUE(Exists(Medium("a.txt.bz2")));
    EXPECT_TRUE(Exists(Medium("big.dat")));
    for (const auto& [name, content] : files) {
        EXPECT_EQ(ReadAll(other + name), content) << name;
        EXPECT_EQ(TimeOf(other + name), TimeOf(Station(name))) << name;
    }
}

// ---- deletions, directories and selection ------------------------------------------------

TEST_F(swxCopyTest, DeleteRemovesPlainOrCompressedForm)
{
    MediumFile("plain", "1");
    MediumFile("packed.bz2", "2");
    FolderJob& folder = Folder(SD_COPY_DEL);
    Item(folder, FP_DELETE, "", Medium("plain"), true);
    SyncItem& packed = Item(folder, FP_DELETE, "", Medium("packed"), true);
    Run();
    EXPECT_FALSE(Exists(Medium("plain")));
    EXPECT_FALSE(Exists(Medium("packed.bz2")));
    EXPECT_EQ(packed.target, Medium("packed.bz2"));
    EXPECT_EQ(Results(), (std::vector<std::string>{"", ""}));
}

TEST_F(swxCopyTest, MakeDirectoryReportsSuccessAndFailure)
{
    MediumFile("file", "in the way");
    FolderJob& folder = Folder(SD_COPY);
    Item(folder, FP_MKDIR, "", Medium("a/b/c"), true);
    Item(folder, FP_MKDIR, "", Medium("file/d"), true);
    Run();
    EXPECT_TRUE(fs::is_directory(ToUtf8(Medium("a/b/c"))));
    EXPECT_EQ(Results(), (std::vector<std::string>{" result=\"ok\"", " result=\"error\""}));
}

TEST_F(swxCopyTest, UnselectedAndUnknownItemsAreNotPerformed)
{
    StationFile("a", "1");
    MediumFile("b", "2");
    FolderJob& folder = Folder(SD_COPY_DEL);
    Transfer(folder, FP_COPY, "a", true).selected = false;
    Item(folder, FP_DELETE, "", Medium("b"), true).selected = false;
    Item(folder, 7, "", Medium("b"), true);
    Run();
    EXPECT_FALSE(Exists(Medium("a")));
    EXPECT_TRUE(Exists(Medium("b")));
    EXPECT_EQ(Results(),
              (std::vector<std::string>{" result=\"ignored\"", " result=\"ignored\"", ""}));
    EXPECT_EQ(events.Texts(TE_STEP).size(), 3u);
}

// ---- size limits ---------------------------------------------------------------------------

TEST_F(swxCopyTest, SizeLimitSkipsLargerFilesOnly)
{
    StationFile("small", std::string(100, 's'));
    StationFile("large", std::string(101, 'l'));
    MediumFile("gone", std::string(100, 'g'));
    MediumFile("kept.bz2", std::string(101, 'k'));
    FolderJob& folder = Folder(SD_COPY_MDEL, 100);
    Transfer(folder, FP_COPY, "small", true);
    Transfer(folder, FP_COPY, "large", true);
    Transfer(folder, FP_MOVE, "large", true);
    Item(folder, FP_DELETE, "", Medium("gone"), true);
    Item(folder, FP_DELETE, "", Medium("kept"), true);
    Run();
    EXPECT_TRUE(Exists(Medium("small")));
    EXPECT_FALSE(Exists(Medium("large")));
    EXPECT_TRUE(Exists(Station("large")));
    EXPECT_FALSE(Exists(Medium("gone")));
    EXPECT_TRUE(Exists(Medium("kept.bz2")));
    EXPECT_EQ(Results(), (std::vector<std::string>{" result=\"cp\"", " result=\"wrong_size\"",
                                                   " result=\"wrong_size\"", "",
                                                   " result=\"ignored\""}));
}

TEST_F(swxCopyTest, SizeWithinLimitLooksForCompressedFormAndFailsMissingFiles)
{
    ProjectJob& limited = Project(SD_COPY, 10);
    ProjectJob& unlimited = Project(SD_COPY);
    MediumFile("packed.bz2", "12345");
    swxCopy copy(nullptr, &jobs, false, "");
    EXPECT_TRUE(copy.SizeWithinLimit(limited, Medium("packed")));
    EXPECT_FALSE(copy.SizeWithinLimit(limited, Medium("missing")));
    EXPECT_TRUE(copy.SizeWithinLimit(unlimited, Medium("missing")));
}

// ---- failures ------------------------------------------------------------------------------

TEST_F(swxCopyTest, FailedWritesKeepPreviousTargetsAndLeaveNoTemporary)
{
    StationFile("big", RandomBytes(1 << 20));
    StationFile("packed", RandomBytes(1 << 20));
    const wxString previous = MediumFile("big", "previous");
    MediumFile("packed.bz2", "previous compressed");
    FolderJob& folder = Folder(SD_COPY_M, 0, 2 << 20);
    Transfer(folder, FP_MOVE, "big", true).sourceTime = FileTimeFromUnix(1700000000);
    Transfer(folder, FP_MOVE, "packed", true);
    {
        const FileSizeLimit full(64 * 1024);
        Run(false, {"*big"});  // "big" is copied plainly, "packed" compressed
    }
    EXPECT_EQ(ReadAll(previous), "previous");
    EXPECT_EQ(TimeOf(previous), kOldTime);
    EXPECT_EQ(ReadAll(Medium("packed.bz2")), "previous compressed");
    EXPECT_TRUE(Exists(Station("big")));
    EXPECT_TRUE(Exists(Station("packed")));
    EXPECT_EQ(TemporariesUnder(Medium()), 0);
    EXPECT_EQ(Results(),
              (std::vector<std::string>{" result=\"cp_error\"", " result=\"bz_error\""}));
}

TEST_F(swxCopyTest, DamagedCompressedFileKeepsStationFile)
{
    const wxString previous = StationFile("a", "previous");
    MediumFile("a.bz2", "BZh9 this is not a stream");
    Transfer(Folder(DS_COPY_M), FP_MOVE, "a", false).sourceTime = FileTimeFromUnix(1700000000);
    Run();
    EXPECT_EQ(ReadAll(previous), "previous");
    EXPECT_EQ(TimeOf(previous), kOldTime);
    EXPECT_TRUE(Exists(Medium("a.bz2")));
    EXPECT_EQ(TemporariesUnder(Station()), 0);
    EXPECT_EQ(Result(), " result=\"unbz_error\"");
}

TEST_F(swxCopyTest, MissingSourceIsReportedAndRunGoesOn)
{
    StationFile("b", "2");
    FolderJob& folder = Folder(SD_COPY);
    Transfer(folder, FP_COPY, "vanished", true);
    Transfer(folder, FP_COPY, "b", true);
    Run();
    EXPECT_EQ(Results(), (std::vector<std::string>{" result=\"cp_error\"", " result=\"cp\""}));
    EXPECT_EQ(EndResult(), RUN_FINISHED);
}

// ---- medium folder -------------------------------------------------------------------------

TEST_F(swxCopyTest, MediumFolderIsMadeWithItsParentsOrReported)
{
    StationFile("a", "1");
    MediumFile("blocker", "a file where a folder should be");
    FolderJob& folder = Folder(Project(SD_COPY), Station(), Medium("Docs/2024/"));
    Item(folder, FP_COPY, Station("a"), Medium("Docs/2024/a"), true);
    Folder(Project(SD_COPY), Station(), Medium("blocker/sub"));
    Run();
    EXPECT_EQ(ReadAll(Medium("Docs/2024/a")), "1");
    const std::vector<wxString> messages = events.Texts(TE_MESSAGE);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "Failed to create folder: " + Medium("blocker/sub"));
    EXPECT_EQ(EndResult(), RUN_FINISHED);
}

// ---- log-only runs -------------------------------------------------------------------------

TEST_F(swxCopyTest, LogOnlyRunChangesNothingButTheMediumFolder)
{
    StationFile("copy", "1");
    StationFile("move", "2");
    StationFile("large", std::string(50, 'l'));
    MediumFile("del", "3");
    MediumFile("large-del", std::string(50, 'd'));
    dir.MakeDir("station/empty");
    soRemoveEmptyFolders = true;
    const auto stationBefore = Snapshot(Station());
    const auto mediumBefore = Snapshot(Medium());

    FolderJob& folder = Folder(Project(SD_COPY_MDEL, 10, 1 << 20), Station(), Medium("new/"));
    Item(folder, FP_MKDIR, "", Medium("new/dir"), true);
    Item(folder, FP_DELETE, "", Medium("del"), true);
    Item(folder, FP_DELETE, "", Medium("large-del"), true);
    Transfer(folder, FP_COPY, "copy", true);
    Transfer(folder, FP_MOVE, "move", true);
    Transfer(folder, FP_COPY, "large", true);
    Transfer(folder, FP_MOVE, "large", true);
    Transfer(folder, FP_COPY, "copy", true).selected = false;
    Run(true);

    EXPECT_EQ(Snapshot(Station()), stationBefore);
    auto mediumAfter = Snapshot(Medium());
    EXPECT_EQ(mediumAfter.erase(ToUtf8(Medium("new"))), 1u);
    EXPECT_EQ(mediumAfter, mediumBefore);

    const wxString s = Station(), m = Medium();
    EXPECT_EQ(events.Texts(TE_LOG_ONLY_STEP),
              (std::vector<wxString>{
                  "Makedir: " + m + "new/dir", "Delete: " + m + "del",
                  "Delete (ignored): " + m + "large-del", "Copy: " + s + "copy => " + m + "copy",
                  "Move: " + s + "move => " + m + "move",
                  "Copy (ignored): " + s + "large => " + m + "large",
                  "Move (ignored): " + s + "large => " + m + "large",
                  "Cancelled by user: " + m + "copy"}));
    EXPECT_TRUE(events.Texts(TE_STEP).empty());
    EXPECT_EQ(Results(), (std::vector<std::string>{
                             "  result=\"ok\"", "  result=\"ok\"", "  result=\"wrong_size\"",
                             " result=\"ok\"", "  result=\"ok\"", " result=\"wrong_size\"",
                             " result=\"wrong_size\"", " result=\"ignored\""}));
    EXPECT_EQ(LogLines()[2], "<sync station=\"test-station\" date=\"T\" log_only=\"yes\">");
}

// ---- cancellation --------------------------------------------------------------------------

TEST_F(swxCopyTest, StopDuringItemsClosesFolderAndEndsCancelled)
{
    StationFile("a", "1");
    StationFile("b", "2");
    ProjectJob& project = Project(SD_COPY);
    FolderJob& first = Folder(project, Station(), Medium());
    Transfer(first, FP_COPY, "a", true);
    Transfer(first, FP_COPY, "b", true);
    Folder(project, Station(), Medium("second"));
    Project(SD_COPY, 0, 0, "Later");
    // Checks: project, folder, item a, item b (stop here).
    StoppingCopy copy(&events, &jobs, logPath, 4);
    Run(copy);

    EXPECT_TRUE(Exists(Medium("a")));
    EXPECT_FALSE(Exists(Medium("b")));
    EXPECT_FALSE(Exists(Medium("second")));
    EXPECT_EQ(EndResult(), RUN_CANCELLED);
    const std::vector<std::string> lines = LogLines();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 6, lines.end()),
              (std::vector<std::string>{"      </actions>", "      <rmdir>", "      </rmdir>",
                                        "    </folder>", "  </project>", "</sync>"}));
    EXPECT_EQ(Results().size(), 1u);
}

TEST_F(swxCopyTest, StopBeforeStartRunsNoProject)
{
    Folder(SD_COPY);
    swxCopy copy(&events, &jobs, false, logPath);
    Run(copy, [&] { copy.Stop(); });
    EXPECT_EQ(events.Codes(), (std::vector<int>{TE_MESSAGE, TE_COPY_END}));
    EXPECT_EQ(EndResult(), RUN_CANCELLED);
    EXPECT_EQ(LogLines().size(), 4u);
}

TEST_F(swxCopyTest, LogIsCompleteWhenEndEventArrives)
{
    std::string logAtEnd;
    events.Bind(wxEVT_MENU, [&](wxCommandEvent& e) {
        if (e.GetInt() == TE_COPY_END)
            logAtEnd = ReadAll(logPath);
        e.Skip();
    }, ID_THREAD_EVENT);
    Folder(SD_COPY);
    Run();
    ASSERT_GE(logAtEnd.size(), 7u);
    EXPECT_EQ(logAtEnd.substr(logAtEnd.size() - 7), "</sync>");
}

// ---- empty directories ---------------------------------------------------------------------

class swxCopyCleaningTest : public swxCopyTest {
protected:
    void SetUp() override
    {
        swxCopyTest::SetUp();
        soRemoveEmptyFolders = true;
        for (const wxString side : {"station/", "medium/"}) {
            dir.MakeDir(side + "a/b");
            dir.MakeDir(side + "c");
            dir.Write(side + "full/.hidden", "x");
        }
    }

    int Posted(const wxString& message) const
    {
        const std::vector<wxString> texts = events.Texts(TE_MESSAGE);
        return static_cast<int>(std::count(texts.begin(), texts.end(), message));
    }
    bool LoggedRemoval(const wxString& path, const std::string& result) const
    {
        const std::vector<std::string> lines = LogLines();
        const std::string line =
            "        <item dir=\"" + ToUtf8(path) + "\" result=\"" + result + "\"/>";
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

// A linked directory is neither followed nor removed.
TEST_F(swxCopyCleaningTest, CopyToMediumCleansMediumOnly)
{
    const wxString outside = dir.MakeDir("outside/empty");
    ASSERT_EQ(symlink(ToUtf8(dir / "outside").c_str(), ToUtf8(Medium("link")).c_str()), 0);
    Folder(SD_COPY);
    Run();
    EXPECT_FALSE(Exists(Medium("a")));
    EXPECT_FALSE(Exists(Medium("c")));
    EXPECT_TRUE(Exists(Medium("full/.hidden")));
    EXPECT_TRUE(Exists(Station("a/b")));
    EXPECT_TRUE(Exists(outside));
    EXPECT_TRUE(Exists(Medium("link")));
    EXPECT_EQ(Posted("Removed empty dir: " + Medium("a/b")), 1);
    EXPECT_TRUE(LoggedRemoval(Medium("a/b"), "ok"));
}

TEST_F(swxCopyCleaningTest, CopyToStationCleansStationOnly)
{
    Folder(DS_COPY_DEL);
    Run();
    EXPECT_FALSE(Exists(Station("a")));
    EXPECT_TRUE(Exists(Medium("a/b")));
    EXPECT_TRUE(Exists(Station("full")));
}

TEST_F(swxCopyCleaningTest, MoveToMediumCleansBothAndEmptiedFolderRoot)
{
    const wxString root = dir.MakeDir("moved/");
    dir.Write("moved/d/e/file", "1");
    dir.MakeDir("medium/d/e");
    FolderJob& folder = Folder(Project(SD_COPY_M), root, Medium());
    Item(folder, FP_MOVE, root + "d/e/file", Medium("d/e/file"), true);
    Run();
    EXPECT_EQ(ReadAll(Medium("d/e/file")), "1");
    EXPECT_FALSE(Exists(root));
    EXPECT_FALSE(Exists(Medium("a")));
    // Medium first, then the station, each depth first.
    const std::vector<wxString> removed = events.Texts(TE_MESSAGE);
    const auto at = [&](const wxString& path) {
        return std::find(removed.begin(), removed.end(), "Removed empty dir: " + path)
               - removed.begin();
    };
    EXPECT_LT(at(Medium("a/b")), at(Medium("a")));
    EXPECT_LT(at(Medium("a")), at(root + "d/e"));
    EXPECT_LT(at(root + "d/e"), at(root + "d"));
    EXPECT_LT(at(root + "d"), at(root));
    EXPECT_LT(at(root), static_cast<long>(removed.size()));
}

TEST_F(swxCopyCleaningTest, DirectoryThatCannotBeRemovedIsLoggedAsFailure)
{
    Folder(SD_COPY);
    const Immutable locked(Medium("a"));
    if (!locked.Ok())
        GTEST_SKIP() << "the file system has no immutable attribute";
    Run();
    EXPECT_TRUE(Exists(Medium("a/b")));
    EXPECT_TRUE(LoggedRemoval(Medium("a/b"), "fail"));
    EXPECT_GE(Posted("Failed to remove empty dir: " + Medium("a/b")), 1);
    EXPECT_FALSE(Exists(Medium("c")));
}

TEST_F(swxCopyCleaningTest, OptionOffRemovesNothing)
{
    soRemoveEmptyFolders = false;
    Folder(SD_COPY_DS);
    Run();
    EXPECT_TRUE(Exists(Medium("a/b")));
    EXPECT_TRUE(Exists(Station("a/b")));
}

} // namespace
