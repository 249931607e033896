#include "app/web_site.h"

#include <algorithm>
#include <memory>

#include <wx/protocol/http.h>
#include <wx/sstream.h>
#include <wx/stream.h>
#include <wx/utils.h>

namespace {

// The largest version file read; anything longer is not a version.
constexpr size_t kMaxBody = 4096;
constexpr int kHttpTimeoutSeconds = 10;

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

bool ReadBody(wxInputStream& in, wxString& body)
{
    std::string bytes;
    char buffer[1024];
    while (!in.Eof() && bytes.size() <= kMaxBody) {
        in.Read(buffer, sizeof buffer);
        const size_t n = in.LastRead();
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    if (bytes.size() > kMaxBody)
        return false;
    body = wxString::FromUTF8(bytes.data(), bytes.size());
    return true;
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

bool FetchLatestVersion(wxString& version, int attempts, int pauseMs)
{
    const wxString address = WebHost();
    const wxString host = address.BeforeFirst(':');
    unsigned long port = 80;
    if (address.Contains(":") && !address.AfterFirst(':').ToULong(&port))
        return false;
    wxHTTP http;
    // No events are handled while it waits: the check must not run twice at once.
    http.SetFlags(wxSOCKET_BLOCK);
    http.SetHeader("Content-type", "text/plain");
    http.SetTimeout(kHttpTimeoutSeconds);
    bool connected = false;
    for (int attempt = 0; attempt < attempts && !connected; ++attempt) {
        if (attempt > 0)
            wxMilliSleep(pauseMs);
        connected = http.Connect(host, static_cast<unsigned short>(port));
    }
    if (!connected)
        return false;
    const std::unique_ptr<wxInputStream> in(http.GetInputStream("/version.txt"));
    wxString body;
    if (!in || http.GetResponse() != 200 || http.GetError() != wxPROTO_NOERR || !ReadBody(*in, body))
        return false;
    body.Trim(true).Trim(false);
    if (!IsVersionText(body))
        return false;
    version = body;
    return true;
}
