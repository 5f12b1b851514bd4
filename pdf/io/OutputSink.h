#pragma once
// Where an output file's bytes go: a disk file opened "wb", or a growing memory
// buffer. Both report the position that object offsets are taken from, and both
// are written strictly forward. What was written can be compared again, so that
// an object identical to one already in the output can be found out.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

namespace folian {

class OutputSink {
public:
  virtual ~OutputSink() = default;
  // Appends the bytes; false with `error` set (an errno value) on failure.
  [[nodiscard]] virtual bool Write(const char* data, size_t length, int32_t& error) = 0;
  [[nodiscard]] virtual int64_t Position() const = 0;
  // True when the `length` bytes written at `offset` are those of `data`; false
  // as well when they cannot be read back.
  [[nodiscard]] virtual bool Matches(int64_t offset, const char* data, size_t length) = 0;
  // Flushes and releases the underlying file; false with `error` set on failure.
  [[nodiscard]] virtual bool Close(int32_t& error) = 0;

  // Write, without a call when the bytes fit the room the sink has opened in its
  // buffer (a token or an object body, nearly always).
  [[nodiscard]] bool Append(const char* data, size_t length, int32_t& error) {
    if (length <= static_cast<size_t>(m_roomEnd - m_room)) {
      std::memcpy(m_room, data, length);
      m_room += length;
      return true;
    }
    return Write(data, length, error);
  }

protected:
  // Free room in the sink's buffer that Append fills directly; none by default.
  char* m_room = nullptr;
  char* m_roomEnd = nullptr;
};

// Writes to a disk file through a large block buffer: a token costs a copy, and
// the system sees one write per block. The last few blocks written stay in
// memory, so that comparing bytes written shortly before reads nothing back.
// Owns the file descriptor.
class FileSink final : public OutputSink {
public:
  static constexpr size_t kBlock = size_t{1} << 20;
  static constexpr size_t kKeptBlocks = 4;
  // Opens `name` for writing (created, or truncated); none with `error` set when
  // it cannot be opened. An access-denied failure (EACCES) deletes the file and
  // tries once more.
  static std::unique_ptr<FileSink> Open(const char* name, int32_t& error);
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;
  [[nodiscard]] bool Write(const char* data, size_t length, int32_t& error) override;
  [[nodiscard]] int64_t Position() const override { return m_flushed + static_cast<int64_t>(Used()); }
  [[nodiscard]] bool Matches(int64_t offset, const char* data, size_t length) override;
  [[nodiscard]] bool Close(int32_t& error) override;

private:
  FileSink(int descriptor, bool readable);
  // Bytes in the buffer: the buffer is kBlock long, and what Append filled ends at m_room.
  [[nodiscard]] size_t Used() const { return m_room ? static_cast<size_t>(m_room - m_buffer.get()) : m_used; }
  // Opens the whole of a fresh buffer to Append; closes it after a failure.
  void OpenRoom();
  void CloseRoom();
  [[nodiscard]] bool Flush(int32_t& error);
  [[nodiscard]] bool WriteAll(const char* data, size_t length, int32_t& error);
  // Compares bytes still held in memory (the buffer or a kept block) at `offset`;
  // yields how many were compared (0 when none is held there), or -1 on a difference.
  [[nodiscard]] int64_t CompareHeld(int64_t offset, const char* data, size_t length) const;

  struct KeptBlock {
    int64_t start;
    size_t length;
    std::unique_ptr<char[]> bytes;
  };
  int m_descriptor;
  bool m_readable;             // opened for reading too, so written bytes can be compared
  std::unique_ptr<char[]> m_buffer;  // kBlock bytes; the first Used() are not yet handed to the system
  size_t m_used = 0;           // Used() while no room is open
  int64_t m_flushed = 0;       // bytes handed to the system
  std::deque<KeptBlock> m_kept;  // the latest blocks handed to the system, oldest first
  int32_t m_error = 0;         // a failed flush; every later write fails with it
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
  [[nodiscard]] bool Matches(int64_t offset, const char* data, size_t length) override;
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
