#include "engine/dir_entry.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "engine/relative_path.h"

namespace {

std::size_t HashKey(std::string_view key)
{
    return std::hash<std::string_view>()(key);
}

constexpr std::size_t kBlockSize = 64 * 1024;

// Whether rel (native separators) is the key with "/" for "\".
bool IsKeyForm(std::string_view rel, std::string_view key)
{
    if (rel.size() != key.size())
        return false;
    for (std::size_t i = 0; i < rel.size(); ++i)
        if (rel[i] != key[i] && !(rel[i] == '/' && key[i] == '\\'))
            return false;
    return true;
}

} // namespace

std::string DirEntry::Rel(bool stationSide) const
{
    const char* rel = stationSide ? stationRel_ : mediumRel_;
    if (!rel)
        return std::string();
    std::string text(rel);
    if (rel == key.Data())
        std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

void DirEntry::AppendRel(wxString& out, bool stationSide) const
{
    const char* rel = stationSide ? stationRel_ : mediumRel_;
    if (!rel)
        return;
    const std::size_t start = out.length();
    AppendUtf8(out, rel);
    if (rel == key.Data())
        for (std::size_t i = start; i < out.length(); ++i)
            if (out[i] == '\\')
                out[i] = '/';
}

std::size_t DirEntryList::SlotOf(std::string_view key, std::size_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    const auto shortHash = static_cast<std::uint32_t>(hash);
    for (std::size_t i = shortHash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.position == 0)
            return i;
        if (slot.hash == shortHash && entries_[slot.position - 1].key == key)
            return i;
    }
}

void DirEntryList::Grow()
{
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.resize(old.empty() ? 64 : old.size() * 2);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.position == 0)
            continue;
        // Keys in the table are distinct: the first free slot is the place.
        std::size_t i = slot.hash & mask;
        while (slots_[i].position != 0)
            i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

const char* DirEntryList::Keep(std::string_view text)
{
    const std::size_t need = text.size() + 1;
    if (blocks_.empty() || blockUsed_ + need > blockSize_) {
        blockSize_ = std::max(kBlockSize, need);
        blocks_.push_back(std::make_unique<char[]>(blockSize_));
        blockUsed_ = 0;
    }
    char* kept = blocks_.back().get() + blockUsed_;
    std::memcpy(kept, text.data(), text.size());
    kept[text.size()] = '\0';
    blockUsed_ += need;
    return kept;
}

DirEntry& DirEntryList::FindOrAdd(std::string_view key)
{
    if ((entries_.size() + 1) * 2 > slots_.size())
        Grow();
    const std::size_t hash = HashKey(key);
    const std::size_t i = SlotOf(key, hash);
    if (slots_[i].position != 0)
        return entries_[slots_[i].position - 1];
    DirEntry& entry = entries_.emplace_back();
    entry.key = EntryText(Keep(key));
    slots_[i] = {static_cast<std::uint32_t>(entries_.size()), static_cast<std::uint32_t>(hash)};
    return entry;
}

const DirEntry* DirEntryList::Find(std::string_view key) const
{
    if (slots_.empty())
        return nullptr;
    const Slot& slot = slots_[SlotOf(key, HashKey(key))];
    return slot.position ? &entries_[slot.position - 1] : nullptr;
}

void DirEntryList::AddName(DirEntry& entry, bool stationSide, std::string_view rel)
{
    const char*& own = stationSide ? entry.stationRel_ : entry.mediumRel_;
    const char* other = stationSide ? entry.mediumRel_ : entry.stationRel_;
    std::uint16_t& count = stationSide ? entry.stationCount : entry.mediumCount;
    // Most paths are their key with "/", and both sides mostly write a name alike.
    if (IsKeyForm(rel, entry.key))
        own = entry.key.Data();
    else if (other && other != entry.key.Data() && rel == other)
        own = other;
    else if (!own || own == entry.key.Data() || own == other || rel != own)
        own = Keep(rel);
    if (count < UINT16_MAX)
        ++count;
}

void DirEntryList::ReleaseIndex()
{
    std::vector<Slot>().swap(slots_);
}

void DirEntryList::clear()
{
    entries_.clear();
    slots_.clear();
    blocks_.clear();
    blockUsed_ = blockSize_ = 0;
}

bool UnreadableDirs::Blocks(bool stationSide, std::string_view key) const
{
    for (const std::string& prefix : stationSide ? station : medium)
        if (key.substr(0, prefix.size()) == prefix)
            return true;
    return false;
}

bool UnreadableDirs::Hides(bool stationSide, std::string_view key) const
{
    return (stationSide ? stationMissing : mediumMissing) || Blocks(stationSide, key);
}

void UnreadableDirs::clear()
{
    *this = UnreadableDirs();
}
