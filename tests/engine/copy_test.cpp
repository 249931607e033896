#include "engine/copy.h"

#include <fcntl.h>
#include <sys/inotify.h>

#include <chrono>
#include <cstdarg>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <regex>

#include "engine/analyze.h"
#include "engine/root_check.h"
#include "store/bzip2.h"
#include "store/catalog.h"
#include "store/options.h"
#include "tests/engine/engine_test_support.h"
#include "tests/support/fake_drives.h"

namespace {

namespace fs = std::filesystem;

const FileTime kOldTime = FileTimeFromUnix(1600000000);
constexpr std::int64_t kMiB = 1 << 20;

// The removals and flushes of a run, in order, while tracing ("unlink PATH", "syncfs DIR/");
// the pool's workers remove files too.
std::atomic<bool> tracing{false};
std::mutex traceMutex;
std::vector<std::string> trace;
void Trace(const char* call, const std::string& path)
{
    if (!tracing)
        return;
    const std::lock_guard lock(traceMutex);
    trace.push_back(std::string(call) + " " + path);
}

// While set, the next flush runs it first (on the flushing thread) and clears it.
std::function<void()> beforeFlush;

// While set, the next temporary file or directory made runs it first (on the making thread) and
// clears it.
std::function<void()> beforeCreate;
void BeforeMaking()
{
    if (beforeCreate)
        std::exchange(beforeCreate, nullptr)();
}

// While set, statx gives only the mount IDs that the kernel reuses, as older kernels do.
#ifndef STATX_MNT_ID_UNIQUE
constexpr unsigned STATX_MNT_ID_UNIQUE = 0x4000U;
#endif
std::atomic<bool> reusableMountIds{false};

// The names made in a directory (temporary ones as "<tmp>") from Start on, also those that
// went again.
class Creations {
public:
    ~Creations()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    void Start(const wxString& dir)
    {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(inotify_add_watch(fd_, ToUtf8(dir).c_str(), IN_CREATE | IN_MOVED_TO), 0);
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        alignas(inotify_event) char buffer[8192];
        for (ssize_t n; fd_ >= 0 && (n = read(fd_, buffer, sizeof buffer)) > 0;)
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                const std::string name = event->len ? event->name : "";
                if (event->mask & (IN_CREATE | IN_MOVED_TO))
                    names.push_back(IsTemporaryName(FromUtf8(name)) ? "<tmp>" : name);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        return names;
    }

private:
    int fd_ = -1;
};

// Contents as the trees below show them: TestBytes(N) as "*N", other long ones by size.
std::string Shown(const std::string& content)
{
    if (content.size() <= 40)
        return content;
    return (content == TestBytes(content.size()) ? "*" : "#") + std::to_string(content.size());
}

// A station tree "s/", a medium tree "m/" (on another file system when asked) and a tree "o/"
// outside both, made from and shown as texts: "s/d/" a directory, "s/a=text" a file with
// kOldTime, "=text@+5" five seconds newer, "=*N" TestBytes(N), "=~text" the text compressed,
// "s/l->../o/x" a symbolic link, "m/d/<tmp>" a temporary file that a killed run left behind.
class Trees {
public:
    explicit Trees(const wxString& mediumBase = wxString())
        : station(dir.MakeDir("s/")), outside(dir / "o/"),
          medium((mediumBase.empty() ? dir.Path() : mediumBase) + "m/")
    {
        fs::create_directories(ToUtf8(medium));
    }

    wxString Path(const std::string& spec) const
    {
        const wxString& root = spec[0] == 's' ? station : spec[0] == 'm' ? medium : outside;
        return root + FromUtf8(spec.substr(2));
    }

    void Make(const std::vector<std::string>& specs) const
    {
        for (const std::string& spec : specs) {
            const auto arrow = spec.find("->"), equals = spec.find('='), at = spec.find("@+");
            const wxString path = Path(spec.substr(0, std::min(arrow, equals)));
            fs::create_directories(fs::path(ToUtf8(path)).parent_path());
            if (arrow != std::string::npos)
                ASSERT_EQ(symlink(spec.substr(arrow + 2).c_str(), ToUtf8(path).c_str()), 0);
            else if (spec.ends_with("<tmp>"))
                LeaveTemporary(path);
            else if (equals == std::string::npos)
                fs::create_directories(ToUtf8(path));
            if (equals == std::string::npos)
                continue;
            std::string content = spec.substr(equals + 1, at - equals - 1);
            const bool packed = content.starts_with("~");
            content.erase(0, packed ? 1 : 0);
            content = content.starts_with("*") ? TestBytes(std::stoul(content.substr(1))) : content;
            const wxString written = packed ? dir / "plain" : path;
            ASSERT_TRUE(WriteBinaryFile(written, content.data(), content.size()));
            ASSERT_TRUE(!packed || CompressFileBz2(dir / "plain", path));
            const int age = at == std::string::npos ? 0 : std::stoi(spec.substr(at + 2));
            ASSERT_TRUE(SetFileModTime(path, kOldTime + FileTime(age) * 10000000));
        }
    }

    // Sorted; a directory shows only when it is empty (its entries show it otherwise).
    std::vector<std::string> Snapshot() const
    {
        std::vector<std::string> shown;
        for (const auto& [prefix, root] :
             {std::pair{"s/", station}, {"m/", medium}, {"o/", outside}}) {
            std::error_code ec;
            for (const auto& e : fs::recursive_directory_iterator(ToUtf8(root), ec)) {
                const wxString path = FromUtf8(e.path().string());
                std::string text = prefix + e.path().lexically_relative(ToUtf8(root)).string();
                FileTime time = 0;
                if (IsTemporaryName(path.AfterLast('/')))
                    text = text.substr(0, text.rfind('/') + 1) + "<tmp>";
                else if (e.is_symlink())
                    text += "->" + fs::read_symlink(e.path()).string();
                else if (e.is_directory())
                    text += "/";
                else if (GetFileModTime(path, time)) {
                    const wxString out = dir / "out";
                    const bool packed =
                        path.Lower().EndsWith(".bz2") && DecompressFileBz2(path, out);
                    // compressed with the options as they were when the run was made
                    EXPECT_FALSE(packed && ReadAll(path).starts_with("BZh9"));
                    text += "=" + (packed ? "~" + Shown(ReadAll(out)) : Shown(ReadAll(path)));
                    const auto age = (std::int64_t(time) - std::int64_t(kOldTime)) / 10000000;
                    text += time == kOldTime ? "" : "@+" + std::to_string(age);
                }
                shown.push_back(text);
            }
        }
        std::ranges::sort(shown);
        std::vector<std::string> leaves;
        for (std::size_t i = 0; i < shown.size(); ++i)
            if (!shown[i].ends_with('/') || i + 1 == shown.size()
                || !shown[i + 1].starts_with(shown[i]))
                leaves.push_back(shown[i]);
        return leaves;
    }

    // A message with the roots written "s/" and "m/" and temporary names "<tmp>".
    std::string Relative(wxString text) const
    {
        text.Replace(station, "s/");
        text.Replace(medium, "m/");
        wxString shown;
        for (const wxString& part : wxSplit(text, '/', '\0'))
            shown += (shown.empty() ? "" : "/") + (IsTemporaryName(part) ? "<tmp>" : part);
        return ToUtf8(shown);
    }

    TempDir dir;
    const wxString station, outside, medium;
};

// One copy run over a job tree, its events and its log (every log must parse as XML).
struct CopyRun {
    JobTree jobs;
    EventSink events;
    wxString log;

    explicit CopyRun(const wxString& logPath) : log(logPath) {}
    FolderJob& Folder(int mode, const wxString& station, const wxString& medium,
                      std::int64_t limit = 0, std::int64_t compress = 0)
    {
        ProjectJob& project = *jobs.emplace_back(std::make_unique<ProjectJob>());
        std::tie(project.caption, project.mode, project.ignoreSizeOver, project.compressBelow) =
            std::tuple("Work", mode, limit, compress);
        FolderJob& folder = *project.folders.emplace_back(std::make_unique<FolderJob>());
        std::tie(folder.stationPath, folder.mediumPath) = std::tie(station, medium);
        return folder;
    }
    // "copy s/a" (station to medium), "move m/a", "del m/a", "mkdir s/d", "bad m/a" (an unknown
    // action); a leading "-" leaves the item unselected.
    static void Add(FolderJob& folder, const Trees& trees, std::string spec)
    {
        auto item = std::make_unique<SyncItem>();
        item->selected = !spec.starts_with("-");
        spec.erase(0, item->selected ? 0 : 1);
        const std::string verb = spec.substr(0, spec.find(' '));
        const std::string where = spec.substr(verb.size() + 1);
        const std::map<std::string, int> actions = {
            {"copy", FP_COPY}, {"move", FP_MOVE}, {"del", FP_DELETE}, {"mkdir", FP_MKDIR}};
        item->action = actions.contains(verb) ? actions.at(verb) : 7;
        item->targetOnMedium = where[0] == 'm';
        item->target = trees.Path(where);
        if (item->action == FP_COPY || item->action == FP_MOVE) {
            item->targetOnMedium = !item->targetOnMedium;
            item->source = item->target;
            item->target = trees.Path((where[0] == 's' ? "m" : "s") + where.substr(1));
            if (!GetFileModTime(item->source, item->sourceTime))
                GetFileModTime(item->source + ".bz2", item->sourceTime);
        }
        folder.items.push_back(std::move(item));
    }

    // Plans the items as a run does: an analysis of the trees, every file taken.
    void Analyse()
    {
        for (const auto& project : jobs)
            for (const auto& folder : project->folders)
                folder->rules.push_back(std::make_unique<FolderRule>(FolderRule{"*", true}));
        swxAnalyze analysis(nullptr, &jobs);
        ASSERT_EQ(analysis.Create(), wxTHREAD_NO_ERROR);
        ASSERT_EQ(analysis.Run(), wxTHREAD_NO_ERROR);
        analysis.Wait();
    }

    void Go(swxCopy& copy)
    {
        ASSERT_EQ(copy.Create(), wxTHREAD_NO_ERROR);
        ASSERT_EQ(copy.Run(), wxTHREAD_NO_ERROR);
        copy.Wait();
        events.Pump();
        EXPECT_TRUE(ParsesAsXml(log)) << ReadAll(log);
    }
    long End() const
    {
        return events.events.empty() || events.events.back().code != TE_COPY_END
                   ? -1 : events.events.back().value;
    }
    // The log's lines with every local time made "T".
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines = SplitCrLf(ReadAll(log));
        for (std::string& line : lines)
            for (const std::string key : {" date=\"", " time=\"", " now=\""})
                if (const auto at = line.find(key); at != std::string::npos)
                    line.replace(at + key.size(), 19, "T");
        return lines;
    }
    // The attributes of each item line between its opening and its end.
    std::vector<std::string> Results() const
    {
        static const std::regex item(
            "        <item .* action=\"[A-Z_]*\"(?: ftime=\"[^\"]*\")?(.*) now=\"T\"/>");
        std::vector<std::string> results;
        std::smatch match;
        for (const std::string& line : Lines())
            if (std::regex_match(line, match, item))
                results.push_back(match[1]);
        return results;
    }
    // Code-0 messages but the start and the banners, and the steps of a log-only run.
    std::vector<std::string> Messages(const Trees& trees) const
    {
        std::vector<std::string> shown;
        for (const auto& e : events.events)
            if (e.code == TE_LOG_ONLY_STEP || (e.code == TE_MESSAGE && !e.text.StartsWith("\n***")
                                               && e.text != "Starting synchronization"))
                shown.push_back(trees.Relative(e.text));
        return shown;
    }
};

// One folder of items, carried out in a real run unless logOnly.
struct Row {
    const char* name;
    int mode = SD_COPY;
    std::int64_t limit = 0, compress = 0;
    std::vector<std::string> before = {}, items = {}, after = {}, results = {}, messages = {};
    long end = RUN_FINISHED;
    bool acrossToo = false;
    bool planned = false;  // the items planned by an analysis of the trees instead
    std::vector<wxString> masks = {};
    rlim_t fileSizeLimit = RLIM_INFINITY;
    const char* locked = nullptr;
    Fault fault = Fault::none;
    bool clean = false;  // soRemoveEmptyFolders
    bool logOnly = false;
    const char* folder = "";        // the folder's place in both trees
    int stopAt = 0;                 // the event right after which the run sees a Stop ...
    bool throws = false;            // ... or a lack of memory
    bool stopWithin = false;        // Stop within the file being written, ending the run at once
    // The medium tree a simulated drive whose roots are recorded, then "kept", "swapped" (its
    // folder), "pulled" (unmounted), "remounted", "other marker" or "swapped alike" (mounted
    // anew at stopAt); or a tmpfs then "tmpfs swapped" for another one with the same files,
    // "tmpfs pulled" at stopAt, "tmpfs pulled while copying" (within the first file) or "tmpfs
    // pulled as made" (right before the first temporary file or directory is created), or
    // "tmpfs swapped alike" at stopAt (its file system mounted anew: same device and inode).
    std::string drive = "";
    bool reusableMountIds = false;  // the kernel's mount IDs are those it reuses
    std::vector<std::string> trace = {};  // when given, the run's removals and flushes
    std::vector<std::string> atFlush = {};  // made right before the run's first flush
};

constexpr char kGuid[] = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";
const std::string kMarker = "m/dralvo.txt=" + std::string(kGuid);
const std::string kOtherMarker = "m/dralvo.txt=11111111-2222-3333-4444-555555555555";

void RunRow(const Row& row, const wxString& mediumBase = wxString())
{
    SCOPED_TRACE(row.name);
    stationName = "test-station";
    soRemoveEmptyFolders = row.clean;
    const Trees trees(mediumBase);
    std::optional<TestMount> stick, spare;
    if (row.drive.starts_with("tmpfs") && !stick.emplace(trees.medium).Refused().empty())
        GTEST_SKIP() << stick->Refused();
    const wxString spareDir = trees.dir / "spare";  // keeps the stick's file system for a swap
    if (row.drive == "tmpfs swapped alike") {
        ASSERT_EQ(spare.emplace(trees.dir.MakeDir("spare"), trees.medium).Refused(), "");
    }
    trees.Make(row.before);
    CopyRun run(trees.dir / "log.xml");
    FolderJob& folder = run.Folder(row.mode, trees.station + row.folder, trees.medium + row.folder,
                                   row.limit, row.compress);
    for (const std::string& item : row.items)
        CopyRun::Add(folder, trees, item);
    if (row.planned)
        run.Analyse();
    std::optional<FakeDrives> drives;
    FakeDrive fake;
    fake.mountDir = "m";
    if (!row.drive.empty()) {
        folder.mediumDriveRoot = stick ? trees.medium : drives.emplace(trees.dir).Add(fake);
        folder.mediumGuid = kGuid;
        reusableMountIds = row.reusableMountIds;
        RecordRootIdentities(folder);
    }
    if (row.drive == "tmpfs swapped") {
        stick.emplace(trees.medium);
        trees.Make(row.before);
    }
    if (row.drive == "remounted")
        drives->Add(fake);
    if (row.drive == "other marker")
        trees.Make({kOtherMarker});
    if (row.drive == "swapped") {
        fs::rename(ToUtf8(trees.medium + "W"), ToUtf8(trees.medium + "Old"));
        fs::create_directories(ToUtf8(folder.mediumPath));
    }
    if (row.drive == "pulled")
        drives.reset();
    // The options the run is made with hold however the options window changes them meanwhile.
    soBzQuality = 1;
    swxCopy copy(&run.events, &run.jobs, row.logOnly, run.log);
    std::tie(soBzQuality, soRemoveEmptyFolders) = std::tuple(9, !row.clean);
    using Clock = std::chrono::steady_clock;
    std::atomic<bool> ended{false};
    Clock::time_point stopped{}, endedAt{};
    const auto stop = [&] { stopped = Clock::now(), copy.Stop(); };
    Creations made;  // in the bare mount directory of a pulled stick
    const auto pull = [&] {
        stick->Unmount();
        made.Start(trees.medium);
    };
    run.events.onPost = [&, n = 0](const wxCommandEvent& e) mutable {
        if (++n == row.stopAt && row.throws)
            throw std::bad_alloc();
        if (n == row.stopAt && row.drive == "swapped alike")
            drives->Add(fake);
        else if (n == row.stopAt && row.drive == "tmpfs swapped alike")
            stick->Unmount(), stick.emplace(trees.medium, spareDir);
        else if (n == row.stopAt)
            stick ? pull() : copy.Stop();
        if (e.GetInt() == TE_COPY_END)
            endedAt = Clock::now(), ended = true;
    };
    // Within a kernel copy, Stop comes from inside it; else once the temporary file shows.
    if (row.stopWithin && row.mode == SD_COPY_MDEL)
        duringKernelCopy = stop;
    if (row.drive == "tmpfs pulled while copying")
        duringKernelCopy = [&, pulled = false]() mutable {
            if (!std::exchange(pulled, true))
                pull();
        };
    if (row.drive == "tmpfs pulled as made")
        beforeCreate = pull;
    std::thread watcher;
    if (row.stopWithin && row.mode != SD_COPY_MDEL)
        watcher = std::thread([&, deadline = Clock::now() + std::chrono::seconds(30)] {
            while (!ended && TemporariesUnder(trees.station) + TemporariesUnder(trees.medium) == 0
                   && Clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            stop();
        });
    for (const wxString& mask : row.masks)
        copy.AddIncompressibleMask(mask);
    const std::string locked = row.locked ? ToUtf8(trees.Path(row.locked)) : "";
    if (row.locked)  // nothing in it can be made or removed
        fs::permissions(locked, fs::perms::owner_write, fs::perm_options::remove);
    {
        const FileSizeLimit limit(row.fileSizeLimit);
        injectedFault = row.fault;
        if (!row.atFlush.empty())
            beforeFlush = [&] { trees.Make(row.atFlush); };
        trace.clear(), tracing = true;
        WithPermissionsEnforced([&] { run.Go(copy); });
        tracing = false, injectedFault = Fault::none, duringKernelCopy = nullptr;
        beforeFlush = nullptr, beforeCreate = nullptr;
        reusableMountIds = false;
        std::tie(soBzQuality, soRemoveEmptyFolders) = std::tuple(3, false);
    }
    if (watcher.joinable())
        watcher.join();
    EXPECT_TRUE(!row.stopWithin || endedAt - stopped < std::chrono::seconds(2));
    if (row.locked)
        fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(trees.Snapshot(), row.after);
    EXPECT_EQ(run.Results(), row.results);
    EXPECT_EQ(run.Messages(trees), row.messages);
    EXPECT_EQ(run.End(), row.end);
    EXPECT_EQ(run.events.Count(row.logOnly ? TE_LOG_ONLY_STEP : TE_STEP), int(row.results.size()));
    std::vector<std::string> traced;
    for (const std::string& call : trace)
        traced.push_back(trees.Relative(FromUtf8(call)));
    EXPECT_TRUE(row.trace.empty() || traced == row.trace) << testing::PrintToString(traced);
    EXPECT_EQ(made.Names(), std::vector<std::string>()) << "made where the pulled stick was";
    EXPECT_TRUE(row.drive.empty() || fs::is_directory(ToUtf8(trees.medium)));
}

const std::string kLinkMessage = "Not done, the path leads through a symbolic link: ";
const std::string kRoots = "Nothing done in the folder s/W/D/ (m/W/D/ on medium): ";
const std::string kSwapped = kRoots + "The folder m/W/D/ changed or vanished after the analysis.";
const std::string kCounterpartMessage = "Not removed, its counterpart is missing or older: ";
const std::string cp = " result=\"cp\"", cp2 = "  result=\"cp\"", bz = " result=\"bz\"";
const std::string ok = " result=\"ok\"", ok2 = "  result=\"ok\"", error = " result=\"error\"";
const std::string cpError = " result=\"cp_error\"",
                  wrongSize = " result=\"wrong_size\"", ignored = " result=\"ignored\"";
// n texts made from i = 0 .. n-1, sorted as a snapshot lists them.
std::vector<std::string> Many(int n, const std::function<std::string(std::string)>& text)
{
    std::vector<std::string> texts;
    for (int i = 0; i < n; ++i)
        texts.push_back(text(std::to_string(i)));
    std::ranges::sort(texts);
    return texts;
}

// With ".bz2" one byte past the longest name a directory takes, and just within it.
const std::string kLongName(252, 'n'), kFittingName(251, 'f');
const Row kItemRows[] = {
    {.name = "compression up to and including the limit", .compress = 1000,
     .before = {"s/e=", "s/x=*1000", "s/y=*1001"}, .items = {"copy s/e", "copy s/x", "copy s/y"},
     .after = {"m/e.bz2=~", "m/x.bz2=~*1000", "m/y=*1001", "s/e=", "s/x=*1000", "s/y=*1001"},
     .results = {bz, bz, cp}, .acrossToo = true},
    {.name = "masks ignore case and separators; a station file named .bz2 goes as it is",
     .compress = kMiB, .before = {"s/P.ZIP=1", "s/n=2", "s/raw/a=3", "m/raw/", "s/old.bz2=*300"},
     .items = {"copy s/P.ZIP", "copy s/n", "copy s/raw/a", "copy s/old"},
     .after = {"m/P.ZIP=1", "m/n.bz2=~2", "m/old=*300", "m/raw/a=3", "s/P.ZIP=1", "s/n=2",
               "s/old.bz2=*300", "s/raw/a=3"}, .results = {cp, bz, cp, cp},
     .masks = {"*.Zip", "*\\RAW\\*"}},
    {.name = "copies back are decompressed; the station keeps its own .bz2 file", .mode = DS_COPY,
     .before = {"m/a.bz2=~packed", "m/b=plain", "s/logs.bz2=mine", "m/logs=new@+100"},
     .items = {"copy m/a", "copy m/b", "copy m/logs"},
     .after = {"m/a.bz2=~packed", "m/b=plain", "m/logs=new@+100", "s/a=packed", "s/b=plain",
               "s/logs.bz2=mine", "s/logs=new@+100"}, .results = {"  result=\"unbz\"", cp2, cp2},
     .acrossToo = true},
    {.name = "moves and deletions back: a damaged or unjustified one keeps its files",
     .mode = DS_COPY_M, .before = {"m/a.bz2=~packed", "s/d=previous", "m/d.bz2=BZh5 junk",
                                   "m/e.bz2=~1", "s/e.bz2=1", "m/b=1"},
     .items = {"move m/a", "move m/d", "del m/e", "del m/b"},
     .after = {"m/b=1", "m/d.bz2=BZh5 junk", "s/a=packed", "s/d=previous", "s/e.bz2=1"},
     .results = {"  result=\"unbz\"  remove=\"source\"", " result=\"unbz_error\"", "", error},
     .messages = {"Not copied: m/d: Bad message", kCounterpartMessage + "m/b"}, .end = 1,
     .trace = {"unlink s/<tmp>", "unlink s/<tmp>", "unlink m/e.bz2", "syncfs s/", "unlink m/a.bz2",
               "syncfs m/"}},
    {.name = "an other form that cannot go stops the copy", .compress = 1000,
     .before = {"s/g=*2000", "m/g.bz2/"}, .items = {"copy s/g"}, .after = {"m/g.bz2/", "s/g=*2000"},
     .results = {cpError}, .messages = {"Not copied: s/g: Is a directory"}, .end = 1},
    {.name = "deletions take either form; unselected and unknown items are not performed",
     .mode = SD_COPY_DEL, .before = {"m/p=1", "m/q.bz2=~2", "s/a=1", "m/b=2"},
     .items = {"del m/p", "del m/q", "-copy s/a", "-del m/b", "bad m/b"},
     .after = {"m/b=2", "s/a=1"}, .results = {"", "", ignored, ignored, ""}},
    // Planned by an analysis, which pairs a ".bz2" in any case with the plain name: the file
    // found is the one deleted, replaced (in place when compressed) or copied back.
    {.name = "a capital .BZ2", .mode = SD_COPY_DEL, .compress = kMiB,
     .before = {"m/UP.BZ2=~gone", "m/d/A.BZ2=~old", "s/d/A=new@+100", "s/d/e/own.BZ2=mine"},
     .after = {"m/d/A.BZ2=~new@+100", "m/d/e/own=mine", "s/d/A=new@+100", "s/d/e/own.BZ2=mine"},
     .results = {ok, "", cp, bz}, .planned = true},
    {.name = "a capital .Bz2", .mode = SD_COPY_DS, .compress = 1000,
     .before = {"m/a/back.Bz2=~back@+100", "s/a/back=old", "m/a/b/up.Bz2=~old",
                "s/a/b/up=*2000@+100"},
     .after = {"m/a/b/up=*2000@+100", "m/a/back.Bz2=~back@+100", "s/a/b/up=*2000@+100",
               "s/a/back=back@+100"},
     .results = {cp, "  result=\"unbz\""}, .planned = true},
    {.name = "a capital .BZ2 counterpart", .mode = SD_COPY_M,
     .before = {"s/same=1", "m/same.BZ2=~1"},
     .after = {"m/same.BZ2=~1"}, .results = {""}, .planned = true},
    {.name = "a new name goes into the folder there of other case",
     .before = {"s/docs/new/a.txt=1", "m/Docs/"},
     .after = {"m/Docs/new/a.txt=1", "s/docs/new/a.txt=1"},
     .results = {ok, cp}, .planned = true},
    {.name = "directories are made with their parents; a failed item fails alone",
     .before = {"m/f=x", "s/b=2"},
     .items = {"mkdir m/a/b", "mkdir m/f/d", "copy s/gone", "copy s/b"},
     .after = {"m/a/b/", "m/b=2", "m/f=x", "s/b=2"}, .results = {ok, error, cpError, cp},
     .messages = {"Directory not made: m/f/d: Not a directory",
                  "Not copied: s/gone: No such file or directory"}, .end = 1},
    {.name = "the size limit leaves larger files alone", .mode = SD_COPY_MDEL, .limit = 100,
     .before = {"s/small=*100", "s/large=*101", "m/gone=*100", "m/kept.bz2=*101"},
     .items = {"copy s/small", "copy s/large", "move s/large", "del m/gone", "del m/kept"},
     .after = {"m/kept.bz2=*101", "m/small=*100", "s/large=*101", "s/small=*100"},
     .results = {cp, wrongSize, wrongSize, "", ignored}},
    {.name = "a write failing half way keeps the previous targets", .mode = SD_COPY_M,
     .compress = 2 * kMiB,
     .before = {"s/big=*1048576", "s/packed=*1048577", "m/big=previous", "m/packed.bz2=~previous"},
     .items = {"move s/big", "move s/packed"},
     .after = {"m/big=previous", "m/packed.bz2=~previous", "s/big=*1048576", "s/packed=*1048577"},
     .results = {cpError, " result=\"bz_error\""},
     .messages = {"Not copied: s/big: File too large", "Not copied: s/packed: File too large"},
     .end = 1, .acrossToo = true, .masks = {"*big"}, .fileSizeLimit = 64 * 1024},
    {.name = "a time that cannot be set fails the item", .mode = SD_COPY_DS, .compress = 10,
     .before = {"s/a=more than ten", "s/b=1", "m/c.bz2=~3"},
     .items = {"copy s/a", "copy s/b", "copy m/c"},
     .after = {"m/c.bz2=~3", "s/a=more than ten", "s/b=1"},
     .results = {cpError, " result=\"bz_error\"", " result=\"unbz_error\""},
     .messages = {"Not copied: s/a: Input/output error", "Not copied: s/b: Input/output error",
                  "Not copied: m/c: Input/output error"}, .end = 1, .fault = Fault::timeNotSet},
    // A source goes only after a flush has put its copy on the device.
    {.name = "a flush that fails keeps the sources", .mode = SD_COPY_M, .before = {"s/a=1"},
     .items = {"move s/a"}, .after = {"m/a=1", "s/a=1"}, .results = {cp + "  remove=\"error\""},
     .messages = {"Not removed, its copy could not be flushed to the device: s/a: Input/output "
                  "error", "The medium could not be flushed: m/: Input/output error"}, .end = 1,
     .fault = Fault::flushFails},
    {.name = "a copy older than its source at the flush keeps the source", .mode = SD_COPY_M,
     .before = {"s/a=1@+5"}, .items = {"move s/a"}, .after = {"m/a=stale", "s/a=1@+5"},
     .results = {cp + "  remove=\"error\""}, .messages = {kCounterpartMessage + "s/a"}, .end = 1,
     .atFlush = {"m/a=stale"}},
    {.name = "a name too long for .bz2 goes plain", .compress = 100,
     .before = {"s/" + kLongName + "=1"}, .items = {"copy s/" + kLongName},
     .after = {"m/" + kLongName + "=1", "s/" + kLongName + "=1"}, .results = {cp},
     .messages = {"Copied uncompressed, the name is too long for its compressed form: s/"
                  + kLongName}},
    {.name = "a name that takes .bz2 up to the limit is compressed", .compress = 100,
     .before = {"s/" + kFittingName + "=1"}, .items = {"copy s/" + kFittingName},
     .after = {"m/" + kFittingName + ".bz2=~1", "s/" + kFittingName + "=1"}, .results = {bz}},
    {.name = "nothing is done through a symbolic link", .mode = SD_COPY_DS,
     .before = {"o/p/keep=1", "s/p->../o/p", "m/p/a=new"},
     .items = {"mkdir s/p", "copy m/p/a", "del s/p/keep", "move s/p/keep"},
     .after = {"m/p/a=new", "o/p/keep=1", "s/p->../o/p"},
     .results = {error, cpError, error, cpError},
     .messages = {kLinkMessage + "s/p", kLinkMessage + "s/p/a", kLinkMessage + "s/p/keep",
                  kLinkMessage + "m/p/keep"}, .end = 1},
    {.name = "a move mode deletes only beside an equal or newer counterpart", .mode = SD_COPY_MDEL,
     .before = {"s/gone=1", "s/older=1@+100", "m/older=1", "s/same=1", "m/same.bz2=~1", "m/prop=1"},
     .items = {"del s/gone", "del s/older", "del s/same", "del m/prop"},
     .after = {"m/older=1", "m/same.bz2=~1", "s/gone=1", "s/older=1@+100"},
     .results = {error, error, "", ""},
     .messages = {kCounterpartMessage + "s/gone", kCounterpartMessage + "s/older"}, .end = 1},
    {.name = "a counterpart reached through a link justifies no removal", .mode = SD_COPY_M,
     .before = {"s/a=1", "s/d/b=1", "o/a=1", "o/d/b=1", "m/a->../o/a", "m/d->../o/d"},
     .items = {"del s/a", "del s/d/b"},
     .after = {"m/a->../o/a", "m/d->../o/d", "o/a=1", "o/d/b=1", "s/a=1", "s/d/b=1"},
     .results = {error, error},
     .messages = {kCounterpartMessage + "s/a", kCounterpartMessage + "s/d/b"}, .end = 1},
    {.name = "a missing station folder is made with its parents", .mode = DS_COPY,
     .before = {"m/n/x/a=1", "m/n/x/d/"}, .items = {"mkdir s/n/x/d", "copy m/n/x/a"},
     .after = {"m/n/x/a=1", "m/n/x/d/", "s/n/x/a=1", "s/n/x/d/"}, .results = {ok, cp2},
     .folder = "n/x/"},
    {.name = "more files than the workers hold arrive in plan order", .compress = kMiB,
     .before = Many(40, [](auto i) { return "s/f" + i + "=" + i; }),
     .items = Many(40, [](auto i) { return "copy s/f" + i; }),
     .after = [] {
         auto all = Many(40, [](auto i) { return "m/f" + i + ".bz2=~" + i; });
         std::ranges::copy(Many(40, [](auto i) { return "s/f" + i + "=" + i; }),
                           std::back_inserter(all));
         return all;
     }(),
     .results = std::vector<std::string>(40, bz)},
    {.name = "more than a thousand moves settle their removals as they go", .mode = SD_COPY_M,
     .before = Many(1002, [](auto i) { return "s/f" + i + "=" + i; }),
     .items = Many(1002, [](auto i) { return "move s/f" + i; }),
     .after = Many(1002, [](auto i) { return "m/f" + i + "=" + i; }),
     .results = std::vector<std::string>(1002, cp + "  remove=\"source\""),
     .trace = [] {  // a flush and the removals after each thousand items, and at the end
         std::vector<std::string> calls;
         const auto removals = Many(1002, [](auto i) { return "unlink s/f" + i; });
         for (std::size_t n = 0; n < removals.size(); ++n) {
             if (n % 1000 == 0)
                 calls.push_back("syncfs m/");
             calls.push_back(removals[n]);
         }
         calls.push_back("syncfs m/");
         return calls;
     }()},
    {.name = "leftover temporaries go where the run writes",
     .before = {"s/d/a=1", "m/d/<tmp>", "m/e/<tmp>"}, .items = {"copy s/d/a"},
     .after = {"m/d/a=1", "m/e/<tmp>", "s/d/a=1"}, .results = {cp},
     .messages = {"Removed temporary file: m/d/<tmp>"}},
    // Stop within a large file, compressed, decompressed or copied in the kernel: its temporary
    // goes, target and source stay, and it is left undone (no log line, no step), as is the next.
    {.name = "stop within a file compressed", .mode = SD_COPY_M, .compress = kMiB << 10,
     .before = {"s/big=*4194304", "m/big=old", "s/next=1"}, .items = {"move s/big", "move s/next"},
     .after = {"m/big=old", "s/big=*4194304", "s/next=1"}, .end = RUN_CANCELLED, .acrossToo = true,
     .stopWithin = true},
    {.name = "stop within a file decompressed", .mode = DS_COPY_M,
     .before = {"m/big.bz2=~*4194304", "s/big=old", "m/next=1"},
     .items = {"move m/big", "move m/next"},
     .after = {"m/big.bz2=~*4194304", "m/next=1", "s/big=old"}, .end = RUN_CANCELLED,
     .acrossToo = true, .stopWithin = true},
    {.name = "stop within a file copied in the kernel", .mode = SD_COPY_MDEL,
     .before = {"s/big=*4194304", "m/big=old", "s/next=1"}, .items = {"move s/big", "move s/next"},
     .after = {"m/big=old", "s/big=*4194304", "s/next=1"}, .end = RUN_CANCELLED, .acrossToo = true,
     .stopWithin = true},
};

// The rows marked run with the medium on another file system as well, where there is one.
TEST(CopyItemTest, OneFolderOfItems)
{
    const OtherFileSystem other;
    std::cout << (other.Path().empty() ? "note: one file system: copies across it untested\n" : "");
    for (const Row& row : kItemRows) {
        RunRow(row);
        if (row.acrossToo && !other.Path().empty())
            RunRow(row, other.Path() + row.name + "/");
    }
}

// ---- whole runs ---------------------------------------------------------------------------------

// Control characters in names keep the log well-formed: every log the tests write is parsed.
TEST(CopyRunTest, EventsAndTheWholeLogOfARun)
{
    stationName = "test-station";
    const Trees trees;
    CopyRun run(trees.dir / "log.xml");
    std::string logAtEnd;  // complete by the time the end is posted
    run.events.onPost = [&](const wxCommandEvent& e) {
        logAtEnd = e.GetInt() == TE_COPY_END ? ReadAll(run.log) : logAtEnd;
    };
    trees.Make({"s/R&D <\"x\">\x01\t=data"});
    FolderJob& folder = run.Folder(SD_COPY, trees.station, trees.medium, 5, 0);
    run.jobs[0]->caption = "A&B";
    CopyRun::Add(folder, trees, "copy s/R&D <\"x\">\x01\t");
    CopyRun::Add(folder, trees, "mkdir m/new");
    soRemoveEmptyFolders = true;  // removes m/new again
    swxCopy copy(&run.events, &run.jobs, false, run.log);
    run.Go(copy);
    soRemoveEmptyFolders = false;

    EXPECT_EQ(run.events.Codes(), (std::vector<int>{TE_MESSAGE, TE_MESSAGE, TE_MESSAGE, TE_START,
                                                    TE_STEP, TE_STEP, TE_MESSAGE, TE_COPY_END}));
    const std::string stars(42, '*'), s = ToUtf8(trees.station), m = ToUtf8(trees.medium);
    EXPECT_EQ(run.events.Messages(), (std::vector<std::string>{
        "Starting synchronization", "\n" + stars + "\n Project A&B:\n" + stars,
        "\n" + stars + "\n Project A&B, folder " + s + " (" + m + " on medium)",
        "Removed empty dir: " + m + "new"}));
    EXPECT_EQ(run.events.events[3].value, 2);
    EXPECT_EQ(run.events.events[3].text, "2 entries to synchronize");
    EXPECT_EQ(run.End(), RUN_FINISHED);
    const std::string odd = "R&amp;D &lt;&quot;x&quot;>\xEF\xBF\xBD&#9;\"";
    EXPECT_EQ(run.Lines(), (std::vector<std::string>{
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
        "<?xml-stylesheet type=\"text/xsl\" href=\"log.xsl\"?>",
        "<sync station=\"test-station\" date=\"T\" log_only=\"no\">",
        "  <project action=\"SD_COPY\" caption=\"A&amp;B\" maxsize=\"5\" compressbelow=\"0\">",
        "    <folder source=\"" + s + "\" dest=\"" + m + "\" result=\"success\">",
        "      <actions count=\"2\" time=\"T\">",
        "        <item source=\"" + s + odd + " dest=\"" + m + odd +
            " action=\"FP_COPY\" ftime=\"" +
            ToUtf8(FormatFileTimeUtc(kOldTime)) + "\" result=\"cp\" now=\"T\"/>",
        "        <item dest=\"" + m + "new\" action=\"FP_MKDIR\" result=\"ok\" now=\"T\"/>",
        "      </actions>", "      <rmdir>", "        <item dir=\"" + m + "new\" result=\"ok\"/>",
        "      </rmdir>", "    </folder>", "  </project>", "</sync>"}));
    EXPECT_EQ(logAtEnd, ReadAll(run.log));
}

// Cleaning: depth first, medium before station by the mode; a directory with anything left in
// it is not tried, a linked one not followed. A log-only run changes nothing but a missing
// medium folder; a stopped run finishes its folder (cleaning included) and ends cancelled; an
// error ends the run with a complete log.
const Row kRunRows[] = {
    {.name = "copy to the medium",
     .before = {"m/a/b/", "m/full/.hidden=x", "m/l->../o/e", "o/e/", "s/a/"},
     .after = {"m/full/.hidden=x", "m/l->../o/e", "o/e/", "s/a/"},
     .messages = {"Removed empty dir: m/a/b", "Removed empty dir: m/a"}, .clean = true},
    {.name = "copy to the station", .mode = DS_COPY_DEL, .before = {"m/a/", "s/a/b/", "s/f=1"},
     .after = {"m/a/", "s/f=1"}, .messages = {"Removed empty dir: s/a/b", "Removed empty dir: s/a"},
     .clean = true},
    {.name = "a move empties the station folder", .mode = SD_COPY_M,
     .before = {"s/d/e/f=1", "m/d/e/", "m/x/"}, .items = {"move s/d/e/f"}, .after = {"m/d/e/f=1"},
     .results = {" result=\"cp\"  remove=\"source\""},
     .messages = {"Removed empty dir: m/x", "Removed empty dir: s/d/e", "Removed empty dir: s/d",
                  "Removed empty dir: s/"}, .clean = true,
     .trace = {"syncfs m/", "unlink s/d/e/f", "syncfs m/"}},
    {.name = "a directory that cannot go", .before = {"m/a/b/", "m/f=1"},
     .after = {"m/a/b/", "m/f=1"}, .messages = {"Failed to remove empty dir: m/a/b"},
     .locked = "m/a", .clean = true},
    {.name = "log only", .mode = SD_COPY_MDEL, .limit = 10, .compress = kMiB,
     .before = {"s/copy=1", "s/move=2", "s/large=*50", "s/empty/", "m/del=3", "m/big=*51",
                "m/d/<tmp>"},
     .items = {"mkdir m/new/dir", "del m/del", "del m/big", "copy s/copy", "move s/move",
               "copy s/large", "move s/large", "-copy s/copy"},
     .after = {"m/big=*51", "m/d/<tmp>", "m/del=3", "m/new/", "s/copy=1", "s/empty/", "s/large=*50",
               "s/move=2"},
     .results = {ok2, ok2, "  result=\"wrong_size\"", ok, ok2, wrongSize, wrongSize, ignored},
     .messages = {"Makedir: m/new/dir", "Delete: m/del", "Delete (ignored): m/big",
                  "Copy: s/copy => m/copy", "Move: s/move => m/move",
                  "Copy (ignored): s/large => m/large", "Move (ignored): s/large => m/large",
                  "Cancelled by user: m/copy"}, .clean = true, .logOnly = true, .folder = "new/"},
    {.name = "stop while files are being compressed ahead", .compress = kMiB,
     .before = {"s/a=1", "s/b=2", "s/c=3"}, .items = {"copy s/a", "copy s/b", "copy s/c"},
     .after = {"m/a.bz2=~1", "s/a=1", "s/b=2", "s/c=3"}, .results = {bz}, .end = RUN_CANCELLED,
     .stopAt = 5},
    {.name = "stop after a move: its source stays", .mode = SD_COPY_M,
     .before = {"s/a=1", "s/b=2"}, .items = {"move s/a", "move s/b"},
     .after = {"m/a=1", "s/a=1", "s/b=2"}, .results = {cp}, .end = RUN_CANCELLED, .stopAt = 5},
    {.name = "stop before the second item", .before = {"s/a=1", "s/b=2", "m/e/"},
     .items = {"copy s/a", "copy s/b"}, .after = {"m/a=1", "s/a=1", "s/b=2"}, .results = {cp},
     .messages = {"Removed empty dir: m/e"}, .end = RUN_CANCELLED, .clean = true, .stopAt = 5},
    {.name = "no memory before the items", .before = {"s/a=1"}, .items = {"copy s/a"},
     .after = {"s/a=1"}, .messages = {"The synchronization stopped after an unexpected error."},
     .end = RUN_FINISHED_WITH_ERRORS, .stopAt = 4, .throws = true},
};

TEST(CopyRunTest, CleaningLogOnlyStoppedAndFailedRuns)
{
    for (const Row& row : kRunRows)
        RunRow(row);
}

// The analysis recorded the roots and the drive; a stick unmounted, swapped or mounted again
// since then is left alone, and a medium folder missing then is made on the drive only while it
// is mounted, never through a link. From a pull in the middle of a folder on nothing more is done.
const std::string kGone = kRoots + "The medium m/ is no longer the drive the analysis saw.";
const std::string kLost = "The medium m/ was removed or replaced: nothing more is done on it.";
const std::string kSourcesKept = "The sources of the moves were not removed: the medium m/ was "
                                 "removed or replaced before their copies were flushed.";
// More files to compress than the pool's workers take at once, each long enough to keep them
// busy.
const int kAhead = 2 * int(std::thread::hardware_concurrency()) + 2;
const Row kDriveRows[] = {
    {.name = "medium folder missing then", .mode = SD_COPY_M, .before = {kMarker, "s/W/D/a=1"},
     .items = {"move s/W/D/a"}, .after = {"m/W/D/a=1", kMarker, "s/W/D/"},
     .results = {cp + "  remove=\"source\""}, .folder = "W/D/", .drive = "kept"},
    {.name = "medium folder swapped", .mode = SD_COPY_M, .before = {kMarker, "s/W/D/a=1", "m/W/D/"},
     .items = {"move s/W/D/a"}, .after = {"m/Old/D/", "m/W/D/", kMarker, "s/W/D/a=1"},
     .results = {cpError}, .messages = {kSwapped}, .end = 1, .folder = "W/D/", .drive = "swapped"},
    {.name = "drive unmounted", .mode = SD_COPY_M, .before = {kMarker, "s/W/D/a=1", "m/W/D/"},
     .items = {"move s/W/D/a"}, .after = {"m/W/D/", kMarker, "s/W/D/a=1"}, .results = {cpError},
     .messages = {kGone}, .end = 1, .folder = "W/D/", .drive = "pulled"},
    {.name = "medium folder missing then, drive mounted again", .mode = SD_COPY_M,
     .before = {kMarker, "s/W/D/a=1"}, .items = {"move s/W/D/a"}, .after = {kMarker, "s/W/D/a=1"},
     .results = {cpError}, .messages = {kGone}, .end = 1, .folder = "W/D/", .drive = "remounted"},
    {.name = "another medium's marker", .mode = SD_COPY_MDEL,
     .before = {kMarker, "s/W/D/a=1", "m/W/D/b=1"}, .items = {"move s/W/D/a", "del m/W/D/b"},
     .after = {"m/W/D/b=1", kOtherMarker, "s/W/D/a=1"}, .results = {cpError, error},
     .messages = {kGone}, .end = 1, .folder = "W/D/", .drive = "other marker"},
    {.name = "another stick alike", .mode = SD_COPY_MDEL,
     .before = {kMarker, "s/W/D/a=1", "m/W/D/b=1"}, .items = {"move s/W/D/a", "del m/W/D/b"},
     .after = {"m/W/D/b=1", kMarker, "s/W/D/a=1"}, .results = {cpError, error}, .messages = {kGone},
     .end = 1, .folder = "W/D/", .drive = "tmpfs swapped"},
    {.name = "stick pulled after the first item", .mode = SD_COPY_M,
     .before = {kMarker, "s/a=1", "s/b=2", "s/c=3"}, .items = {"move s/a", "move s/b", "move s/c"},
     .after = {"s/a=1", "s/b=2", "s/c=3"}, .results = {cp + "  remove=\"error\"", cpError, cpError},
     .messages = {kLost, kSourcesKept}, .end = 1, .stopAt = 5, .drive = "tmpfs pulled"},
    // The files the pool was to write next are not written where the stick was.
    {.name = "stick pulled while files are compressed ahead", .compress = kMiB,
     .before = [] {
         auto all = Many(kAhead, [](auto i) { return "s/f" + i + "=*524288"; });
         all.insert(all.begin(), {kMarker, "s/a=1"});
         return all;
     }(),
     .items = [] {
         auto all = Many(kAhead, [](auto i) { return "copy s/f" + i; });
         all.insert(all.begin(), "copy s/a");
         return all;
     }(),
     .after = [] {
         auto all = Many(kAhead, [](auto i) { return "s/f" + i + "=*524288"; });
         all.insert(all.begin(), "s/a=1");
         return all;
     }(),
     .results = [] {
         std::vector<std::string> all(kAhead + 1, cpError);
         all[0] = bz;
         return all;
     }(),
     .messages = {kLost}, .end = 1, .stopAt = 5, .drive = "tmpfs pulled"},
    {.name = "stick pulled while a file is copied", .before = {kMarker, "s/a=1", "s/b=2"},
     .items = {"copy s/a", "copy s/b"}, .after = {"s/a=1", "s/b=2"}, .results = {cpError, cpError},
     .messages = {kLost, "Not copied: m/a: No such file or directory"}, .end = 1,
     .drive = "tmpfs pulled while copying"},
    {.name = "stick pulled as a file is made", .before = {kMarker, "s/a=1", "s/b=2"},
     .items = {"copy s/a", "copy s/b"}, .after = {"s/a=1", "s/b=2"}, .results = {cpError, cpError},
     .messages = {kLost, "Not copied: m/a: No such file or directory"}, .end = 1,
     .drive = "tmpfs pulled as made"},
    {.name = "stick pulled as a directory is made", .before = {kMarker, "s/a=1"},
     .items = {"mkdir m/d/e", "copy s/a"}, .after = {"s/a=1"}, .results = {ok, cpError},
     .messages = {kLost}, .end = 1, .drive = "tmpfs pulled as made"},
    // Sticks formatted alike share device and inode numbers; their mounts differ, also where the
    // kernel reuses mount IDs. Another stick's equal files justify no removal.
    {.name = "another drive alike mounted in the middle", .mode = SD_COPY_DEL,
     .before = {kMarker, "s/a=1", "s/b=2", "m/x=1"}, .items = {"copy s/a", "copy s/b", "del m/x"},
     .after = {"m/a=1", kMarker, "m/x=1", "s/a=1", "s/b=2"}, .results = {cp, cpError, error},
     .messages = {kLost}, .end = 1, .stopAt = 5, .drive = "swapped alike"},
    {.name = "another stick alike put in the middle", .mode = SD_COPY_M,
     .before = {kMarker, "s/a=1", "s/b=2", "m/b=2"}, .items = {"move s/a", "move s/b"},
     .after = {"m/a=1", "m/b=2", kMarker, "s/a=1", "s/b=2"},
     .results = {cp + "  remove=\"error\"", cpError}, .messages = {kLost, kSourcesKept}, .end = 1,
     .stopAt = 5, .drive = "tmpfs swapped alike"},
    {.name = "another stick alike put in the middle, mount IDs reused", .mode = SD_COPY_M,
     .before = {kMarker, "s/a=1", "s/b=2", "m/b=2"}, .items = {"move s/a", "move s/b"},
     .after = {"m/a=1", "m/b=2", kMarker, "s/a=1", "s/b=2"},
     .results = {cp + "  remove=\"error\"", cpError}, .messages = {kLost, kSourcesKept}, .end = 1,
     .stopAt = 5, .drive = "tmpfs swapped alike", .reusableMountIds = true},
    {.name = "stick pulled with cleaning on", .mode = SD_COPY_M,
     .before = {kMarker, "s/a=1", "s/b=2", "s/e/", "m/e/"}, .items = {"move s/a", "move s/b"},
     .after = {"s/a=1", "s/b=2", "s/e/"}, .results = {cp + "  remove=\"error\"", cpError},
     .messages = {kLost, kSourcesKept}, .end = 1, .clean = true, .stopAt = 5,
     .drive = "tmpfs pulled"},
    {.name = "a link where the medium folder is to be made", .mode = SD_COPY_M,
     .before = {kMarker, "s/W/D/a=1", "o/W/", "m/W->../o/W"}, .items = {"move s/W/D/a"},
     .after = {"m/W->../o/W", kMarker, "o/W/", "s/W/D/a=1"}, .results = {cpError},
     .messages = {"Failed to create folder: m/W/D/",
                  "Not copied: s/W/D/a: No such file or directory"}, .end = 1, .folder = "W/D/",
     .drive = "kept"},
    {.name = "a link to the medium folder", .mode = DS_COPY_M,
     .before = {kMarker, "o/W/D/a=1", "m/W->../o/W"}, .items = {"move m/W/D/a"},
     .after = {"m/W->../o/W", kMarker, "o/W/D/a=1"}, .results = {cpError},
     .messages = {kRoots + "The folder m/W/D/ is reached through a symbolic link on the medium."},
     .end = 1, .folder = "W/D/", .drive = "kept"},
};

TEST(CopyRunTest, SticksPulledSwappedOrHostile)
{
    for (const Row& row : kDriveRows)
        RunRow(row);
}

// ---- a move killed at any moment ----------------------------------------------------------------

// Counts the renames and removals of a run in a child process, which kills itself right after
// the killAt-th of them; -1 outside such a child.
std::atomic<long> steps{-1};
long killAt = 0;
int Stepped(int result)
{
    if (steps >= 0 && ++steps == killAt)
        kill(getpid(), SIGKILL);
    return result;
}

// File i on the station, newer than an older version in the other form on the medium; the even
// ones are small enough to go compressed.
constexpr int kFiles = 8;
std::string KillName(int i) { return (i % 3 ? "f" : "d/f") + std::to_string(i); }
std::size_t KillSize(int i) { return (i % 2 ? 300000 : 60000) + i; }

std::unique_ptr<Trees> KillTrees(const OtherFileSystem& other, long n)
{
    auto trees = std::make_unique<Trees>(
        other.Path().empty() ? wxString() : other.Path() + std::to_string(n) + "/");
    for (int i = 0; i < kFiles; ++i)
        trees->Make({"s/" + KillName(i) + "=*" + std::to_string(KillSize(i)) + "@+100",
                     "m/" + KillName(i) + (i % 2 ? ".bz2=~old" : "=old") + std::to_string(i)});
    return trees;
}

// Plans and carries out the move as the program does, cleaning on.
void MoveAll(const Trees& trees)
{
    soRemoveEmptyFolders = true;
    CopyRun run{wxString()};
    run.Folder(SD_COPY_M, trees.station, trees.medium, 0, 200000);
    run.Analyse();
    swxCopy copy(nullptr, &run.jobs, false, wxString());
    if (copy.Create() == wxTHREAD_NO_ERROR && copy.Run() == wxTHREAD_NO_ERROR)
        copy.Wait();
    soRemoveEmptyFolders = false;
}

// What a killed run (moved: a whole one) left that it must not; "" when all is well. Each name
// is untouched, copied but not yet removed, moved, or kept on the station alone while its other
// form goes: anything else is mixed, truncated, twin or lost contents.
std::string Damage(const Trees& trees, bool moved)
{
    const std::vector<std::string> shown = trees.Snapshot();
    for (int i = 0; i < kFiles; ++i) {
        const std::string n = KillName(i), fresh = "*" + std::to_string(KillSize(i)) + "@+100";
        const std::string station = "s/" + n + "=" + fresh + " ",
                          old = "m/" + n + (i % 2 ? ".bz2=~old" : "=old") + std::to_string(i) + " ",
                          done = "m/" + n + (i % 2 ? "=" : ".bz2=~") + fresh + " ";
        std::string state;  // the name's files on both sides, medium first
        for (const std::string& s : shown)
            for (const std::string& name : {"m/" + n + "=", "m/" + n + ".bz2=", "s/" + n + "="})
                state += s.starts_with(name) ? s + " " : "";
        const std::string halfway[] = {old + station, done + station, station};
        if (state != done && (moved || std::ranges::count(halfway, state) == 0))
            return "damaged " + n + ": " + state;
    }
    const auto temporary = [](const std::string& s) { return s.ends_with("<tmp>"); };
    return moved && std::ranges::any_of(shown, temporary) ? "temporary file left" : "";
}

// A move towards the medium (on another file system where there is one, as a stick is) killed
// with SIGKILL right after each of its renames and removals in turn, and at ten random moments:
// no name holds mixed or truncated contents, no file is both plain and compressed, nothing is
// lost, and the next whole run finishes the move and leaves no temporary file.
TEST(CopyRunTest, AMoveKilledAtAnyMomentLosesNothingAndTheNextRunFinishesIt)
{
    const OtherFileSystem other;
    const auto first = KillTrees(other, 0);
    const auto start = std::chrono::steady_clock::now();
    steps = 0;
    MoveAll(*first);
    const long total = steps.exchange(-1);
    const auto span = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(Damage(*first, true), "");
    ASSERT_GT(total, 0);
    std::mt19937 random(std::random_device{}());
    for (long moment = 1; moment <= total + 10; ++moment) {
        SCOPED_TRACE(testing::Message() << "kill " << moment << " of " << total << " steps + 10");
        const auto trees = KillTrees(other, moment);
        const pid_t child = fork();
        if (child == 0) {
            killAt = moment <= total ? moment : 0;
            steps = 0;
            MoveAll(*trees);
            _exit(0);
        }
        if (moment > total) {
            std::this_thread::sleep_for(span * (random() % 1000) / 1000);
            kill(child, SIGKILL);
        }
        for (int ms = 0; waitpid(child, nullptr, WNOHANG) == 0; ++ms) {
            if (ms == 20000)
                kill(child, SIGKILL);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(Damage(*trees, false), "");
        MoveAll(*trees);
        EXPECT_EQ(Damage(*trees, true), "");
    }
}

} // namespace

extern "C" int statx(int dir, const char* path, int flags, unsigned mask, struct statx* out) noexcept
{
    if (reusableMountIds)
        mask &= ~STATX_MNT_ID_UNIQUE;
    return static_cast<int>(syscall(SYS_statx, dir, path, flags, mask, out));
}
extern "C" int openat64(int dir, const char* path, int flags, ...)
{
    mode_t mode = 0;
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list args;
        va_start(args, flags);
        mode = va_arg(args, mode_t);
        va_end(args);
    }
    if ((flags & O_CREAT) && IsTemporaryName(FromUtf8(fs::path(path).filename().string())))
        BeforeMaking();
    return static_cast<int>(syscall(SYS_openat, dir, path, flags, mode));
}
extern "C" int mkdir(const char* path, mode_t mode) noexcept
{
    BeforeMaking();
    return static_cast<int>(syscall(SYS_mkdir, path, mode));
}
extern "C" int mkdirat(int dir, const char* path, mode_t mode) noexcept
{
    BeforeMaking();
    return static_cast<int>(syscall(SYS_mkdirat, dir, path, mode));
}
extern "C" int rename(const char* from, const char* to) noexcept
{
    return Stepped(static_cast<int>(syscall(SYS_rename, from, to)));
}
extern "C" int unlink(const char* path) noexcept
{
    Trace("unlink", path);
    return Stepped(static_cast<int>(syscall(SYS_unlink, path)));
}
extern "C" int syncfs(int fd) noexcept
{
    Trace("syncfs", fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).string() + "/");
    if (beforeFlush)
        std::exchange(beforeFlush, nullptr)();
    if (injectedFault == Fault::flushFails)
        return errno = EIO, -1;
    return static_cast<int>(syscall(SYS_syncfs, fd));
}
