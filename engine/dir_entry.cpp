#include "engine/dir_entry.h"

#include <functional>

namespace {

std::size_t HashKey(std::string_view key)
{
    return std::hash<std::string_view>()(key);
}

} // namespace

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

DirEntry& DirEntryList::FindOrAdd(std::string key)
{
    if ((entries_.size() + 1) * 2 > slots_.size())
        Grow();
    const std::size_t hash = HashKey(key);
    const std::size_t i = SlotOf(key, hash);
    if (slots_[i].position != 0)
        return entries_[slots_[i].position - 1];
    DirEntry& entry = entries_.emplace_back();
    entry.key = std::move(key);
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

void DirEntryList::clear()
{
    entries_.clear();
    slots_.clear();
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
