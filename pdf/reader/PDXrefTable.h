#pragma once
// PDXrefTable: where each object of an input file lives, read from its chain of
// cross-reference sections linked by /Prev. A section is a classic table
// ("xref" ... "trailer"), a cross-reference stream (/Type /XRef), or a classic
// table whose trailer names a stream with /XRefStm (a hybrid file).
//
// An object is in the file at an offset, or is the index-th object of an object
// stream, or is free. Sections are read newest first and the first entry seen for
// a number wins, so an object freed by a later update stays absent. The newest
// trailer dictionary (or the dictionary of the newest cross-reference stream) is
// kept. Hostile input is bounded: object numbers stay below kMaxObjects, a
// subsection may not claim more entries than the rest of the file can hold, field
// widths of a stream are at most 8 bytes, entries past a stream's /Size are
// dropped, and a /Prev chain that returns to an offset already read stops there.
// Failure: Read yields a status code (kBadTrailer) after printing a diagnostic.
#include <cstdint>
#include <vector>

#include "pdf/io/InputSource.h"
#include "pdf/io/PDReadBuffer.h"
#include "pdf/object/PDValue.h"

namespace folian {

struct PDXrefEntry {
  enum Kind : uint8_t { kFree = 0, kInFile = 1, kInStream = 2 };
  Kind kind = kFree;
  // kInFile: the file offset; kInStream: the number of the object stream.
  int64_t where = 0;
  // kInFile: the generation; kInStream: the index inside the object stream.
  int32_t index = 0;
};

class PDXrefTable {
public:
  // Object numbers from here on are output ids in the numbering of the writer.
  static constexpr int32_t kMaxObjects = 1000000;

  // Reads the chain from `offset`; 0 on success, else a status code.
  [[nodiscard]] int32_t Read(InputSource& source, int64_t offset);

  // File offset of object `number`; 0 when free, in an object stream, unlisted or out of range.
  [[nodiscard]] int64_t Offset(int32_t number) const;
  // Where object `number` lives; kFree when unlisted or out of range.
  [[nodiscard]] PDXrefEntry Entry(int32_t number) const;
  // One more than the highest object number listed.
  [[nodiscard]] int32_t Extent() const { return static_cast<int32_t>(m_slots.size()); }
  PDValue* Trailer() const { return m_trailer.get(); }
  PDValuePtr TakeTrailer() { return std::move(m_trailer); }
  void SetTrailer(PDValuePtr trailer) { m_trailer = std::move(trailer); }
  // True when a section read was a cross-reference stream.
  [[nodiscard]] bool FoundXrefStream() const { return m_xrefStream; }
  [[nodiscard]] int32_t SectionsRead() const { return m_sections; }

  // Replaces the entry of `number` (the rebuilt table of a repaired file).
  void Set(int32_t number, const PDXrefEntry& entry);
  void Clear();

private:
  // A slot not yet filled by any section, or freed by the classic part of the
  // section being read while a hybrid stream of the same section may still list it.
  enum Listing : uint8_t { kUnlisted = 0, kListed = 1, kPendingFree = 2 };
  struct Slot {
    PDXrefEntry entry;
    Listing listing = kUnlisted;
  };

  [[nodiscard]] int32_t ReadSection(InputSource& source, int64_t offset, bool newest, int64_t& prev);
  [[nodiscard]] int32_t ReadXrefStream(InputSource& source, int64_t offset, bool newest, int64_t& prev);
  [[nodiscard]] bool ReadSubsections(PDReadBuffer& buffer, int64_t fileSize);
  [[nodiscard]] bool LooksLikeObjectHeader(InputSource& source, int64_t offset);
  // Fills an unlisted slot (or one freed earlier in the same section when `overFree`).
  void Fill(int64_t number, const PDXrefEntry& entry, bool overFree);
  void Grow(int64_t extent);
  void SettlePendingFrees();

  std::vector<Slot> m_slots;
  std::vector<int32_t> m_pendingFree;
  PDValuePtr m_trailer;
  bool m_xrefStream = false;
  int32_t m_sections = 0;
};

}  // namespace folian
