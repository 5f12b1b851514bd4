#pragma once
// PDObjectStream: the decoded data of an object stream (/Type /ObjStm) and the
// table of its /N objects, each given by number and offset from /First.
//
// Objects inside are read on request by index; the number stored at that index
// must be the one asked for. Hostile values are bounded: /N is limited by what the
// data can hold, /First and every offset must lie inside the data, and an object
// runs at most to the start of the next one.
// Failure: Parse yields none and ReadObject yields none, each with a diagnostic.
#include <cstdint>
#include <memory>
#include <vector>

#include "pdf/io/InputSource.h"
#include "pdf/object/PDValue.h"

namespace folian {

class PDObjectStream {
public:
  // `root` is the stream's dictionary; `decoded` its decoded data.
  static std::unique_ptr<PDObjectStream> Parse(const PDValue& root, std::vector<char> decoded);

  // The value of the index-th object if it has number `number`, else none.
  PDValuePtr ReadObject(int32_t index, int32_t number);
  [[nodiscard]] int32_t Count() const { return static_cast<int32_t>(m_objects.size()); }
  [[nodiscard]] int32_t NumberAt(int32_t index) const;
  [[nodiscard]] size_t DataSize() const { return static_cast<size_t>(m_data.Size()); }

private:
  struct Member {
    int32_t number;
    int64_t offset;  // from the start of the data
  };
  explicit PDObjectStream(std::vector<char> decoded) : m_data(std::move(decoded)) {}

  MemoryInput m_data;
  std::vector<Member> m_objects;
};

}  // namespace folian
