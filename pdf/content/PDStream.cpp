#include "pdf/content/PDStream.h"

#include "pdf/writer/ContentStreamWriter.h"
#include "pdf/writer/PDFile.h"

namespace folian {

bool PDStream::WriteObject(PDFile& file, bool compress) {
  if (m_objectId != 0) return true;
  int32_t id = WriteContentStream(file, m_text, 0, compress);
  if (id == 0) return false;
  m_objectId = id;
  return true;
}

}  // namespace folian
