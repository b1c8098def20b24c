#include "arguments.h"

namespace lexiqon {

Arguments::Arguments(const std::vector<std::string>& words, const OptionNames& options) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (optionsEnded || word.size() < 2 || word[0] != '-') {
      operands_.push_back(word);
    } else if (word == "--") {
      optionsEnded = true;
    } else if (options.flags.count(word) != 0) {
      flags_.insert(word);
    } else if (options.values.count(word) != 0) {
      if (i + 1 == words.size()) throw UsageError("option " + word + " needs a value");
      values_[word].push_back(words[++i]);
    } else {
      throw UsageError("unknown option " + word);
    }
  }
}

const std::vector<std::string>& Arguments::Values(const std::string& name) const {
  static const std::vector<std::string> kNone;
  const auto found = values_.find(name);
  return found == values_.end() ? kNone : found->second;
}

std::string Arguments::Value(const std::string& name, const std::string& fallback) const {
  const std::vector<std::string>& values = Values(name);
  if (values.size() > 1) throw UsageError("option " + name + " given more than once");
  return values.empty() ? fallback : values.front();
}

}  // namespace lexiqon
