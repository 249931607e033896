// Driver of analysis-bench.sh: makes the two trees, and times a whole analysis of them.
//   analysis_bench make-trees DIR        (DIR/station and DIR/medium)
//   analysis_bench run STATION MEDIUM    (prints "peak_bytes baseline_bytes items")
// The script times the whole process, so start-up and the freeing of the plan count too.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/utils.h>

#include "bench/end_watcher.h"

#include "engine/analyze.h"
#include "engine/sync_types.h"
#include "store/file_time.h"
#include "store/text.h"

namespace {

constexpr int kFiles = 100000;       // per tree
constexpr int kDirectories = 5000;   // per tree: 50 top-level ones holding 99 each
constexpr int kTopDirectories = 50;
constexpr int kFilesPerDirectory = kFiles / kDirectories;

std::string DirectoryOf(int d)
{
    char name[32];
    if (d < kTopDirectories)
        std::snprintf(name, sizeof name, "d%02d", d);
    else
        std::snprintf(name, sizeof name, "d%02d/s%03d", (d - kTopDirectories) % kTopDirectories,
                      (d - kTopDirectories) / kTopDirectories);
    return name;
}

bool WriteFile(const std::string& path, FileTime time)
{
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || write(fd, "sixteen bytes..\n", 16) != 16 || close(fd) != 0)
        return false;
    return SetFileModTime(FromUtf8(path), time);
}

// Per tree: half of the files the same on both sides, a quarter on both sides but newer on one
// (the station and the medium in turn), a quarter only on this side.
int MakeTrees(const std::string& root)
{
    const FileTime base = FileTimeFromUnix(1700000000);
    const FileTime later = FileTimeFromUnix(1700000060);
    for (const char* side : {"station", "medium"}) {
        const bool station = side[0] == 's';
        const std::string top = root + "/" + side;
        if (mkdir(top.c_str(), 0755) != 0)
            return 1;
        for (int d = 0; d < kDirectories; ++d)
            if (mkdir((top + "/" + DirectoryOf(d)).c_str(), 0755) != 0)
                return 1;
        for (int i = 0; i < kFiles; ++i) {
            char name[32];
            FileTime time = base;
            switch (i % 4) {
            case 2:
                std::snprintf(name, sizeof name, "file%06d.dat", i);
                if (((i / 4) % 2 == 0) == station)
                    time = later;
                break;
            case 3:
                std::snprintf(name, sizeof name, "%s%06d.dat", station ? "st" : "md", i);
                break;
            default:
                std::snprintf(name, sizeof name, "file%06d.dat", i);
            }
            if (!WriteFile(top + "/" + DirectoryOf(i / kFilesPerDirectory) + "/" + name, time))
                return 1;
        }
    }
    return 0;
}

long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return -1;
}

int RunAnalysis(const std::string& station, const std::string& medium)
{
    // Measure the peak from here on: the analysis's own memory is the peak less this baseline.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long baselineKb = StatusKb("VmRSS");

    JobTree jobs;
    EndWatcher watcher(TE_ANALYSIS_END);
    auto analysis = std::make_unique<swxAnalyze>(&watcher, &jobs);
    auto project = std::make_unique<ProjectJob>();
    project->caption = "bench";
    project->mode = SD_COPY_DEL_DS;
    auto folder = std::make_unique<FolderJob>();
    folder->stationPath = FromUtf8(station);
    folder->mediumPath = FromUtf8(medium);
    folder->rules.push_back(std::make_unique<FolderRule>(FolderRule{"*", true}));
    project->folders.push_back(std::move(folder));
    analysis->AddProject(std::move(project));
    if (analysis->Create() != wxTHREAD_NO_ERROR || analysis->Run() != wxTHREAD_NO_ERROR)
        return 1;
    // The GUI thread's part: handle the events as they come.
    watcher.PumpUntilEnded(1);
    analysis->Wait();
    const long peakKb = StatusKb("VmHWM");
    std::printf("%ld %ld %zu\n", peakKb * 1024, baselineKb * 1024,
                jobs[0]->folders[0]->items.size());
    return watcher.result == RUN_FINISHED ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    wxApp::SetInstance(new wxAppConsole);
    wxInitializer init(argc, argv);
    if (!init.IsOk())
        return 2;
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "make-trees" && argc == 3)
        return MakeTrees(argv[2]);
    if (command == "run" && argc == 4)
        return RunAnalysis(argv[2], argv[3]);
    std::fprintf(stderr, "usage: analysis_bench make-trees DIR | run STATION MEDIUM\n");
    return 2;
}
