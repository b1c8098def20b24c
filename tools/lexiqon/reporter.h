#pragma once

#include <iosfwd>
#include <string>

namespace lexiqon {

// Findings on standard error as "lexiqon: FILE[:LINE]: error|warning: TEXT".
class Reporter {
 public:
  explicit Reporter(std::ostream& err) : err_(err) {}

  // where is the user's path, with ":LINE" when a line is meant.
  void Error(const std::string& where, const std::string& text);
  void Warning(const std::string& where, const std::string& text);

  int Errors() const { return errors_; }
  int Warnings() const { return warnings_; }
  std::ostream& Stream() { return err_; }

 private:
  std::ostream& err_;
  int errors_ = 0;
  int warnings_ = 0;
};

}  // namespace lexiqon
