#include "dictionary_files.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "arguments.h"
#include "tessvik/compiled_file.h"

namespace lexiqon {

void LoadFiles(tessvik::Dictionary& dictionary, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream || std::filesystem::is_directory(path)) throw FileError("cannot read " + path);
    dictionary.Load(stream);
  }
}

bool IsCompiledFile(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  if (!stream) throw FileError("cannot read " + path);
  return tessvik::ReadCompiledFormat(stream).has_value();
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw FileError("cannot write " + temporary);
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    throw FileError("cannot rename " + temporary + " to " + path);
  }
}

}  // namespace lexiqon
