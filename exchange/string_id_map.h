#pragma once

#include <unordered_map>

#include <wx/defs.h>
#include <wx/hashmap.h>
#include <wx/string.h>

// A hash map from a text (a project caption, a row GUID) to a catalogue ID. Made with 100
// buckets rounded up to the next prime; its order of iteration is its own.
class StringIdMap : public std::unordered_map<wxString, wxUint32, wxStringHash, wxStringEqual> {
public:
    StringIdMap() : unordered_map(101) {}
};
