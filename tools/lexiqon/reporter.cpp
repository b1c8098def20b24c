#include "reporter.h"

#include <ostream>

namespace lexiqon {

void Reporter::Error(const std::string& where, const std::string& text) {
  ++errors_;
  err_ << "lexiqon: " << where << ": error: " << text << '\n';
}

void Reporter::Warning(const std::string& where, const std::string& text) {
  ++warnings_;
  err_ << "lexiqon: " << where << ": warning: " << text << '\n';
}

}  // namespace lexiqon
