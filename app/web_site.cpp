#include "app/web_site.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>

#include <wx/log.h>
#include <wx/socket.h>
#include <wx/utils.h>

namespace {

using Clock = std::chrono::steady_clock;

// The largest answer read (head and body); anything longer holds no version.
constexpr size_t kMaxAnswer = 8192;
// The HTTP client's time-out for one wait.
constexpr long kTimeoutMs = 10000;

BrowserLauncher& Launcher()
{
    static BrowserLauncher launcher;
    return launcher;
}

// A number without its leading zeros, so that numbers compare by length, then by digits.
wxString Significant(const wxString& number)
{
    size_t first = 0;
    while (first + 1 < number.length() && number[first] == '0')
        ++first;
    return number.empty() ? wxString("0") : number.Mid(first);
}

// Milliseconds to wait now: the client's time-out, cut to what is left before the deadline.
long WaitMs(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return std::clamp<long>(left, 0, kTimeoutMs);
}

// An HTTP answer: its status code and body.
struct Answer {
    long status = 0;
    std::string body;
};

// The answer read so far once it is complete: the server closed the connection, or the body
// has the length the head announced. None before, or when the head never ends.
std::optional<Answer> Complete(const std::string& read, bool closed)
{
    const size_t headEnd = read.find("\r\n\r\n");
    if (headEnd == std::string::npos)
        return std::nullopt;
    const wxArrayString head = wxSplit(wxString::FromUTF8(read.data(), headEnd), '\n', 0);
    Answer answer;
    if (!head.empty() && head[0].StartsWith("HTTP/"))
        head[0].AfterFirst(' ').BeforeFirst(' ').ToLong(&answer.status);
    answer.body = read.substr(headEnd + 4);
    bool sized = false;
    for (size_t i = 1; i < head.size() && !sized; ++i) {
        unsigned long length = 0;
        sized = head[i].BeforeFirst(':').IsSameAs("Content-Length", false) &&
                head[i].AfterFirst(':').Trim().Trim(false).ToULong(&length) &&
                answer.body.size() >= length;
        if (sized)
            answer.body.resize(length);
    }
    if (!sized && !closed)
        return std::nullopt;
    return answer;
}

// One connection to host:port ("host" or "host:port"): the request sent, the answer read until
// it is complete or the deadline. False when nothing at all came back (refused, unreachable,
// dropped at once).
bool Exchange(const wxString& hostPort, unsigned short port, Clock::time_point deadline,
              std::optional<Answer>& answer)
{
    const wxString host = hostPort.BeforeFirst(':');
    wxIPV4address address;
    if (!address.Hostname(host) || !address.Service(port))
        return false;
    // No events are handled while it waits: the check must not run twice at once.
    wxSocketClient socket(wxSOCKET_BLOCK);
    socket.SetTimeout(kTimeoutMs / 1000);
    // A refused connection fails at once; others are waited for.
    const bool connected = socket.Connect(address, false) ||
                           (socket.LastError() == wxSOCKET_WOULDBLOCK &&
                            socket.WaitOnConnect(0, WaitMs(deadline)) && socket.IsConnected());
    if (!connected)
        return false;
    const std::string request = ("GET /version.txt HTTP/1.0\r\nHost: " + hostPort +
                                 "\r\nContent-type: text/plain\r\n\r\n").utf8_string();
    socket.Write(request.data(), request.size());
    std::string read;
    char buffer[1024];
    while (!answer && read.size() <= kMaxAnswer) {
        const long wait = WaitMs(deadline);
        if (wait == 0 || !socket.WaitForRead(0, wait))
            break;
        socket.Read(buffer, sizeof buffer);
        read.append(buffer, socket.LastCount());
        answer = Complete(read, socket.LastCount() == 0);
        if (socket.LastCount() == 0)
            break;
    }
    return !read.empty();
}

} // namespace

wxString WebHost()
{
    wxString host;
    if (wxGetEnv(kWebHostVariable, &host) && !host.empty())
        return host;
    return DRALVO_WEB_HOST;
}

wxString HomePageAddress()
{
    return "http://" + WebHost() + "/";
}

bool OpenInBrowser(const wxString& address)
{
    if (Launcher())
        return Launcher()(address);
    // The caller tells the user in the program's words; the toolkit's own box would say it
    // again, in English.
    const wxLogNull quiet;
    return wxLaunchDefaultBrowser(address);
}

BrowserLauncher SetBrowserLauncher(BrowserLauncher launcher)
{
    BrowserLauncher previous = std::move(Launcher());
    Launcher() = std::move(launcher);
    return previous;
}

bool IsVersionText(const wxString& text)
{
    bool digit = false;
    for (const wxUniChar c : text) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '.')
            return false;
    }
    return digit;
}

int CompareVersions(const wxString& a, const wxString& b)
{
    const wxArrayString left = wxSplit(a, '.', 0), right = wxSplit(b, '.', 0);
    for (size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
        const wxString x = Significant(i < left.size() ? left[i] : wxString());
        const wxString y = Significant(i < right.size() ? right[i] : wxString());
        if (x.length() != y.length())
            return x.length() < y.length() ? -1 : 1;
        if (const int order = x.Cmp(y); order != 0)
            return order < 0 ? -1 : 1;
    }
    return 0;
}

bool FetchLatestVersion(wxString& version, const UpdateCheckLimits& limits)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(limits.totalMs);
    const wxString address = WebHost();
    unsigned long port = 80;
    if (address.Contains(":") && (!address.AfterFirst(':').ToULong(&port) || port > 65535))
        return false;
    std::optional<Answer> answer;
    for (int attempt = 0; attempt < limits.attempts; ++attempt) {
        if (attempt > 0) {
            if (Clock::now() + std::chrono::milliseconds(limits.pauseMs) >= deadline)
                return false;
            wxMilliSleep(limits.pauseMs);
        }
        if (Exchange(address, static_cast<unsigned short>(port), deadline, answer))
            break;
    }
    if (!answer || answer->status != 200)
        return false;
    wxString text = wxString::FromUTF8(answer->body.data(), answer->body.size());
    text.Trim(true).Trim(false);
    if (!IsVersionText(text))
        return false;
    version = text;
    return true;
}
