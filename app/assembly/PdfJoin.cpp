#include "app/assembly/PdfJoin.h"

#include <cerrno>
#include <filesystem>

#include "pdf/api/folian32.h"

namespace orvane {

PdfJoin::PdfJoin(const std::string& path) {
  int32_t error = 0;
  // Width 0 keeps the library's default page size.
  m_doc = PDocNew(path.c_str(), 0, 0, &error);
  if (m_doc == 0) m_error = error != 0 ? error : FL_ERR_FAILED;
}

PdfJoin::~PdfJoin() { Close(); }

bool PdfJoin::Merge(const std::string& pageFile) {
  if (m_doc == 0) return false;
  std::error_code ec;
  // A folder or a missing file is not handed to the library at all.
  if (!std::filesystem::is_regular_file(pageFile, ec)) {
    m_error = ENOENT;
    return false;
  }
  // First page 1, last page 0: every page of the file.
  const int32_t code = PDocMerge(m_doc, pageFile.c_str(), 1, 0);
  if (code != FL_OK) {
    m_error = code;
    return false;
  }
  ++m_merged;
  return true;
}

bool PdfJoin::Close() {
  if (m_doc == 0) return false;
  const int32_t code = PDocClose(m_doc);
  PDocRelease(m_doc);
  m_doc = 0;
  if (code != FL_OK) m_error = code;
  return code == FL_OK;
}

}  // namespace orvane
