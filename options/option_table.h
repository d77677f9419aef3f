#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace options {

// The parser's table: each option's name and value are kept zero-terminated, one after the
// other, in a single text buffer, and an open-addressing index over the names finds them. A
// parse thus makes a handful of allocations whatever the number of options, and a lookup none.
class OptionTable {
 public:
  // Empties the table, and makes room for the options of a text of textLength bytes: their
  // names and values take at most that much (plus one) unless folding lengthens a name.
  void Clear(std::size_t textLength = 0);

  // Adds the option unless its name is already present: the first occurrence wins.
  void AddIfAbsent(std::string_view name, std::string_view value);

  // The stored value, or nullptr when name is absent.
  const char* Find(std::string_view name) const;

  // Every option as (name, value), ordered by name.
  std::vector<std::pair<std::string_view, std::string_view>> Sorted() const;

 private:
  static constexpr std::uint32_t kEmptySlot = 0;

  std::size_t SlotFor(std::string_view name) const;
  std::string_view NameAt(std::uint32_t slotValue) const;
  void GrowIndex();

  std::string texts_;
  std::vector<std::uint32_t> slots_;  // offset of a name in texts_ plus one; kEmptySlot if free
  std::size_t count_ = 0;
};

}  // namespace options
