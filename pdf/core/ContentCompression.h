#pragma once
// Compression of the page content the library writes, and the content stream
// object that carries it.
//
// CompressContent deflates in one call (default level, 15-bit window with the zlib
// header, memory level 8, filtered strategy) into a buffer the size of the input;
// when the whole stream fits, the result is the compressed bytes plus one line
// feed, else it is empty and the content is stored as it is.
#include <cstdint>

#include "pdf/core/ByteString.h"

namespace folian {

class PDFile;

// The compressed bytes followed by "\n", or empty when compression does not pay
// or the compressor cannot start ("deflate error\n").
ByteString CompressContent(const char* data, int32_t length);

// Writes `content` as a stream object with id `id` (a new id when 0), deflated
// when `compress` is on and deflating pays. Yields the id, or 0 with the file's
// last error set.
int32_t WriteContentStream(PDFile& file, const ByteString& content, int32_t id, bool compress);

}  // namespace folian
