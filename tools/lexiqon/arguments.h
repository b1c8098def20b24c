#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace lexiqon {

// A usage error: reported with the usage text and exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file that cannot be read or written: exit status 2.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct OptionNames {
  std::set<std::string> flags;   // e.g. --units
  std::set<std::string> values;  // options that take a value, e.g. -d
};

// The command line of one subcommand: options in order, then operands.
class Arguments {
 public:
  Arguments(const std::vector<std::string>& words, const OptionNames& options);

  bool Flag(const std::string& name) const { return flags_.count(name) != 0; }
  const std::vector<std::string>& Values(const std::string& name) const;
  // The option's single value, or fallback when it is absent.
  std::string Value(const std::string& name, const std::string& fallback) const;
  const std::vector<std::string>& Operands() const { return operands_; }

 private:
  std::set<std::string> flags_;
  std::map<std::string, std::vector<std::string>> values_;
  std::vector<std::string> operands_;
};

}  // namespace lexiqon
