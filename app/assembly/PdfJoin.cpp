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

bool PdfJoin::MergePages(const std::string& file, int first, int last) {
  if (m_doc == 0) return false;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    m_error = ENOENT;
    return false;
  }
  const int32_t code = PDocMerge(m_doc, file.c_str(), first, last);
  if (code != FL_OK) {
    m_error = code;
    return false;
  }
  ++m_merged;
  return true;
}

int PdfPageCount(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return 0;
  int32_t error = 0;
  const FLHANDLE input = IDocOpen(path.c_str(), &error);
  if (input == 0) return 0;
  const int32_t pages = IDocNumPages(input);
  IDocClose(input);
  return pages > 0 ? pages : 0;
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
