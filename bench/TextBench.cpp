// Throughput of TextBetweenAll over a large page against plain memmem over the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "text/TextHelpers.h"

namespace {

// 16 MiB of page-like text: ASCII markup, Chinese GBK text (some trail bytes in the ASCII range)
// and an entry every few kilobytes.
const std::string& Page() {
  static const std::string page = [] {
    std::mt19937 random(42);
    std::string text;
    text.reserve(16u << 20);
    const char* markup[] = {"<div class=\\\"item\\\">", "<span>", "</span>", "<a href=\\\"/album/12345\\\">",
                            "</a>", "\\n", " ", "<p class=\\\"elli c02\\\">"};
    int entry = 0;
    while (text.size() < (16u << 20)) {
      const int kind = static_cast<int>(random() % 10);
      if (kind < 4) {
        text += markup[random() % 8];
      } else if (kind < 9) {
        for (int i = 0; i < 8; ++i) {
          text += static_cast<char>(0xB0 + random() % 0x40);
          text += static_cast<char>(0x40 + random() % 0xBE);  // trail bytes, some of them ASCII
        }
      } else if (++entry % 50 == 0) {
        text += "<li sound_ids=\\\"1\\\"> entry text </li>";
      }
    }
    return text;
  }();
  return page;
}

void BM_TextBetweenAll(benchmark::State& state) {
  const std::string& page = Page();
  std::vector<std::string> pieces;
  for (auto _ : state) {
    benchmark::DoNotOptimize(orvane::TextBetweenAll(page, "sound_ids", "</li>", pieces));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
  state.counters["pieces"] = static_cast<double>(pieces.size());
}
BENCHMARK(BM_TextBetweenAll)->Unit(benchmark::kMillisecond);

// The same page searched for both markers with memmem: the floor any marker search compares with.
void BM_Memmem(benchmark::State& state) {
  const std::string& page = Page();
  for (auto _ : state) {
    std::size_t found = 0;
    const char* pos = page.data();
    const char* end = page.data() + page.size();
    while (true) {
      const void* start = memmem(pos, static_cast<std::size_t>(end - pos), "sound_ids", 9);
      if (start == nullptr) break;
      const void* stop = memmem(start, static_cast<std::size_t>(end - static_cast<const char*>(start)), "</li>", 5);
      if (stop == nullptr) break;
      ++found;
      pos = static_cast<const char*>(stop);
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_Memmem)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
