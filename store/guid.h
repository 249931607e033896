#pragma once

#include <mutex>
#include <random>

#include <wx/string.h>

// Makes row GUIDs: eight values 0..32767 formatted "%04x%04x-%04x-%04x-%04x-%04x%04x%04x",
// the last value drawn in the first group. Each generator is seeded from std::random_device,
// never from the clock, so two stations started in the same second differ. Thread-safe.
class GuidGenerator {
public:
    GuidGenerator();
    wxString Next();

private:
    std::mutex mutex_;
    std::mt19937 engine_;
};

// A new row GUID from the process-wide generator. Thread-safe.
wxString NewGuid();

// The current local time as "%Y-%m-%d %H:%M:%S", the catalogue's MODIFIED form.
wxString NowText();
