// String churn through the core library's small-block allocator against the
// standard allocator: build, grow and drop short strings as the launcher does.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "vantilcore/allocator.h"

namespace {

template <class String>
void Churn(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0));
  std::vector<String> live(64);
  std::size_t slot = 0;
  for (auto _ : state) {
    String text(length, u'x');
    text.append(u"/suffix");
    live[slot] = std::move(text);
    slot = (slot + 1) % live.size();
    benchmark::DoNotOptimize(live[slot].data());
  }
}

void BM_Utf16StringSba(benchmark::State& state) { Churn<UTF16String>(state); }
void BM_StdU16String(benchmark::State& state) { Churn<std::u16string>(state); }

}  // namespace

BENCHMARK(BM_Utf16StringSba)->Arg(8)->Arg(40)->Arg(120)->Arg(400)->ThreadRange(1, 2);
BENCHMARK(BM_StdU16String)->Arg(8)->Arg(40)->Arg(120)->Arg(400)->ThreadRange(1, 2);
BENCHMARK_MAIN();
