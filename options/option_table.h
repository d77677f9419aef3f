#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
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
  struct Slot {
    std::uint32_t nameOffset;  // in texts_, plus one; 0 for a free slot
    std::uint32_t hash;        // of the name, so that most mismatches need no comparison
  };

  std::size_t SlotFor(std::string_view name, std::uint32_t hash) const;
  std::string_view NameAt(const Slot& slot) const;
  void GrowIndex();

  std::string texts_;
  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace options
