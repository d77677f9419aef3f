#include "options/option_table.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace options {
namespace {

std::size_t HashOf(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char byte : text) {
    hash = (hash ^ byte) * 1099511628211ull;
  }
  return static_cast<std::size_t>(hash ^ (hash >> 32));
}

}  // namespace

void OptionTable::Clear(std::size_t textLength) {
  texts_.clear();
  texts_.reserve(textLength + 1);
  slots_.clear();
  count_ = 0;
}

std::string_view OptionTable::NameAt(std::uint32_t slotValue) const {
  return std::string_view(texts_.data() + (slotValue - 1));
}

std::size_t OptionTable::SlotFor(std::string_view name) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = HashOf(name) & mask;
  while (slots_[slot] != kEmptySlot && NameAt(slots_[slot]) != name) {
    slot = (slot + 1) & mask;
  }
  return slot;
}

void OptionTable::GrowIndex() {
  std::vector<std::uint32_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, kEmptySlot);
  for (std::uint32_t slotValue : old) {
    if (slotValue != kEmptySlot) slots_[SlotFor(NameAt(slotValue))] = slotValue;
  }
}

void OptionTable::AddIfAbsent(std::string_view name, std::string_view value) {
  if ((count_ + 1) * 2 > slots_.size()) GrowIndex();
  const std::size_t slot = SlotFor(name);
  if (slots_[slot] != kEmptySlot) return;
  // Offsets are 32-bit to keep the index small; no command line comes near 4 GiB.
  if (texts_.size() + name.size() + value.size() + 2 >= std::numeric_limits<std::uint32_t>::max()) {
    throw std::bad_alloc();
  }
  slots_[slot] = static_cast<std::uint32_t>(texts_.size() + 1);
  texts_.append(name).push_back('\0');
  texts_.append(value).push_back('\0');
  ++count_;
}

const char* OptionTable::Find(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const std::uint32_t slotValue = slots_[SlotFor(name)];
  if (slotValue == kEmptySlot) return nullptr;
  return texts_.data() + (slotValue - 1) + name.size() + 1;
}

std::vector<std::pair<std::string_view, std::string_view>> OptionTable::Sorted() const {
  std::vector<std::pair<std::string_view, std::string_view>> options;
  options.reserve(count_);
  for (std::uint32_t slotValue : slots_) {
    if (slotValue == kEmptySlot) continue;
    const std::string_view name = NameAt(slotValue);
    options.emplace_back(name, std::string_view(name.data() + name.size() + 1));
  }
  std::sort(options.begin(), options.end());
  return options;
}

}  // namespace options
