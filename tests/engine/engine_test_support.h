#pragma once

// Helpers shared by the engine tests: an event sink, file times and listings of planned items.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/event.h>

#include "engine/sync_types.h"
#include "store/file_time.h"
#include "tests/support/temp_dir.h"

// Collects the menu-selected command events posted to it, in order.
class EventSink : public wxEvtHandler {
public:
    struct Posted {
        int id;
        int code;
        long value;
        wxString text;
        void* data;
    };

    EventSink() { Bind(wxEVT_MENU, &EventSink::OnEvent, this); }

    // Handles everything queued so far.
    void Pump() { wxAppConsole::GetInstance()->ProcessPendingEvents(); }

    std::vector<Posted> events;

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
    std::vector<wxString> Texts(int code) const
    {
        std::vector<wxString> texts;
        for (const Posted& e : events)
            if (e.code == code)
                texts.push_back(e.text);
        return texts;
    }
    int Count(int code) const
    {
        int n = 0;
        for (const Posted& e : events)
            n += e.code == code;
        return n;
    }
    // How many code-0 texts begin with the prefix.
    int CountMessages(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& m : Messages())
            n += m.rfind(prefix, 0) == 0;
        return n;
    }

private:
    void OnEvent(wxCommandEvent& e)
    {
        events.push_back({e.GetId(), e.GetInt(), e.GetExtraLong(), e.GetString(), e.GetClientData()});
    }
};

// Cancels target from inside its walk when the n-th "Traversing directory: " message is posted.
template <class Target>
class CancellingSink : public EventSink {
public:
    Target* target = nullptr;
    int cancelAt = 0;
    int directories = 0;

    void QueueEvent(wxEvent* event) override
    {
        auto* command = static_cast<wxCommandEvent*>(event);
        if (target && command->GetInt() == TE_MESSAGE &&
            command->GetString().StartsWith("Traversing directory: ") && ++directories == cancelAt)
            target->Cancel();
        EventSink::QueueEvent(event);
    }
};

// A fixed moment, and the same moment shifted by whole seconds.
inline FileTime BaseTime(int seconds = 0)
{
    return FileTimeFromUnix(1600000000LL + seconds);
}

// Writes a file below the temporary directory with the given last-write time.
inline wxString WriteWithTime(const TempDir& dir, const wxString& rel, FileTime time,
                              const std::string& content = "x")
{
    const wxString path = dir.Write(rel, content);
    EXPECT_TRUE(SetFileModTime(path, time)) << rel;
    return path;
}

// Runs f where the file-permission bits hold even for root: root reads any directory unless
// its thread gives up the capabilities that override permissions (capabilities are per
// thread, and threads started inside f inherit the reduced set).
inline void WithPermissionsEnforced(const std::function<void()>& f)
{
    if (geteuid() != 0) {
        f();
        return;
    }
    std::thread worker([&f] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        ASSERT_EQ(syscall(SYS_capget, &header, data), 0);
        const unsigned dropped = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        data[0].effective &= ~dropped;
        ASSERT_EQ(syscall(SYS_capset, &header, data), 0);
        f();
    });
    worker.join();
}

// ---- XML run logs ----------------------------------------------------------------------------

#include <wx/xml/xml.h>

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

// The file parsed by the toolkit's XML parser; IsOk() is false for a document that is not
// well-formed.
inline std::unique_ptr<wxXmlDocument> ParseXml(const wxString& path)
{
    auto document = std::make_unique<wxXmlDocument>();
    wxLogNull quiet;
    document->Load(path);
    return document;
}
