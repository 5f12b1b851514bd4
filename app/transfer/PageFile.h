#pragma once
// Where a downloaded page is written, and whether a response body is the
// kind of file the request asked for.
#include <string>
#include <string_view>

namespace orvane {

// The service whose pages Inet1..Inet5 fetch.
enum class PageService { Espacenet, Uspto, Kipris };
// What the single transfer Inet6 fetches.
enum class Inet6Service { Ipdl, Paj, Delphion };

enum class PageKind { Pdf, Tiff, Jpeg, Gif };

struct PageFileContext {
  std::string number;  // CurPatNum
  std::string saveFolder;
  std::string downfolder;
  std::string imsifolder;
  bool folderPerNumber = false;
  bool badPageMode = false;
};

// Page p of a slot: folder + number + p + extension, the folder chosen by the
// folder-per-number setting and, when that is off, by bad-page mode.
std::string SlotPageFile(const PageFileContext& c, PageService service, int page);
// The file Inet6 writes for page p.
std::string Inet6PageFile(const PageFileContext& c, Inet6Service service, int page);

PageKind SlotPageKind(PageService service);
PageKind Inet6PageKind(Inet6Service service);

// Accumulates what the kind check needs while a body is written: its first
// bytes, its last bytes and its size.
class BodyCheck {
 public:
  void Add(std::string_view chunk);
  size_t Size() const { return m_size; }
  // True when the body is non-empty and looks like a complete file of the
  // kind: a PDF starts with "%PDF-" and has "%%EOF" near its end, a TIFF
  // starts with a TIFF header, a JPEG with FF D8 FF, a GIF with "GIF8".
  bool IsKind(PageKind kind) const;

 private:
  std::string m_head;
  std::string m_tail;
  size_t m_size = 0;
};

}  // namespace orvane
