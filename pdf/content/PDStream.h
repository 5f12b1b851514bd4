#pragma once
// PDStream: a content stream held as text, written as one indirect stream object.
//
// Owned by the output document. Raw operator text is appended as it comes; the
// buffer is written once, when its page ends, and its object number is kept so
// that later requests return the same object.
#include <cstdint>

#include "pdf/base/ByteString.h"

namespace folian {

class PDFile;

class PDStream {
public:
  PDStream() = default;
  virtual ~PDStream() = default;

  void Append(const char* text) { m_text.Append(text); }
  void Append(const char* data, int32_t length) { m_text.Append(data, length); }
  const ByteString& Text() const { return m_text; }
  [[nodiscard]] bool Empty() const { return m_text.empty(); }

  // Writes the buffer as a stream object (deflated when `compress` is set and
  // deflating pays) and remembers its id; false with the file's last error set.
  [[nodiscard]] virtual bool WriteObject(PDFile& file, bool compress);
  [[nodiscard]] int32_t ObjectId() const { return m_objectId; }

protected:
  ByteString& Buffer() { return m_text; }

private:
  ByteString m_text;
  int32_t m_objectId = 0;
};

}  // namespace folian
