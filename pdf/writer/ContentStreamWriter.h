#pragma once
// The stream object that carries a page's content, deflated when that pays.
#include <cstdint>

#include "pdf/base/ByteString.h"

namespace folian {

class PDFile;

// Writes `content` as a stream object with id `id` (a new id when 0), deflated
// when `compress` is on and deflating pays. Yields the id, or 0 with the file's
// last error set.
[[nodiscard]] int32_t WriteContentStream(PDFile& file, const ByteString& content, int32_t id, bool compress);

}  // namespace folian
