#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <wx/string.h>

#include "engine/relative_path.h"
#include "store/file_time.h"

// A text kept by a DirEntryList (UTF-8, never moved while the list holds it).
class EntryText {
public:
    EntryText() = default;
    explicit EntryText(const char* text) : text_(text) {}
    std::string_view View() const { return text_ ? std::string_view(text_) : std::string_view(); }
    operator std::string_view() const { return View(); }
    operator std::string() const { return std::string(View()); }
    bool operator==(std::string_view other) const { return View() == other; }
    const char* Data() const { return text_; }

private:
    const char* text_ = nullptr;
};

// One name found under a compared folder, pairing what the station side and the medium side
// hold under the same lower-cased relative path (".bz2" of compressed files dropped). The
// station side is side 1, the medium side 2. A count above 1 means names of one side that
// differ only in case, or a file both plain and compressed (a case twin). Texts are UTF-8
// (see relative_path.h) and live in the list that made the entry: an entry of a million-file
// folder costs a few dozen bytes besides its key.
struct DirEntry {
    EntryText key;             // lower-cased, "\"-separated relative path
    FileTime stationTime = 0;  // files only
    FileTime mediumTime = 0;
    std::uint16_t stationCount = 0;  // stops at its maximum
    std::uint16_t mediumCount = 0;
    // The ".bz2" cut off the file's name on the side, as last found.
    CompressedSuffix stationSuffix = 0;
    CompressedSuffix mediumSuffix = 0;

    // The native relative path as last found on the side; empty when absent there.
    std::string Rel(bool stationSide) const;
    // out += root-relative path of the side as wide text, in one step.
    void AppendRel(wxString& out, bool stationSide) const;
    bool HasRel(bool stationSide) const { return (stationSide ? stationRel_ : mediumRel_); }

private:
    friend class DirEntryList;
    // Null when absent; the key's own text when the path is the key with "/" for "\".
    const char* stationRel_ = nullptr;
    const char* mediumRel_ = nullptr;
};

// Entries in the order they were made, with an index on the key so that pairing a name costs
// the same however many entries there are. Entries never move once made. Not thread-safe.
class DirEntryList {
public:
    DirEntryList() = default;
    DirEntryList(const DirEntryList&) = delete;
    DirEntryList& operator=(const DirEntryList&) = delete;

    // The entry for the key, appended at the end when there is none yet.
    DirEntry& FindOrAdd(std::string_view key);
    // The entry for the key, or null.
    const DirEntry* Find(std::string_view key) const;
    // Records a name of one side on its entry: the path found last wins, the count goes up.
    void AddName(DirEntry& entry, bool stationSide, std::string_view rel);
    // Frees the index: Find and FindOrAdd may not be called again until clear().
    void ReleaseIndex();
    // Drops the first entry (its texts stay until clear()); only without the index.
    void DropFirst() { entries_.pop_front(); }

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
    // A copy of the text, NUL-terminated, in the list's own storage.
    const char* Keep(std::string_view text);

    std::deque<DirEntry> entries_;
    // Open addressing with linear probing, at most half full.
    std::vector<Slot> slots_;
    // Texts, packed into blocks that never move.
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_ = 0;
    std::size_t blockSize_ = 0;
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
