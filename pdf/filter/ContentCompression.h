#pragma once
// Compression of the page content the library writes.
//
// CompressContent deflates in one call (default level, 15-bit window with the zlib
// header, memory level 8, filtered strategy) into a buffer the size of the input;
// when the whole stream fits, the result is the compressed bytes plus one line
// feed, else it is empty and the content is stored as it is.
#include <cstdint>

#include "pdf/base/ByteString.h"

namespace folian {

// The compressed bytes followed by "\n", or empty when compression does not pay
// or the compressor cannot start ("deflate error\n").
ByteString CompressContent(const char* data, int32_t length);

}  // namespace folian
