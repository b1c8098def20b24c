#include <tinyxml.h>

#include <mutex>
#include <string>
#include <utility>

#include "platform/utf_common.h"
#include "vantilcore/xml.h"

namespace vantilcore::xml {
namespace {

class WellFormednessParser : public DocParser {
 public:
  bool Parse(std::string_view text) override {
    // The parser reads up to a NUL: text with one inside is not a document.
    // It steps over a character by the length its first byte claims, so a
    // cut-off or invalid sequence would walk it past the end of the text.
    if (text.find('\0') != std::string_view::npos || !platform::IsWellFormedUtf8(text))
      return false;
    TiXmlDocument document;
    document.Parse(std::string(text).c_str(), nullptr, TIXML_ENCODING_UTF8);
    return !document.Error() && document.RootElement() != nullptr;
  }
};

struct FactoryState {
  std::mutex mutex;
  std::unique_ptr<DocParserFactory> factory;
};

FactoryState& State() {
  static FactoryState state;
  return state;
}

}  // namespace

DocParser::~DocParser() = default;
DocParserFactory::DocParserFactory() = default;
DocParserFactory::~DocParserFactory() = default;

std::unique_ptr<DocParser> MSXMLParserFactory::GetParser() {
  return std::make_unique<WellFormednessParser>();
}

void SetParserFactory(std::unique_ptr<DocParserFactory>& holder) {
  std::unique_ptr<DocParserFactory> previous;
  FactoryState& state = State();
  {
    std::lock_guard lock(state.mutex);
    previous = std::exchange(state.factory, std::move(holder));
  }
  // Deleted outside the lock: a factory's destructor may call back in.
}

}  // namespace vantilcore::xml
