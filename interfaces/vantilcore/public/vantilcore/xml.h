#pragma once

#include <memory>
#include <string_view>

#include "vantilcore/export.h"

namespace vantilcore::xml {

class VANTILCORE_API DocParser {
 public:
  virtual ~DocParser();
  // True when the text is a well-formed document.
  virtual bool Parse(std::string_view text) = 0;
};

class VANTILCORE_API DocParserFactory {
 public:
  DocParserFactory();
  virtual ~DocParserFactory();
  DocParserFactory(const DocParserFactory&) = delete;
  DocParserFactory& operator=(const DocParserFactory&) = delete;

  virtual std::unique_ptr<DocParser> GetParser() = 0;
};

class VANTILCORE_API MSXMLParserFactory : public DocParserFactory {
 public:
  std::unique_ptr<DocParser> GetParser() override;
};

// Takes the factory out of the holder; an empty holder leaves the library
// with none. The previous factory, if any, is deleted.
VANTILCORE_API void SetParserFactory(std::unique_ptr<DocParserFactory>& holder);

}  // namespace vantilcore::xml
