#pragma once

#include <wx/string.h>

// A new row GUID: eight values 0..32767 formatted "%04x%04x-%04x-%04x-%04x-%04x%04x%04x",
// the last value drawn in the first group. The generator is seeded once from
// std::random_device (never the clock, so two stations started in the same second differ).
// Thread-safe.
wxString NewGuid();

// The current local time as "%Y-%m-%d %H:%M:%S", the catalogue's MODIFIED form.
wxString NowText();
