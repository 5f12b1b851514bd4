#pragma once
// PDXrefTable: the object offsets of an input file, read from its chain of
// classic cross-reference sections ("xref" ... "trailer") linked by /Prev.
//
// Sections are read newest first and the first entry seen for a number wins, so
// an object freed by a later update stays absent. The newest trailer dictionary
// is kept. Hostile input is bounded: object numbers stay below kMaxObjects, a
// subsection may not claim more entries than the rest of the file can hold, and a
// /Prev chain that returns to an offset already read stops there.
// Failure: Read yields a status code (kBadTrailer) after printing a diagnostic;
// a cross-reference stream is refused and reported by FoundXrefStream().
#include <cstdint>
#include <vector>

#include "pdf/io/InputSource.h"
#include "pdf/io/PDReadBuffer.h"
#include "pdf/object/PDValue.h"

namespace folian {

class PDXrefTable {
public:
  // Object numbers from here on are output ids in the numbering of the writer.
  static constexpr int32_t kMaxObjects = 1000000;
  static constexpr int64_t kUnlisted = -1;

  // Reads the chain from `offset`; 0 on success, else a status code.
  [[nodiscard]] int32_t Read(InputSource& source, int64_t offset);

  // File offset of object `number`; 0 when free, unlisted or out of range.
  [[nodiscard]] int64_t Offset(int32_t number) const;
  // One more than the highest object number listed.
  [[nodiscard]] int32_t Extent() const { return static_cast<int32_t>(m_offsets.size()); }
  PDValue* Trailer() const { return m_trailer.get(); }
  PDValuePtr TakeTrailer() { return std::move(m_trailer); }
  [[nodiscard]] bool FoundXrefStream() const { return m_xrefStream; }
  [[nodiscard]] int32_t SectionsRead() const { return m_sections; }

private:
  [[nodiscard]] int32_t ReadSection(InputSource& source, int64_t offset, bool newest, int64_t& prev);
  [[nodiscard]] bool ReadSubsections(PDReadBuffer& buffer, int64_t fileSize);
  [[nodiscard]] bool LooksLikeObjectHeader(InputSource& source, int64_t offset);

  std::vector<int64_t> m_offsets;
  PDValuePtr m_trailer;
  bool m_xrefStream = false;
  int32_t m_sections = 0;
};

}  // namespace folian
