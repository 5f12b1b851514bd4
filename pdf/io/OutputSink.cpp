#include "pdf/io/OutputSink.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace folian {

std::unique_ptr<FileSink> FileSink::Open(const char* name, int32_t& error) {
  errno = 0;
  std::FILE* file = std::fopen(name, "wb");
  if (!file && errno == EACCES) {
    std::remove(name);
    errno = 0;
    file = std::fopen(name, "wb");
  }
  if (!file) {
    error = errno ? errno : EIO;
    return nullptr;
  }
  return std::unique_ptr<FileSink>(new FileSink(file));
}

FileSink::~FileSink() {
  if (m_file) std::fclose(m_file);
}

bool FileSink::Write(const char* data, size_t length, int32_t& error) {
  if (!m_file) {
    error = EBADF;
    return false;
  }
  errno = 0;
  size_t written = std::fwrite(data, 1, length, m_file);
  m_position += static_cast<int64_t>(written);
  if (written != length) {
    error = errno ? errno : EIO;
    return false;
  }
  return true;
}

bool FileSink::Close(int32_t& error) {
  if (!m_file) return true;
  errno = 0;
  int rc = std::fclose(m_file);
  m_file = nullptr;
  if (rc != 0) {
    error = errno ? errno : EIO;
    return false;
  }
  return true;
}

MemorySink::MemorySink() : m_buffer(new char[kStep]), m_capacity(kStep) {}

bool MemorySink::Write(const char* data, size_t length, int32_t& error) {
  if (m_used + length >= m_capacity) {
    size_t needed = m_used + length;
    std::unique_ptr<char[]> grown(new (std::nothrow) char[needed + kStep]);
    if (!grown) {
      error = ENOMEM;
      return false;
    }
    std::memcpy(grown.get(), m_buffer.get(), m_used);
    m_buffer = std::move(grown);
    m_capacity = needed + kStep;
  }
  std::memcpy(m_buffer.get() + m_used, data, length);
  m_used += length;
  return true;
}

}  // namespace folian
