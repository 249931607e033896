// Driver of copy-bench.sh: makes the station tree, and times a full copy run of it.
//   copy_bench make-tree DIR [small]    (small: the small files only)
//   copy_bench run SOURCE MEDIUM COMPRESS_BELOW_BYTES LOG [move]   (move: SOURCE ends empty)
//   copy_bench run-down MEDIUM STATION LOG   (back to the station, ".bz2" files decompressed)
// The script times the whole process, as it times the reference commands.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/utils.h>

#include "bench/end_watcher.h"

#include "engine/copy.h"
#include "engine/root_check.h"
#include "engine/sync_types.h"
#include "store/file_time.h"
#include "store/media.h"
#include "store/text.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSmallFiles = 10000;
constexpr int kFilesPerDirectory = 100;
constexpr int kLargeFiles = 10;
constexpr std::size_t kLargeSize = std::size_t(50) << 20;

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed | 1) {}
    std::uint64_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }

private:
    std::uint64_t state_;
};

// Text-like content, compressible about as well as documents and sources are.
std::string Words(Random& random, std::size_t size)
{
    static const char* const words[] = {"station", "medium", "folder", "report", "the", "of",
                                        "and", "copy", "data", "2024", "invoice", "total",
                                        "value", "name", "project", "a", "line", "=", "{", "}"};
    std::string text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += words[random.Next() % (sizeof words / sizeof words[0])];
        text += random.Next() % 9 == 0 ? '\n' : ' ';
    }
    text.resize(size);
    return text;
}

int MakeTree(const fs::path& root, bool smallOnly)
{
    Random random(20240315);
    for (int i = 0; i < kSmallFiles; ++i) {
        const fs::path dir = root / ("dir" + std::to_string(i / kFilesPerDirectory));
        fs::create_directories(dir);
        const std::size_t size = 1024 + random.Next() % (19 * 1024 + 1);
        std::ofstream(dir / ("file" + std::to_string(i) + ".txt"), std::ios::binary)
            << Words(random, size);
    }
    std::vector<std::uint64_t> block(std::size_t(1) << 17);  // 1 MiB
    for (int i = 0; i < (smallOnly ? 0 : kLargeFiles); ++i) {
        std::ofstream out(root / ("large" + std::to_string(i) + ".bin"), std::ios::binary);
        for (std::size_t written = 0; written < kLargeSize; written += block.size() * 8) {
            for (std::uint64_t& v : block)
                v = random.Next();
            out.write(reinterpret_cast<const char*>(block.data()),
                      static_cast<std::streamsize>(block.size() * 8));
        }
    }
    return 0;
}

// The planned copies (or moves) to an empty folder: directories (parents first), then every
// file, named as the analysis names them (without ".bz2").
void PlanCopy(const fs::path& source, const fs::path& target, bool up, FolderJob& folder,
              int action)
{
    std::vector<std::unique_ptr<SyncItem>> copies;
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        std::string relative = entry.path().lexically_relative(source).string();
        if (!up && relative.ends_with(".bz2"))
            relative.resize(relative.size() - 4);
        auto item = std::make_unique<SyncItem>();
        item->target = FromUtf8((target / relative).string());
        item->targetOnMedium = up;
        if (entry.is_directory()) {
            item->action = FP_MKDIR;
            folder.items.push_back(std::move(item));
        } else {
            item->action = action;
            item->source = FromUtf8((source / relative).string());
            GetFileModTime(FromUtf8(entry.path().string()), item->sourceTime);
            copies.push_back(std::move(item));
        }
    }
    for (auto& item : copies)
        folder.items.push_back(std::move(item));
}

int RunCopy(const fs::path& source, const fs::path& target, bool up, std::int64_t compressBelow,
            const wxString& log, bool move)
{
    JobTree jobs;
    auto project = std::make_unique<ProjectJob>();
    project->caption = "bench";
    project->mode = !up ? DS_COPY : move ? SD_COPY_M : SD_COPY;
    project->compressBelow = compressBelow;
    auto folder = std::make_unique<FolderJob>();
    folder->stationPath = FromUtf8((up ? source : target).string());
    folder->mediumPath = FromUtf8((up ? target : source).string());
    PlanCopy(source, target, up, *folder, move ? FP_MOVE : FP_COPY);
    // A medium on a drive of its own: the run then checks before each item that the drive is
    // still the one marked and mounted, as real runs do.
    if (const char* drive = std::getenv("DRALVO_BENCH_DRIVE")) {
        folder->mediumDriveRoot = FromUtf8(drive);
        folder->mediumGuid = ReadMediumMarker(folder->mediumDriveRoot);
        RecordRootIdentities(*folder);
    }
    project->folders.push_back(std::move(folder));
    jobs.push_back(std::move(project));

    EndWatcher watcher(TE_COPY_END);
    swxCopy copy(&watcher, &jobs, false, log);
    if (copy.Create() != wxTHREAD_NO_ERROR || copy.Run() != wxTHREAD_NO_ERROR)
        return 1;
    // The GUI thread's part: handle the events as they come.
    watcher.PumpUntilEnded(2);
    copy.Wait();
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
    if (command == "make-tree" && (argc == 3 || (argc == 4 && std::string(argv[3]) == "small")))
        return MakeTree(argv[2], argc == 4);
    const bool move = argc == 7 && std::string(argv[6]) == "move";
    if (command == "run" && (argc == 6 || move))
        return RunCopy(argv[2], argv[3], true, std::strtoll(argv[4], nullptr, 10),
                       FromUtf8(argv[5]), move);
    if (command == "run-down" && argc == 5)
        return RunCopy(argv[2], argv[3], false, 0, FromUtf8(argv[4]), false);
    std::fprintf(stderr, "usage: copy_bench make-tree DIR [small] | run SOURCE MEDIUM "
                         "COMPRESS_BELOW LOG [move] | run-down MEDIUM STATION LOG\n");
    return 2;
}
