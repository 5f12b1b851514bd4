#include "pdf/content/PDStream.h"

#include "pdf/core/PDFile.h"

namespace folian {

bool PDStream::WriteObject(PDFile& file, bool /*compress*/) {
  if (m_objectId != 0) return true;
  int32_t id = file.NewObjectId();
  if (id == 0) return false;
  if (!file.BeginObject(id) || !file.WriteToken("<</Length") || !file.WriteInt(m_text.length()) ||
      !file.WriteToken(">>") || !file.WriteLineEnd() || !file.WriteToken("stream") || !file.WriteLineEnd())
    return false;
  if (!file.WriteRaw(m_text.data(), static_cast<size_t>(m_text.length()))) return false;
  // "endstream" must start a line of its own even when the operators do not end
  // with a line break; the break is not part of /Length.
  char last = m_text.empty() ? '\n' : m_text[m_text.length() - 1];
  if (last != '\n' && last != '\r' && !file.WriteLineEnd()) return false;
  if (!file.WriteToken("endstream") || !file.EndObject()) return false;
  m_objectId = id;
  return true;
}

}  // namespace folian
