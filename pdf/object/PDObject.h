#pragma once
// PDObject: an indirect object of a PDF file, owning its root value.
//
// The class comes from the root's /Type: 0 for a /Pages node, 1 for a /Page,
// 2 for anything else. Objects read from a file also remember where they were
// found and how many bytes they took.
#include <cstddef>
#include <cstdint>

#include "pdf/object/PDValue.h"

namespace folian {

// Object numbers at or above this are ids of an output file; lower numbers are
// object numbers of an input file.
constexpr int32_t kOutputIdBase = 1000000;

enum PDObjectClass : int32_t { kClassPages = 0, kClassPage = 1, kClassOther = 2 };

class PDObject {
public:
  explicit PDObject(PDValuePtr root, int32_t number = 0);
  virtual ~PDObject();
  // Objects come from a per-thread pool of their size.
  static void* operator new(size_t size);
  static void operator delete(void* memory, size_t size) noexcept;

  // Class from the /Type of a dictionary value: "/Pages" 0, "/Page" 1, else 2.
  static PDObjectClass ClassOf(const PDValue* root);

  [[nodiscard]] int32_t Number() const { return m_number; }
  void SetNumber(int32_t number) { m_number = number; }
  PDObjectClass Class() const { return m_class; }
  void SetClass(PDObjectClass objectClass) { m_class = objectClass; }
  PDValue* Root() const { return m_root.get(); }
  PDValuePtr TakeRoot() { return std::move(m_root); }
  void SetRoot(PDValuePtr root) { m_root = std::move(root); }

  [[nodiscard]] int64_t FileOffset() const { return m_offset; }
  [[nodiscard]] int32_t StoredSize() const { return m_storedSize; }
  void SetFilePlace(int64_t offset, int32_t storedSize) {
    m_offset = offset;
    m_storedSize = storedSize;
  }


private:
  int32_t m_number;
  PDObjectClass m_class = kClassOther;
  PDValuePtr m_root;
  int64_t m_offset = 0;
  int32_t m_storedSize = 0;
};

}  // namespace folian
