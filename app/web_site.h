#pragma once

#include <functional>

#include <wx/string.h>

// The product's web site: its host, the home page, the update check's version file and the
// browser. Needs no display except OpenInBrowser's default.

// Environment variable that replaces the built-in web host ("host" or "host:port").
inline constexpr const char* kWebHostVariable = "DRALVO_WEB_HOST";

// The web host: $DRALVO_WEB_HOST when set and not empty, else the one the build was given.
wxString WebHost();
// The home page's address on the web host.
wxString HomePageAddress();

// Opens the address in the default browser; false when it could not be started. GUI thread.
bool OpenInBrowser(const wxString& address);
// What OpenInBrowser calls: the address in, success out.
using BrowserLauncher = std::function<bool(const wxString& address)>;
// Replaces the launcher (tests observe the call this way) and returns the one set before; an
// empty function brings back wxLaunchDefaultBrowser.
BrowserLauncher SetBrowserLauncher(BrowserLauncher launcher);

// Compares two versions made of dot-separated decimal numbers, number by number as numbers
// (a missing number counts as 0): negative, zero or positive as a is older, equal or newer.
// Both must hold only digits and dots.
int CompareVersions(const wxString& a, const wxString& b);

// True when text is a version the update check accepts: digits and dots, at least one digit.
bool IsVersionText(const wxString& text);

// The bounds of one update check, which blocks the GUI thread: every wait on the network ends
// by the deadline (looking up the host's name is bounded only by the system's resolver).
struct UpdateCheckLimits {
    int attempts = 3;       // connections tried; one that gets no answer at all is tried again
    int pauseMs = 5000;     // between two attempts
    int totalMs = 15000;    // the whole check, pauses included
};

// Reads "/version.txt" from the web host over HTTP ("Content-type: text/plain", 10 s time-out
// for each wait). True and the trimmed body in version only for an HTTP 200 answer whose body
// is a version text; false on any failure and when limits.totalMs pass first. GUI thread.
bool FetchLatestVersion(wxString& version, const UpdateCheckLimits& limits = {});
