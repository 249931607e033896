// Child of copy_kill_test.sh: a move run towards the medium that the script kills at random.
//   copy_kill_child setup STATION MEDIUM   new files on the station, older other forms on the medium
//   copy_kill_child run STATION MEDIUM     analysis and copy, as the program runs them
//   copy_kill_child mend STATION MEDIUM    after a kill: every name whole, no twins, nothing lost;
//                                          then a whole run: all moved, no temporary file left
//   copy_kill_child finish STATION MEDIUM  only the whole run and its check; prints how many
//                                          files it renamed and removed
// With DRALVO_KILL_AT=n set, "run" kills itself with SIGKILL right after its n-th rename or
// removal, so that kills also land exactly between two steps of the file system.
// Exit status 0 when all is well; the first fault found is printed.
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <wx/init.h>

#include "engine/copy.h"
#include "engine/dir_compare.h"
#include "engine/root_check.h"
#include "store/bzip2.h"
#include "store/file_io.h"
#include "store/file_time.h"
#include "store/options.h"

namespace {

std::atomic<long> steps{-1};  // renames and removals of the run; -1 before the copy
long killAt = 0;

void Stepped()
{
    if (steps >= 0 && ++steps == killAt)
        kill(getpid(), SIGKILL);
}

} // namespace

extern "C" int rename(const char* from, const char* to) noexcept
{
    const int result = static_cast<int>(syscall(SYS_rename, from, to));
    Stepped();
    return result;
}
extern "C" int unlink(const char* path) noexcept
{
    const int result = static_cast<int>(syscall(SYS_unlink, path));
    Stepped();
    return result;
}

namespace {

namespace fs = std::filesystem;
constexpr int kFiles = 8;

// Even files are small and compressed on the medium, odd ones large and copied plainly; the
// medium holds an older version of each in the other form.
wxString Name(int i) { return wxString::Format(i % 3 == 0 ? "d/f%d" : "f%d", i); }
const std::string& NewContent(int i)
{
    static std::string contents[kFiles];
    std::string& text = contents[i];
    while (text.size() < (i % 2 ? 300000u : 60000u))
        text += std::to_string(text.size() * (i + 7) % 9973) + (i % 2 ? "\x01\xfe" : " words ");
    return text;
}
std::string OldContent(int i) { return "old " + std::to_string(i); }

std::string Read(const wxString& path)
{
    const auto data = ReadBinaryFile(path);
    return data ? std::string(data->begin(), data->end()) : std::string("<none>");
}
std::string Unpacked(const wxString& path)
{
    const auto data = ReadBinaryFile(path);
    bool ok = false;
    const wxString text = data ? DecompressBufferToString(data->data(), data->size(), 1 << 20, &ok) : "";
    return ok ? std::string(text.utf8_str()) : "<damaged>";
}

int Fault(const wxString& text)
{
    std::fprintf(stderr, "%s\n", text.utf8_str().data());
    return 1;
}

int Check(const wxString& station, const wxString& medium, bool final)
{
    for (int i = 0; i < kFiles; ++i) {
        const wxString plain = medium + Name(i), packed = plain + ".bz2";
        const bool hasPlain = fs::exists(plain.ToStdString()), hasPacked = fs::exists(packed.ToStdString());
        if (hasPlain && hasPacked)
            return Fault("twins: " + plain);
        const std::string onMedium = hasPlain ? Read(plain) : hasPacked ? Unpacked(packed) : "<none>";
        // Right before the new form takes its place neither form is there: the station still is.
        if (onMedium != NewContent(i) && onMedium != OldContent(i) && onMedium != "<none>")
            return Fault("mixed or truncated: " + (hasPacked ? packed : plain));
        const std::string onStation = Read(station + Name(i));
        if (onStation != NewContent(i) && (onStation != "<none>" || onMedium != NewContent(i)))
            return Fault("lost or damaged: " + Name(i));
        if (final && (onStation != "<none>" || hasPlain != (i % 2 == 1)))
            return Fault("not moved as planned: " + Name(i));
    }
    std::error_code ec;  // the cleaning removes an emptied station folder
    for (const wxString& root : {station, medium})
        for (const auto& e : fs::recursive_directory_iterator(root.ToStdString(), ec))
            if (final && IsTemporaryName(wxString::FromUTF8(e.path().filename().string())))
                return Fault("temporary file left: " + e.path().string());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    wxInitializer init;
    const std::string command = argv[1];
    const wxString station = wxString::FromUTF8(argv[2]) + "/", medium = wxString::FromUTF8(argv[3]) + "/";
    if (command == "setup") {
        fs::create_directories((station + "d").ToStdString());
        fs::create_directories((medium + "d").ToStdString());
        for (int i = 0; i < kFiles; ++i) {
            const auto packed = CompressStringBz2(OldContent(i));
            const wxString old = medium + Name(i) + (i % 2 ? ".bz2" : "");
            if (!WriteBinaryFile(station + Name(i), NewContent(i).data(), NewContent(i).size())
                || !(i % 2 ? WriteBinaryFile(old, packed->data(), packed->size()) : WriteTextFile(old, OldContent(i)))
                || !SetFileModTime(old, FileTimeFromUnix(1600000000)))
                return 1;
        }
        return 0;
    }
    if (command == "mend" && Check(station, medium, false) != 0)
        return Fault("after the kill");
    if (command != "run" && command != "finish" && command != "mend")
        return 2;

    soRemoveEmptyFolders = true;
    JobTree jobs;
    jobs.push_back(std::make_unique<ProjectJob>());
    jobs[0]->mode = SD_COPY_M;
    jobs[0]->compressBelow = 200000;
    jobs[0]->folders.push_back(std::make_unique<FolderJob>());
    FolderJob& folder = *jobs[0]->folders[0];
    folder.stationPath = station;
    folder.mediumPath = medium;
    folder.rules.push_back(std::make_unique<FolderRule>(FolderRule{"*", true}));
    swxDirCompare compare(nullptr, station, medium, SD_COPY_M);
    compare.SetOutput(&folder.items);
    compare.SetRules(&folder.rules);
    if (!compare.Compare() || !compare.Twins().empty())
        return Fault("analysis failed or found twins");
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
