#include "prefetch/lists/list_document.h"

#include <tinyxml.h>

#include <boost/filesystem/operations.hpp>
#include <cstdio>
#include <memory>

#include "prefetch/locations/utf_text.h"

namespace SpeedLauncher {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle OpenForReading(const std::string& path) {
#ifdef _WIN32
  const std::u16string wide = ToUtf16(path);
  return FileHandle(_wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"rb"));
#else
  return FileHandle(std::fopen(path.c_str(), "rb"));
#endif
}

}  // namespace

bool LoadListDocument(const std::string& path, TiXmlDocument& document) {
  // A directory opens as a file on some systems; it is never a list.
  boost::system::error_code error;
  if (!boost::filesystem::is_regular_file(boost::filesystem::path(path), error)) return false;
  const FileHandle file = OpenForReading(path);
  if (!file) return false;
  return document.LoadFile(file.get(), TIXML_ENCODING_UTF8);
}

}  // namespace SpeedLauncher
