// The installed localizer's GetLocalizedString on the 20k-key dictionary of
// the dictionary benchmark, on one and two threads, side by side with
// glibc's gettext on the same texts; prints ours against gettext's at the end.
#include <benchmark/benchmark.h>
#include <libintl.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dictionary_corpus.h"
#include "fe_localizer.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kKeys = 20000;
constexpr std::size_t kProbes = 4096;
constexpr char kLanguage[] = "xx";
constexpr char kDomain[] = "pellicor_localizer_bench";

struct Corpus {
  Corpus() : dir(fs::temp_directory_path() / ("localizer_bench_" + std::to_string(::getpid()))) {
    const std::vector<pellicor_bench::Entry> entries = pellicor_bench::MakeEntries(kKeys, 1);
    fs::create_directories(dir / kLanguage / "LC_MESSAGES");
    pellicor_bench::WriteCompiledDictionary((dir / "lexdictionary.dat").string(), entries);
    pellicor_bench::WriteMoFile(
        (dir / kLanguage / "LC_MESSAGES" / (std::string(kDomain) + ".mo")).string(), entries);
    bindtextdomain(kDomain, dir.c_str());
    textdomain(kDomain);

    const std::u16string folder = dir.u16string();
    localizer.LoadDictionary(UTF16String(folder.begin(), folder.end()));

    std::mt19937 random(2);
    std::uniform_int_distribution<std::size_t> pick(0, kKeys - 1);
    for (std::size_t i = 0; i < kProbes; ++i) {
      const pellicor_bench::Entry& entry = entries[pick(random)];
      hitIds.push_back("$$$" + entry.key);
      hitTexts.push_back(hitIds.back() + "=" + pellicor_bench::ToUtf8(entry.value));
    }
    for (const std::string& key : pellicor_bench::MakeMissingKeys(entries, kProbes, 3)) {
      missIds.push_back("$$$" + key);
      missTexts.push_back(missIds.back() + "=Default text");
    }
  }
  ~Corpus() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  fs::path dir;
  FE::Localizer localizer;
  std::vector<std::string> hitIds, hitTexts, missIds, missTexts;
};

Corpus* corpus = nullptr;

void Localized(benchmark::State& state, bool hit) {
  vantilcore::config::Localizer& localizer = corpus->localizer;
  const std::vector<std::string>& texts = hit ? corpus->hitTexts : corpus->missTexts;
  std::size_t i = static_cast<std::size_t>(state.thread_index()) * 997;
  UTF16String result;
  for (auto _ : state) {
    localizer.GetLocalizedString(result, texts[i % texts.size()].c_str());
    benchmark::DoNotOptimize(result.data());
    ++i;
  }
}

void Gettext(benchmark::State& state, bool hit) {
  const std::vector<std::string>& ids = hit ? corpus->hitIds : corpus->missIds;
  if (hit && state.thread_index() == 0 && gettext(ids[0].c_str()) == ids[0].c_str()) {
    state.SkipWithError("gettext found no catalogue");
  }
  std::size_t i = static_cast<std::size_t>(state.thread_index()) * 997;
  for (auto _ : state) {
    benchmark::DoNotOptimize(gettext(ids[i % ids.size()].c_str()));
    ++i;
  }
}

// Collects each run's time per call so that the ratios can be printed.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (!run.error_occurred) nanoseconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\n%-6s %-8s %10s %10s %8s\n", "call", "threads", "ours ns", "gettext", "ratio");
    for (const char* kind : {"hit", "miss"}) {
      for (int threads : {1, 2}) {
        const std::string suffix =
            std::string("/") + kind + "/real_time/threads:" + std::to_string(threads);
        const auto ours = nanoseconds_.find("GetLocalizedString" + suffix);
        const auto theirs = nanoseconds_.find("gettext" + suffix);
        if (ours == nanoseconds_.end() || theirs == nanoseconds_.end()) continue;
        std::printf("%-6s %-8d %10.1f %10.1f %7.2fx\n", kind, threads, ours->second, theirs->second,
                    theirs->second / ours->second);
      }
    }
  }

 private:
  std::map<std::string, double> nanoseconds_;
};

}  // namespace

int main(int argc, char** argv) {
  // gettext ignores LANGUAGE in the "C" locale, not in C.UTF-8.
  setenv("LANGUAGE", kLanguage, 1);
  if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) std::setlocale(LC_ALL, "C.utf8");
  Corpus shared;
  corpus = &shared;

  for (bool hit : {true, false}) {
    const std::string kind = hit ? "/hit" : "/miss";
    benchmark::RegisterBenchmark(("GetLocalizedString" + kind).c_str(), Localized, hit)
        ->Threads(1)
        ->Threads(2)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("gettext" + kind).c_str(), Gettext, hit)
        ->Threads(1)
        ->Threads(2)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
