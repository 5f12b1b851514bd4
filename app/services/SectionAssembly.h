#pragma once
// The joining of a fetched section, as the services' page loops call it when
// a section's range is complete: PDF pages (esp@cenet, IPDL) through
// AssemblePdf, TIFF pages (USPTO, KIPRIS) through AssembleTiff. `BoxNumFile`
// is the section code (4 all pages, 5 one listed page, 6 claims,
// 7 description, 8 drawings), which names the joined document. The range
// joined is the slot state's start_num..end_num; the pages are found where
// the slots wrote them. The assembly layer implements it and hands it to the
// RetrievalSession, which keeps a pointer (not owned).

namespace orvane {

// Section codes: the check box of each section, and the code that names the
// joined document.
enum SectionCode : int { kFullPages = 4, kPageList = 5, kClaims = 6, kDescription = 7, kDrawings = 8 };

class SectionAssembly {
 public:
  virtual ~SectionAssembly() = default;
  virtual void AssemblePdf(int BoxNumFile) = 0;
  virtual void AssembleTiff(int BoxNumFile) = 0;
  // A stop ended the section before its pages were joined: the pages
  // fetched so far are kept where a bad-page run finds them.
  virtual void KeepStoppedPages() = 0;
};

}  // namespace orvane
