#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "store/file_time.h"

// One name found under a compared folder, pairing what the station side and the medium side
// hold under the same lower-cased relative path (".bz2" of compressed files dropped). The
// station side is side 1, the medium side 2. A count above 1 means names of one side that
// differ only in case, or a file both plain and compressed (a case twin). Texts are UTF-8
// (see relative_path.h).
struct DirEntry {
    std::string stationRel;  // native relative path as last found on the station; empty when absent
    std::string mediumRel;   // the same for the medium
    std::string key;         // lower-cased, "\"-separated relative path
    FileTime stationTime = 0;  // files only
    FileTime mediumTime = 0;
    int stationCount = 0;
    int mediumCount = 0;
};

// Entries in the order they were made, with an index on the key so that pairing a name costs
// the same however many entries there are. Entries never move once made. Not thread-safe.
class DirEntryList {
public:
    // The entry for the key, appended at the end (taking the key over) when there is none yet.
    DirEntry& FindOrAdd(std::string key);
    // The entry for the key, or null.
    const DirEntry* Find(std::string_view key) const;

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const DirEntry& operator[](std::size_t i) const { return entries_[i]; }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }
    void clear();

private:
    struct Slot {
        std::uint32_t position = 0;  // 0 = free, otherwise the entry's position + 1
        std::uint32_t hash = 0;      // low bits of the key's hash, to skip most key comparisons
    };

    std::size_t SlotOf(std::string_view key, std::size_t hash) const;
    void Grow();

    std::deque<DirEntry> entries_;
    // Open addressing with linear probing, at most half full.
    std::vector<Slot> slots_;
};

// What the walks could not see. A directory of one side that exists but could not be read
// hides its content: nothing is planned for any name below it, on either side. A root that
// does not exist counts as empty, but nothing found on the other side is deleted for its sake
// (an unplugged medium must not empty the station). Prefixes are keys with "\" appended; the
// empty prefix stands for the whole side (its root could not be read).
struct UnreadableDirs {
    std::vector<std::string> station;
    std::vector<std::string> medium;
    bool stationMissing = false;
    bool mediumMissing = false;

    // Whether the key lies below an unreadable directory of the given side.
    bool Blocks(bool stationSide, std::string_view key) const;
    // Whether the key's absence on the given side proves nothing: Blocks, or a missing root.
    bool Hides(bool stationSide, std::string_view key) const;
    void clear();
};
