#include "pdf/io/InputSource.h"

#include <cerrno>
#include <cstring>

namespace folian {

std::unique_ptr<FileInput> FileInput::Open(const char* name, int32_t& error) {
  errno = 0;
  std::FILE* file = std::fopen(name, "rb");
  if (!file) {
    error = errno ? errno : EIO;
    return nullptr;
  }
  int64_t size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
    error = errno ? errno : EIO;
    std::fclose(file);
    return nullptr;
  }
  return std::unique_ptr<FileInput>(new FileInput(file, size));
}

FileInput::~FileInput() { std::fclose(m_file); }

size_t FileInput::ReadAt(int64_t offset, char* out, size_t count) {
  if (offset < 0 || offset >= m_size || count == 0) return 0;
  if (offset != m_position && std::fseek(m_file, static_cast<long>(offset), SEEK_SET) != 0) {
    m_position = -1;
    return 0;
  }
  size_t got = std::fread(out, 1, count, m_file);
  m_position = offset + static_cast<int64_t>(got);
  return got;
}

size_t MemoryInput::ReadAt(int64_t offset, char* out, size_t count) {
  if (offset < 0 || offset >= Size() || count == 0) return 0;
  size_t available = m_size - static_cast<size_t>(offset);
  size_t got = count < available ? count : available;
  std::memcpy(out, m_data + offset, got);
  return got;
}

}  // namespace folian
