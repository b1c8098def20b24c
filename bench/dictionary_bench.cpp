// Dictionary lookups and loads on generated dictionaries of 1k, 20k and
// 100k keys, side by side with glibc's gettext on the same texts.
// bench/dictionary_ratios.sh turns the figures into the ratios we aim for.
#include <benchmark/benchmark.h>
#include <libintl.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dictionary_corpus.h"
#include "tessvik/dictionary.h"

namespace {

namespace fs = std::filesystem;
using pellicor_bench::Entry;

constexpr std::size_t kSizes[] = {1000, 20000, 100000};
constexpr std::size_t kProbes = 4096;  // texts cycled through per benchmark
constexpr char kLanguage[] = "xx";

class TempDir {
 public:
  TempDir()
      : path_(fs::temp_directory_path() / ("dictionary_bench_" + std::to_string(::getpid()))) {
    fs::create_directories(path_ / kLanguage / "LC_MESSAGES");
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

const TempDir& Temp() {
  static const TempDir dir;
  return dir;
}

std::unique_ptr<tessvik::Dictionary> LoadFile(const fs::path& path) {
  auto dictionary = std::make_unique<tessvik::Dictionary>();
  std::ifstream stream(path, std::ios::binary);
  dictionary->Load(stream);
  return dictionary;
}

std::string AsciiText(const std::u16string& text) {
  std::string ascii;
  for (char16_t unit : text) {
    if (unit < 0x80) ascii.push_back(static_cast<char>(unit));
  }
  return ascii;
}

// One generated dictionary in every form, with the texts to look up.
struct Corpus {
  explicit Corpus(std::size_t n) {
    const std::vector<Entry> entries = pellicor_bench::MakeEntries(n, 1);
    const std::string name = "pellicor_bench_" + std::to_string(n);
    textPath = Temp().Path() / (name + ".txt");
    compiledPath = Temp().Path() / (name + ".dat");
    domain = name;
    pellicor_bench::WriteTextDictionary(textPath.string(), entries);
    pellicor_bench::WriteCompiledDictionary(compiledPath.string(), entries);
    pellicor_bench::WriteMoFile(
        (Temp().Path() / kLanguage / "LC_MESSAGES" / (name + ".mo")).string(), entries);
    bindtextdomain(domain.c_str(), Temp().Path().c_str());

    // Probes drawn uniformly from the keys, so that each bucket is hit as
    // often as it has entries.
    // Key texts carry their English text as the default, as callers do.
    std::mt19937 random(2);
    std::uniform_int_distribution<std::size_t> pick(0, n - 1);
    for (std::size_t i = 0; i < kProbes; ++i) {
      const Entry& entry = entries[pick(random)];
      hitIds.push_back("$$$" + entry.key);
      hitTexts.push_back(hitIds.back() + "=" + AsciiText(entry.value));
    }
    for (const std::string& key : pellicor_bench::MakeMissingKeys(entries, kProbes, 3)) {
      missIds.push_back("$$$" + key);
      missTexts.push_back(missIds.back() + "=" + AsciiText(entries[pick(random)].value));
    }
    table = LoadFile(textPath);
    blocks = LoadFile(compiledPath);
  }

  fs::path textPath;
  fs::path compiledPath;
  std::string domain;
  std::vector<std::string> hitIds, hitTexts, missIds, missTexts;
  std::unique_ptr<tessvik::Dictionary> table;   // entry table, from the text file
  std::unique_ptr<tessvik::Dictionary> blocks;  // block store, from the compiled file
};

const Corpus& CorpusFor(std::size_t n) {
  static std::map<std::size_t, std::unique_ptr<Corpus>> corpora;
  auto& corpus = corpora[n];
  if (!corpus) corpus = std::make_unique<Corpus>(n);
  return *corpus;
}

// The localizer's calling order for one key: lookup, length, copy, release.
void LookupTexts(benchmark::State& state, tessvik::Dictionary& dictionary,
                 const std::vector<std::string>& texts) {
  char16_t buffer[512];
  std::size_t i = 0;
  for (auto _ : state) {
    const auto result = dictionary.Lookup(texts[i].c_str(), nullptr);
    const std::uint32_t length = std::min<std::uint32_t>(result.Length(), 512);
    result.CopyTo(buffer, length, false);
    benchmark::DoNotOptimize(buffer[0]);
    i = (i + 1) % texts.size();
  }
}

void Lookup(benchmark::State& state, bool compiled, bool hit) {
  const Corpus& corpus = CorpusFor(static_cast<std::size_t>(state.range(0)));
  tessvik::Dictionary& dictionary = compiled ? *corpus.blocks : *corpus.table;
  if (hit && !dictionary.Contains(corpus.hitTexts[0].c_str())) state.SkipWithError("not loaded");
  LookupTexts(state, dictionary, hit ? corpus.hitTexts : corpus.missTexts);
}

void Gettext(benchmark::State& state, bool withDomain, bool hit) {
  const Corpus& corpus = CorpusFor(static_cast<std::size_t>(state.range(0)));
  const std::vector<std::string>& ids = hit ? corpus.hitIds : corpus.missIds;
  if (hit && dgettext(corpus.domain.c_str(), ids[0].c_str()) == ids[0].c_str()) {
    state.SkipWithError("gettext found no catalogue");
  }
  textdomain(corpus.domain.c_str());
  std::size_t i = 0;
  for (auto _ : state) {
    const char* text =
        withDomain ? dgettext(corpus.domain.c_str(), ids[i].c_str()) : gettext(ids[i].c_str());
    benchmark::DoNotOptimize(text);
    i = (i + 1) % ids.size();
  }
}

void Load(benchmark::State& state, bool compiled) {
  const Corpus& corpus = CorpusFor(static_cast<std::size_t>(state.range(0)));
  const fs::path& path = compiled ? corpus.compiledPath : corpus.textPath;
  for (auto _ : state) {
    std::unique_ptr<tessvik::Dictionary> dictionary = LoadFile(path);
    benchmark::DoNotOptimize(dictionary->IsValid());
    state.PauseTiming();  // destruction is not part of the load
    dictionary.reset();
    state.ResumeTiming();
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(path));
}

// The machine is shared: with repetitions, the fastest run is the figure
// least disturbed by other work.
double Fastest(const std::vector<double>& runs) {
  return *std::min_element(runs.begin(), runs.end());
}

void Sizes(benchmark::internal::Benchmark* bench) {
  for (std::size_t n : kSizes) bench->Arg(static_cast<std::int64_t>(n));
  bench->ComputeStatistics("min", Fastest);
}

void Register(const std::string& name, void (*run)(benchmark::State&, bool, bool), bool a, bool b) {
  Sizes(benchmark::RegisterBenchmark(name.c_str(), run, a, b));
}

}  // namespace

int main(int argc, char** argv) {
  // gettext ignores LANGUAGE in the "C" locale, not in C.UTF-8, which
  // every glibc system has; the catalogues sit under the language "xx".
  setenv("LANGUAGE", kLanguage, 1);
  if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) std::setlocale(LC_ALL, "C.utf8");

  Register("Lookup/table/hit", Lookup, false, true);
  Register("Lookup/table/miss", Lookup, false, false);
  Register("Lookup/blocks/hit", Lookup, true, true);
  Register("Lookup/blocks/miss", Lookup, true, false);
  Register("gettext/hit", Gettext, false, true);
  Register("gettext/miss", Gettext, false, false);
  Register("dgettext/hit", Gettext, true, true);
  Register("dgettext/miss", Gettext, true, false);
  for (bool compiled : {true, false}) {
    auto* bench = benchmark::RegisterBenchmark(compiled ? "Load/compiled_v2" : "Load/text_utf16",
                                               Load, compiled);
    Sizes(bench);
    bench->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
