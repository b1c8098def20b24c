#include "dictionary_files.h"

#include <sstream>

#include "input_file.h"
#include "tessvik/compiled_file.h"

namespace lexiqon {

void LoadBytes(tessvik::Dictionary& dictionary, const std::string& bytes) {
  // Compiled files are read from seekable streams, so standard input is
  // read whole first.
  std::istringstream stream(bytes, std::ios::binary);
  dictionary.Load(stream);
}

void LoadFiles(tessvik::Dictionary& dictionary, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) LoadBytes(dictionary, ReadInput(path));
}

bool IsCompiled(const std::string& bytes) {
  std::istringstream stream(bytes, std::ios::binary);
  return tessvik::ReadCompiledFormat(stream).has_value();
}

std::string LittleEndianBytes(std::u16string_view units) {
  std::string bytes(units.size() * 2, '\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  return bytes;
}

}  // namespace lexiqon
