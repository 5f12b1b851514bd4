#pragma once
// Byte strings handed out through the exported interface: a 4-byte length, the
// bytes, and a zero byte, allocated here and freed by FLFreeVBSTR. Live strings
// are recorded so that freeing a pointer the library did not hand out (or one
// already freed) is ignored instead of corrupting the heap.
#include <cstdint>

namespace folian {

// A new byte string holding a copy of the bytes; none for an empty input.
char* NewByteBuffer(const char* data, int32_t length);
void FreeByteBuffer(char* text);
[[nodiscard]] int32_t ByteBufferLength(const char* text);

}  // namespace folian
