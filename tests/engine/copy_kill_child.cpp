// Child of copy_kill_test.sh: a run moving files to the medium, which the script kills.
//   copy_kill_child setup|run|mend|finish STATION MEDIUM
// setup: new files on the station, an older version of each in the other form (plain or .bz2)
// on the medium. run: analysis and copy as the program runs them; with DRALVO_KILL_AT=n set it
// kills itself with SIGKILL right after its n-th rename or removal. mend: checks what a kill left
// (no name with mixed or truncated contents, no twins, nothing lost), then runs. finish: runs and
// prints the number of renames and removals. After a run, mend and finish check that everything
// was moved and no temporary file is left. Exit status 0 when all is well.
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <wx/init.h>

#include "engine/copy.h"
#include "engine/dir_compare.h"
#include "store/bzip2.h"
#include "store/file_io.h"
#include "store/options.h"
#include "store/text.h"

namespace {

std::atomic<long> steps{-1};  // renames and removals of the copy; -1 outside it
long killAt = 0;

int Stepped(int result)
{
    if (steps >= 0 && ++steps == killAt)
        kill(getpid(), SIGKILL);
    return result;
}

constexpr int kFiles = 8;

// Even files are small and go compressed, odd ones large and plain.
wxString Name(int i) { return wxString::Format(i % 3 ? "f%d" : "d/f%d", i); }
const std::string& NewContent(int i)
{
    static std::string contents[kFiles];
    while (contents[i].size() < (i % 2 ? 300000u : 60000u))
        contents[i] += std::to_string(contents[i].size() * (i + 7) % 9973) + (i % 2 ? "\x01\xfe" : " words ");
    return contents[i];
}
std::string OldContent(int i) { return "old " + std::to_string(i); }

std::string Read(const wxString& path, bool packed)
{
    const auto data = ReadBinaryFile(path);
    if (!data || !packed)
        return data ? std::string(data->begin(), data->end()) : "<none>";
    bool ok = false;
    const wxString text = DecompressBufferToString(data->data(), data->size(), 1 << 20, &ok);
    return ok ? ToUtf8(text) : "<damaged>";
}

int Fault(const wxString& text)
{
    std::fprintf(stderr, "%s\n", text.utf8_str().data());
    return 1;
}

int Check(const wxString& station, const wxString& medium, bool moved)
{
    for (int i = 0; i < kFiles; ++i) {
        const wxString plain = medium + Name(i);
        const std::string onPlain = Read(plain, false), onPacked = Read(plain + ".bz2", true);
        const std::string& onMedium = onPlain != "<none>" ? onPlain : onPacked;
        const std::string onStation = Read(station + Name(i), false);
        // Right before the new form takes its place neither form is there; the station file is.
        if (onPlain != "<none>" && onPacked != "<none>")
            return Fault("twins: " + plain);
        if (onMedium != NewContent(i) && onMedium != OldContent(i) && onMedium != "<none>")
            return Fault("mixed or truncated: " + plain);
        if (onStation != NewContent(i) && (onStation != "<none>" || onMedium != NewContent(i)))
            return Fault("lost or damaged: " + Name(i));
        if (moved && (onStation != "<none>" || (onPlain == "<none>") == (i % 2 == 1)))
            return Fault("not moved as planned: " + Name(i));
    }
    std::error_code ec;  // the cleaning removes an emptied station folder
    for (const wxString& root : {station, medium})
        for (const auto& e : std::filesystem::recursive_directory_iterator(ToUtf8(root), ec))
            if (moved && IsTemporaryName(FromUtf8(e.path().filename().string())))
                return Fault("temporary file left: " + e.path().string());
    return 0;
}

} // namespace

extern "C" int rename(const char* from, const char* to) noexcept
{
    return Stepped(static_cast<int>(syscall(SYS_rename, from, to)));
}
extern "C" int unlink(const char* path) noexcept
{
    return Stepped(static_cast<int>(syscall(SYS_unlink, path)));
}

int main(int argc, char** argv)
{
    wxInitializer init;
    const std::string command = argc == 4 ? argv[1] : "";
    const wxString station = argc == 4 ? FromUtf8(argv[2]) + "/" : "";
    const wxString medium = argc == 4 ? FromUtf8(argv[3]) + "/" : "";
    for (int i = 0; command == "setup" && i < kFiles; ++i) {
        std::filesystem::create_directories(ToUtf8(station + "d"));
        std::filesystem::create_directories(ToUtf8(medium + "d"));
        const auto packed = CompressStringBz2(OldContent(i));
        const std::string old = i % 2 ? std::string(packed->begin(), packed->end()) : OldContent(i);
        const wxString oldPath = medium + Name(i) + (i % 2 ? ".bz2" : "");
        if (!WriteBinaryFile(station + Name(i), NewContent(i).data(), NewContent(i).size()) ||
            !WriteBinaryFile(oldPath, old.data(), old.size()) ||
            !SetFileModTime(oldPath, FileTimeFromUnix(1600000000)))
            return 1;
    }
    if (command == "mend" && Check(station, medium, false) != 0)
        return Fault("after the kill");
    if (command != "run" && command != "finish" && command != "mend")
        return command == "setup" ? 0 : 2;

    soRemoveEmptyFolders = true;
    JobTree jobs;
    ProjectJob& project = *jobs.emplace_back(std::make_unique<ProjectJob>());
    std::tie(project.mode, project.compressBelow) = std::tuple(SD_COPY_M, 200000);
    FolderJob& folder = *project.folders.emplace_back(std::make_unique<FolderJob>());
    std::tie(folder.stationPath, folder.mediumPath) = std::tie(station, medium);
    folder.rules.push_back(std::make_unique<FolderRule>(FolderRule{"*", true}));
    swxDirCompare compare(nullptr, station, medium, SD_COPY_M);
    compare.SetOutput(&folder.items);
    compare.SetRules(&folder.rules);
    if (!compare.Compare() || !compare.Twins().empty())
        return Fault("the analysis failed or found twins");
    RecordRootIdentities(folder);
    swxCopy copy(nullptr, &jobs, false, wxString());
    killAt = std::getenv("DRALVO_KILL_AT") ? std::atol(std::getenv("DRALVO_KILL_AT")) : 0;
    steps = 0;
    if (copy.Create() != wxTHREAD_NO_ERROR || copy.Run() != wxTHREAD_NO_ERROR)
        return 1;
    copy.Wait();
    if (command == "finish")
        std::printf("%ld\n", steps.load());
    steps = -1;
    return command == "run" ? 0 : Check(station, medium, true);
}
