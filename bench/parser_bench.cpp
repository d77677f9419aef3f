// The parser on texts of five shapes and sizes from 4 KiB to 2 MiB. Each result gives bytes
// per second, the ratio of the parse time to a memcpy of the same text measured in the same
// run (the memory floor), and the parse's peak heap use as a multiple of the text's size.
#include <benchmark/benchmark.h>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "bench/heap_counter.h"
#include "options/command_line_parser.h"

namespace {

struct Shape {
  const char* name;
  std::string (*piece)(int index);
};

std::string Typical(int i) {
  return " /L:c:\\logs\\fax" + std::to_string(i) + ".log /debug -name" + std::to_string(i) +
         ":value" + std::to_string(i);
}
std::string Repeated(int i) { return i % 3 == 0 ? " /a" : i % 3 == 1 ? " /A" : " -a"; }
std::string Quoted(int i) {
  return " /p" + std::to_string(i) + ":\"c:\\my logs\\file " + std::to_string(i) + ".log\"";
}
std::string MarkersAndColons(int) { return "-:-:/:"; }
std::string FoldingMultibyte(int i) {
  return " /\xC3\x84\xC3\x96\xC3\x9C\xC3\x89-\xCE\xA3" + std::to_string(i) + ":wert";
}

const Shape kShapes[] = {{"typical", Typical},
                         {"repeated", Repeated},
                         {"quoted", Quoted},
                         {"markers_colons", MarkersAndColons},
                         {"multibyte_folding", FoldingMultibyte}};

std::string TextOf(const Shape& shape, std::size_t size) {
  std::string text = "\"C:\\Program Files\\Kestrovane\\Kestrovane.exe\"";
  for (int i = 0; text.size() < size; ++i) text += shape.piece(i);
  text.resize(size);
  return text;
}

// Seconds per memcpy of size bytes, the best of many rounds.
double MemcpySeconds(const std::string& text) {
  std::vector<char> target(text.size());
  double best = 1e9;
  for (int round = 0; round < 50; ++round) {
    const auto start = std::chrono::steady_clock::now();
    std::memcpy(target.data(), text.data(), text.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds < best) best = seconds;
  }
  return best;
}

void Parse(benchmark::State& state, const Shape& shape) {
  const std::string text = TextOf(shape, static_cast<std::size_t>(state.range(0)));
  CommandLineParser parser(nullptr, false);
  double parseSeconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    parser.Parse(text.c_str());
    benchmark::DoNotOptimize(parser.HasOption("l"));
    parseSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  // Peak heap of one parse by a fresh parser, over what was in use before it.
  const std::size_t before = heap_counter::StartPeak();
  { const CommandLineParser fresh(text.c_str(), false); }
  const double peak = static_cast<double>(heap_counter::Peak() - before);

  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["x_memcpy"] = parseSeconds / state.iterations() / MemcpySeconds(text);
  state.counters["ns_per_byte"] = parseSeconds * 1e9 / state.iterations() / text.size();
  state.counters["peak_heap_x_text"] = peak / text.size();
}

void RegisterAll() {
  for (const Shape& shape : kShapes) {
    benchmark::RegisterBenchmark((std::string("Parse/") + shape.name).c_str(),
                                 [&shape](benchmark::State& state) { Parse(state, shape); })
        ->RangeMultiplier(8)
        ->Range(4 << 10, 2 << 20)
        ->Arg(256 << 10)
        ->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::setlocale(LC_ALL, "C.UTF-8")) return 2;  // the multibyte shape folds UTF-8
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
