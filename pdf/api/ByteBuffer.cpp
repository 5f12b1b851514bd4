#include "pdf/api/ByteBuffer.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace folian {
namespace {
std::mutex g_mutex;
std::unordered_set<const char*>& LiveBuffers() {
  static std::unordered_set<const char*> live;
  return live;
}
}  // namespace

char* NewByteBuffer(const char* data, int32_t length) {
  if (!data || length <= 0) return nullptr;
  auto* block = static_cast<char*>(std::malloc(sizeof(int32_t) + static_cast<size_t>(length) + 1));
  if (!block) return nullptr;
  std::memcpy(block, &length, sizeof length);
  char* text = block + sizeof(int32_t);
  std::memcpy(text, data, static_cast<size_t>(length));
  text[length] = 0;
  std::lock_guard lock(g_mutex);
  LiveBuffers().insert(text);
  return text;
}

void FreeByteBuffer(char* text) {
  if (!text) return;
  {
    std::lock_guard lock(g_mutex);
    if (LiveBuffers().erase(text) == 0) return;
  }
  std::free(text - sizeof(int32_t));
}

int32_t ByteBufferLength(const char* text) {
  if (!text) return 0;
  {
    std::lock_guard lock(g_mutex);
    if (LiveBuffers().count(text) == 0) return 0;
  }
  int32_t length = 0;
  std::memcpy(&length, text - sizeof(int32_t), sizeof length);
  return length;
}

}  // namespace folian
