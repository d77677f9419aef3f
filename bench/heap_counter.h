#pragma once

#include <cstddef>

// Heap use of the benchmark process, counted by its replaced operator new and delete.
namespace heap_counter {

// Starts measuring a peak from now on; returns the bytes in use now.
std::size_t StartPeak();
// The most bytes in use at once since StartPeak.
std::size_t Peak();

}  // namespace heap_counter
