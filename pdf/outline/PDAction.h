#pragma once
// PDAction: what a bookmark or a link does when it is chosen: go to a page of this
// document (GoTo), go to a page or a named destination of another file (GoToR),
// open a file (Launch) or open a web address (URI). Plain data, owned by the
// bookmark or link that carries it; written as an "/A << ... >>" entry.
#include <cstdint>

#include "pdf/base/ByteString.h"
#include "pdf/writer/PDFile.h"

namespace folian {

struct PDAction {
  enum class Kind { GoTo, GoToR, Launch, URI };

  Kind kind = Kind::GoTo;
  int32_t page = -1;   // 0-based target page, or -1 when a destination name is used
  float left = 0;      // view of the target page; 0 keeps the viewer's own value
  float top = 0;
  ByteString name;     // destination name (GoTo, GoToR without page)
  ByteString file;     // GoToR, Launch
  ByteString address;  // URI

  static PDAction GoTo(int32_t page, float left, float top);
  static PDAction GoToR(const char* file, int32_t page, float left, float top);
  static PDAction Launch(const char* file);
  static PDAction Uri(const char* address);

  // Writes the "/A" entry. `pageId` is the output id of the target page for a
  // GoTo inside this document: a destination in the same file must name its page
  // by reference, so readers can follow it. A GoTo by page whose page is unknown
  // (pageId 0) writes nothing and yields true; the caller reports it.
  [[nodiscard]] bool Write(PDFile& file, int32_t pageId) const;
};

// Writes the view part "/XYZ left top null" of a destination; 0 is written as null.
[[nodiscard]] bool WriteXyzView(PDFile& file, float left, float top);

}  // namespace folian
