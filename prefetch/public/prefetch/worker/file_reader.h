#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "prefetch/worker/cancel_flag.h"
#include "prefetch/worker/read_buffer.h"

namespace SpeedLauncher {

struct ReadReport {
  bool opened = false;     // "Reading :" was written and the reading began
  bool cancelled = false;  // stopped on the cancel poll before a chunk
  int openError = 0;       // errno when the file did not open
  std::uint64_t bytes = 0;
};

// Reads the file from start to end in 16 MiB chunks through the buffer from
// buffers, discarding the data.
// A file that does not open is passed over silently. out gets
// "Reading :<path>" and a line end; a standard exception's text goes to
// errors without line end. Neither returns a failure to the caller.
ReadReport ReadWholeFile(const std::string& path, ReadBufferSource& buffers,
                         const CancelCheck& cancelled, std::ostream& out, std::ostream& errors);

}  // namespace SpeedLauncher
