#pragma once
// Where an output file's bytes go: a disk file opened "wb", or a growing memory
// buffer. Both report the position that object offsets are taken from, and both
// are written strictly forward.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace folian {

class OutputSink {
public:
  virtual ~OutputSink() = default;
  // Appends the bytes; false with `error` set (an errno value) on failure.
  [[nodiscard]] virtual bool Write(const char* data, size_t length, int32_t& error) = 0;
  [[nodiscard]] virtual int64_t Position() const = 0;
  // Flushes and releases the underlying file; false with `error` set on failure.
  [[nodiscard]] virtual bool Close(int32_t& error) = 0;
};

// Buffered writes to a disk file. Owns the FILE*.
class FileSink final : public OutputSink {
public:
  // Opens `name` for writing; none with `error` set when it cannot be opened.
  // An access-denied failure (EACCES) deletes the file and tries once more.
  static std::unique_ptr<FileSink> Open(const char* name, int32_t& error);
  ~FileSink() override;
  [[nodiscard]] bool Write(const char* data, size_t length, int32_t& error) override;
  [[nodiscard]] int64_t Position() const override { return m_position; }
  [[nodiscard]] bool Close(int32_t& error) override;

private:
  explicit FileSink(std::FILE* file) : m_file(file) {}
  std::FILE* m_file;
  int64_t m_position = 0;
};

// A memory buffer that starts at 100000 bytes and, when a write would reach its
// capacity, grows to the needed size plus 100000. The bytes stay readable after
// Close until the sink is destroyed.
class MemorySink final : public OutputSink {
public:
  static constexpr size_t kStep = 100000;
  MemorySink();
  [[nodiscard]] bool Write(const char* data, size_t length, int32_t& error) override;
  [[nodiscard]] int64_t Position() const override { return static_cast<int64_t>(m_used); }
  [[nodiscard]] bool Close(int32_t&) override { return true; }
  const char* Data() const { return m_buffer.get(); }
  [[nodiscard]] size_t Used() const { return m_used; }
  [[nodiscard]] size_t Capacity() const { return m_capacity; }

private:
  std::unique_ptr<char[]> m_buffer;
  size_t m_capacity = 0;
  size_t m_used = 0;
};

}  // namespace folian
