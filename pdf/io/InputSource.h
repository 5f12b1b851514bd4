#pragma once
// InputSource: random-access bytes of an input file, from a disk file opened "rb"
// or from a memory buffer holding the whole file.
//
// Owned by the input document; readers borrow it and read at explicit offsets, so
// a nested read (an indirect /Length) never disturbs the position of another.
// Failure: Open yields none with the errno in `error`; ReadAt yields fewer bytes
// than asked at the end of the data or on a read error.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace folian {

class InputSource {
public:
  virtual ~InputSource() = default;
  // Copies up to `count` bytes from `offset` into `out`; yields the number copied.
  [[nodiscard]] virtual size_t ReadAt(int64_t offset, char* out, size_t count) = 0;
  [[nodiscard]] virtual int64_t Size() const = 0;
  // The whole file when it is held in memory, else none.
  virtual const char* Bytes() const { return nullptr; }
};

class FileInput final : public InputSource {
public:
  static std::unique_ptr<FileInput> Open(const char* name, int32_t& error);
  ~FileInput() override;
  [[nodiscard]] size_t ReadAt(int64_t offset, char* out, size_t count) override;
  [[nodiscard]] int64_t Size() const override { return m_size; }

private:
  FileInput(std::FILE* file, int64_t size) : m_file(file), m_size(size) {}
  std::FILE* m_file;
  int64_t m_size;
  int64_t m_position = -1;  // where the FILE stands, to skip needless seeks
};

class MemoryInput final : public InputSource {
public:
  explicit MemoryInput(std::vector<char> bytes)
      : m_vector(std::move(bytes)), m_data(m_vector.data()), m_size(m_vector.size()) {}
  // Takes bytes read straight from a file: a buffer that was never zero-filled.
  MemoryInput(std::unique_ptr<char[]> bytes, size_t size)
      : m_owned(std::move(bytes)), m_data(m_owned.get()), m_size(size) {}
  [[nodiscard]] size_t ReadAt(int64_t offset, char* out, size_t count) override;
  [[nodiscard]] int64_t Size() const override { return static_cast<int64_t>(m_size); }
  const char* Bytes() const override { return m_data; }

private:
  std::vector<char> m_vector;
  std::unique_ptr<char[]> m_owned;
  const char* m_data;
  size_t m_size;
};

}  // namespace folian
