#pragma once
// Joins a fetched section's page files into one document and tidies up:
// AssemblePdf through folian32 (PdfJoin), AssembleTiff through libtiff
// (TiffJoin). Each joined document is named from the number and the section
// code, listed in the main window's Combo1, printed when "To Printer" is
// ticked, and then the page folders are tidied: pages of an incomplete
// document are kept for a bad-page run, a completed bad-page run removes
// them, and the temporary folder goes.
//
// A page file that is missing or broken does not stop the joining, but it is
// reported on the status list and the document counts as incomplete
// (Aborted), so no page file is deleted and the pages are kept for a
// bad-page run: a document the run reports as finished holds all its pages.
//
// Owned by the assembly part attached to the main window; the session and
// the viewer must outlive it.
#include <chrono>
#include <string>
#include <vector>

#include "app/assembly/DocumentNames.h"
#include "app/assembly/PdfJoin.h"
#include "app/services/SectionAssembly.h"

namespace orvane {

class DocumentViewer;
class RetrievalSession;

class DocumentAssembly : public SectionAssembly {
 public:
  DocumentAssembly(RetrievalSession& session, DocumentViewer& viewer);

  void AssemblePdf(int BoxNumFile) override;
  void AssembleTiff(int BoxNumFile) override;
  // A stop ended the section: the pages fetched so far go where a bad-page
  // run finds them (the number's folder under the save folder when the
  // per-number folder is off), and the temporary folder goes.
  void KeepStoppedPages() override;

  // The time each printed page is shown on the splash (over one second in
  // the program; tests shorten it). A host that starts no programs
  // (headless) lists the pages without waiting.
  void SetPrintPace(std::chrono::milliseconds pace) { m_printPace = pace; }

  // Where the current number's pages and documents go.
  DocumentPlace Place();

 private:
  struct Range {
    int first = 0;
    int last = -1;
  };
  Range JoinRange();
  std::string StatusPrefix();
  void ReportPageMissing(int page);
  void ReportDocumentFailed(const std::string& path);
  // Says that the PDF class was registered for the join, or could not be.
  void ReportRegistration(PdfJoin::Registration how);
  // Renames the finished join into place and lists it, or reports the failure;
  // then deletes the joined page files when nothing was aborted. A join that
  // lacks pages does not replace an existing document. Yields whether the
  // new document now exists.
  bool FinishJoin(bool made, bool lacking, const std::string& path, const std::string& entry,
                  const std::vector<std::string>& joined);
  // The page-by-page splash after a PDF was sent to the printer; false when
  // a stop request ended it.
  bool PrintSplash(const Range& range);
  // Deletes the joined page files (keep-only-joined setting) when the
  // document is complete.
  void DeleteJoinedPages(const std::vector<std::string>& pages);
  void FolderSteps(const DocumentPlace& place);
  void ListDocument(const std::string& entry);

  RetrievalSession& m_session;
  DocumentViewer& m_viewer;
  std::chrono::milliseconds m_printPace{1001};
};

}  // namespace orvane
