#pragma once

// Helpers shared by the engine tests: an event sink, file permissions, XML logs, mounts, and
// failures of the file system made on purpose.

#include <linux/capability.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/event.h>
#include <wx/xml/xml.h>

#include "engine/sync_types.h"
#include "store/file_io.h"
#include "store/file_time.h"
#include "store/text.h"
#include "tests/support/temp_dir.h"

// Collects the menu-selected command events posted to it, in order. onPost, when set, sees each
// event on the posting thread right after it is queued.
class EventSink : public wxEvtHandler {
public:
    struct Posted { int id, code; long value; wxString text; void* data; };
    std::vector<Posted> events;
    std::function<void(const wxCommandEvent&)> onPost;

    EventSink()
    {
        Bind(wxEVT_MENU, [this](wxCommandEvent& e) {
            events.push_back(
                {e.GetId(), e.GetInt(), e.GetExtraLong(), e.GetString(), e.GetClientData()});
        });
    }
    void QueueEvent(wxEvent* event) override
    {
        const wxCommandEvent copy = *static_cast<wxCommandEvent*>(event);
        wxEvtHandler::QueueEvent(event);
        if (onPost)
            onPost(copy);
    }
    // Handles everything queued so far.
    void Pump() { wxAppConsole::GetInstance()->ProcessPendingEvents(); }
    // The texts of the code-0 events, in order.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const Posted& e : events)
            if (e.code == TE_MESSAGE)
                texts.push_back(e.text.utf8_string());
        return texts;
    }
    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (const Posted& e : events)
            codes.push_back(e.code);
        return codes;
    }
    int Count(int code) const { return int(std::ranges::count(Codes(), code)); }
};

// Runs f where the file-permission bits hold even for root: root reads any directory unless
// its thread gives up the capabilities that override permissions (capabilities are per
// thread, and threads started inside f inherit the reduced set).
inline void WithPermissionsEnforced(const std::function<void()>& f)
{
    if (geteuid() != 0)
        return f();
    std::thread worker([&f] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        ASSERT_EQ(syscall(SYS_capget, &header, data), 0);
        data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ASSERT_EQ(syscall(SYS_capset, &header, data), 0);
        f();
    });
    worker.join();
}

// The text split at CR LF (a bare LF stays inside its line).
inline std::vector<std::string> SplitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// True when the toolkit's XML parser takes the file as a well-formed document (loaded into into).
inline bool ParsesAsXml(const wxString& path, wxXmlDocument* into = nullptr)
{
    wxXmlDocument own;
    wxLogNull quiet;
    return (into ? into : &own)->Load(path);
}

// Calls of the C library that fail while set (see the definitions in file_copy_test.cpp and
// copy_test.cpp): copy_file_range copies nothing, setting a file's time fails, syncfs fails.
enum class Fault { none, kernelCopiesNothing, timeNotSet, flushFails };
inline std::atomic<Fault> injectedFault{Fault::none};
// While set, each copy_file_range calls it first and then copies at most 1 MiB.
inline std::function<void()> duringKernelCopy;

// Bytes that do not compress, the same for the same size.
inline std::string TestBytes(std::size_t size)
{
    std::mt19937 gen(static_cast<unsigned>(size));
    std::string s(size, '\0');
    std::ranges::generate(s, [&] { return static_cast<char>(gen()); });
    return s;
}

// Writes past the given size fail for a scope (EFBIG), as on a medium that is full.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_), signal(SIGXFSZ, handler_); }

private:
    rlimit saved_{};
    sighandler_t handler_;
};

// A fresh directory on /dev/shm when that is another file system than the temporary directory's
// (else Path() is empty).
class OtherFileSystem {
public:
    OtherFileSystem()
    {
        struct stat here, there;
        if (mkdtemp(dir_.data()) && stat(std::filesystem::temp_directory_path().c_str(), &here) == 0
            && stat(dir_.c_str(), &there) == 0 && here.st_dev != there.st_dev)
            path_ = FromUtf8(dir_) + "/";
    }
    ~OtherFileSystem() { std::error_code ec; std::filesystem::remove_all(dir_, ec); }
    const wxString& Path() const { return path_; }

private:
    std::string dir_ = "/dev/shm/dralvo-test-XXXXXX";
    wxString path_;
};

// Leaves a temporary file beside target as a run killed while writing it would.
inline void LeaveTemporary(const wxString& target)
{
    if (const pid_t child = fork(); child == 0)
        _exit(AtomicFile(target).Create() ? 0 : 1);
    else
        waitpid(child, nullptr, 0);
}

// A fresh tmpfs (or, with from, a bind mount of that directory) mounted on an existing directory
// until Unmount or the end of the scope; unmounted lazily, as a pulled stick leaves. Refused()
// says why mounting failed.
class TestMount {
public:
    explicit TestMount(const wxString& dir, const wxString& from = {}) : dir_(ToUtf8(dir))
    {
        const std::string source = from.empty() ? "stick" : ToUtf8(from);
        mounted_ = mount(source.c_str(), dir_.c_str(), from.empty() ? "tmpfs" : nullptr,
                         from.empty() ? 0 : MS_BIND, "size=8m") == 0;
        refused_ = mounted_ ? "" : "cannot mount: " + std::string(strerror(errno));
    }
    ~TestMount() { Unmount(); }
    void Unmount() { mounted_ = mounted_ && umount2(dir_.c_str(), MNT_DETACH) != 0; }
    const std::string& Refused() const { return refused_; }

private:
    std::string dir_, refused_;
    bool mounted_;
};
