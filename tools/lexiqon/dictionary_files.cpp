#include "dictionary_files.h"

#include <sstream>

#include "analysis.h"
#include "input_file.h"
#include "input_kind.h"
#include "po_file.h"

namespace lexiqon {

namespace {

// A seekable input stream over bytes held elsewhere: a dictionary is read
// without a copy of the file.
class ByteView : public std::streambuf {
 public:
  explicit ByteView(const std::string& bytes) {
    char* begin = const_cast<char*>(bytes.data());  // only ever read
    setg(begin, begin, begin + bytes.size());
  }

 protected:
  pos_type seekoff(off_type offset, std::ios::seekdir direction, std::ios::openmode) override {
    const off_type base = direction == std::ios::beg   ? 0
                          : direction == std::ios::cur ? gptr() - eback()
                                                       : egptr() - eback();
    return seekpos(pos_type(base + offset), std::ios::in);
  }
  pos_type seekpos(pos_type position, std::ios::openmode) override {
    const off_type offset = position;
    if (offset < 0 || offset > egptr() - eback()) return pos_type(off_type(-1));
    setg(eback(), eback() + offset, egptr());
    return position;
  }
};

}  // namespace

void LoadBytes(tessvik::Dictionary& dictionary, const std::string& bytes) {
  ByteView view(bytes);
  std::istream stream(&view);
  dictionary.Load(stream);
}

void LoadFile(tessvik::Dictionary& dictionary, InputFile& file, const std::string& format,
              int pluralForm, Reporter& report) {
  const InputKind kind = DetectKind(file, format);
  if (kind == InputKind::kCompiled) return LoadBytes(dictionary, file.ReadAll());
  if (IsPoKind(kind)) {
    const PoCatalog catalog = ReadPo(file, {kind == InputKind::kPot, pluralForm}, report);
    return LoadBytes(dictionary, DefaultCompiled(catalog.entries));
  }
  InputBuffer buffer(file);
  std::istream stream(&buffer);
  dictionary.Load(stream);
  file.ThrowIfFailed();
}

std::optional<tessvik::CompiledFormat> ReadCompiledFormat(const std::string& bytes) {
  std::istringstream stream(bytes, std::ios::binary);
  return tessvik::ReadCompiledFormat(stream);
}

bool IsCompiled(const std::string& bytes) { return ReadCompiledFormat(bytes).has_value(); }

std::string LittleEndianBytes(std::u16string_view units) {
  std::string bytes(units.size() * 2, '\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  return bytes;
}

}  // namespace lexiqon
