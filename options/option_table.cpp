#include "options/option_table.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace options {
namespace {

// Names are short: a multiplicative hash over eight bytes at a time, mixed at the end.
std::uint32_t HashOf(std::string_view name) {
  std::uint64_t hash = name.size() * 0x9E3779B97F4A7C15ull;
  const char* p = name.data();
  std::size_t left = name.size();
  for (; left >= 8; p += 8, left -= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
  }
  if (left > 0) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < left; ++i) {
      word |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    }
    hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
  }
  hash ^= hash >> 33;
  hash *= 0xC4CEB9FE1A85EC53ull;
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

// Most names are a few bytes long, too short to be worth a call to memcmp.
bool SameBytes(const char* a, const char* b, std::size_t size) {
  if (size > 16) return std::memcmp(a, b, size) == 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace

void OptionTable::Clear(std::size_t textLength) {
  texts_.clear();
  texts_.reserve(textLength + 1);
  // An index sized for an option every 32 bytes: a long text rehashes seldom, for at most a
  // quarter of its size in memory.
  std::size_t slots = 16;
  while (slots < textLength / 32) slots *= 2;
  slots_.assign(slots, Slot{0, 0});
  count_ = 0;
}

std::string_view OptionTable::NameAt(const Slot& slot) const {
  return std::string_view(texts_.data() + (slot.nameOffset - 1));
}

std::size_t OptionTable::SlotFor(std::string_view name, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const Slot& candidate = slots_[slot];
    if (candidate.nameOffset == 0) return slot;
    if (candidate.hash != hash) continue;
    // A stored name is followed by its terminator, its value and the value's terminator, so
    // the bytes compared lie within the table's text whenever the bound below holds.
    const std::size_t offset = candidate.nameOffset - 1;
    const char* stored = texts_.data() + offset;
    if (offset + name.size() < texts_.size() && stored[name.size()] == '\0' &&
        SameBytes(stored, name.data(), name.size())) {
      return slot;
    }
  }
}

void OptionTable::GrowIndex() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{0, 0});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.nameOffset == 0) continue;
    std::size_t free = slot.hash & mask;
    while (slots_[free].nameOffset != 0) free = (free + 1) & mask;
    slots_[free] = slot;
  }
}

void OptionTable::AddIfAbsent(std::string_view name, std::string_view value) {
  if ((count_ + 1) * 2 > slots_.size()) GrowIndex();
  const std::uint32_t hash = HashOf(name);
  Slot& slot = slots_[SlotFor(name, hash)];
  if (slot.nameOffset != 0) return;
  // Offsets are 32-bit to keep the index small; no command line comes near 4 GiB.
  if (texts_.size() + name.size() + value.size() + 2 >= std::numeric_limits<std::uint32_t>::max()) {
    throw std::bad_alloc();
  }
  slot = Slot{static_cast<std::uint32_t>(texts_.size() + 1), hash};
  texts_.append(name).push_back('\0');
  texts_.append(value).push_back('\0');
  ++count_;
}

const char* OptionTable::Find(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const Slot& slot = slots_[SlotFor(name, HashOf(name))];
  if (slot.nameOffset == 0) return nullptr;
  return texts_.data() + (slot.nameOffset - 1) + name.size() + 1;
}

std::vector<std::pair<std::string_view, std::string_view>> OptionTable::Sorted() const {
  std::vector<std::pair<std::string_view, std::string_view>> options;
  options.reserve(count_);
  for (const Slot& slot : slots_) {
    if (slot.nameOffset == 0) continue;
    const std::string_view name = NameAt(slot);
    options.emplace_back(name, std::string_view(name.data() + name.size() + 1));
  }
  std::sort(options.begin(), options.end());
  return options;
}

}  // namespace options
