#include "app/assembly/DocumentAssembly.h"

#include <filesystem>
#include <fstream>

#include "app/assembly/DocumentViewer.h"
#include "app/assembly/PdfJoin.h"
#include "app/assembly/TiffJoin.h"
#include "app/services/RetrievalSession.h"
#include "app/window/UiHost.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

// Folders named after the number are deleted and filled; a number that is
// no plain file name must never turn them into the save folder itself.
bool PlainName(const std::string& number) {
  return !number.empty() && number != "." && number != ".." && number.find('/') == std::string::npos;
}

void MakeParent(const std::string& path) {
  std::error_code ec;
  const fs::path parent = fs::path(path).parent_path();
  if (!parent.empty()) fs::create_directories(parent, ec);
}

void RemoveFile(const std::string& path) {
  std::error_code ec;
  fs::remove(path, ec);
}

// A document is joined beside its final name and takes that name only when
// it is complete and written, so a failed join never destroys the document
// an earlier run made.
std::string PartPath(const std::string& path) { return path + ".part"; }

bool Publish(const std::string& part, const std::string& path) {
  std::error_code ec;
  fs::rename(part, path, ec);
  if (ec) RemoveFile(part);
  return !ec;
}

// A page PDF cut short by a stop lacks its end-of-file marker.
bool CompletePdf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[5] = {};
  if (!in.read(head, 5) || std::string(head, 5) != "%PDF-") return false;
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  if (ec) return false;
  const std::streamoff tail = size > 1024 ? 1024 : static_cast<std::streamoff>(size);
  in.seekg(-tail, std::ios::end);
  std::string end(static_cast<size_t>(tail), '\0');
  in.read(end.data(), tail);
  return end.find("%%EOF") != std::string::npos;
}

// Copies the page files of `from` into `to`. A page an earlier run kept
// there is not replaced by a PDF page the stop cut short. False when a
// file could not be copied.
bool KeepPages(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  bool all = true;
  for (const fs::directory_entry& entry : fs::directory_iterator(from, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    const fs::path target = to / entry.path().filename();
    const bool pdf = entry.path().extension() == ".pdf";
    if (pdf && fs::exists(target, ec) && !CompletePdf(entry.path())) continue;
    std::error_code copyError;
    fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing, copyError);
    all = all && !copyError;
  }
  return all && !ec;
}

}  // namespace

DocumentAssembly::DocumentAssembly(RetrievalSession& session, DocumentViewer& viewer)
    : m_session(session), m_viewer(viewer) {}

DocumentPlace DocumentAssembly::Place() {
  RetrievalForm& form = m_session.Form();
  const SlotState& s = m_session.State();
  return DocumentPlace{form.run().CurPatNum, form.run().SaveFolder, s.downfolder, s.imsifolder,
                       form.setting().folderPerNumber(), form.badPageMode()};
}

// Bad-page mode joins the whole document: the pages fetched now and the
// pages kept from the earlier run.
DocumentAssembly::Range DocumentAssembly::JoinRange() {
  if (m_session.Form().badPageMode()) return {1, m_session.Run().TotPages};
  return {m_session.State().start_num, m_session.State().end_num};
}

std::string DocumentAssembly::StatusPrefix() {
  return std::to_string(m_session.Run().SeqNo) + ". " + m_session.Run().CurPatNum + " :  ";
}

void DocumentAssembly::ReportPageMissing(int page) {
  m_session.Form().ui().ListBox1.addLine(StatusPrefix() + std::to_string(page) + " Page  누락 !");
  m_session.Run().Aborted = true;
}

void DocumentAssembly::ReportDocumentFailed(const std::string& path) {
  m_session.Form().ui().ListBox1.addLine(StatusPrefix() + fs::path(path).filename().string() +
                                               " 파일을 만들 수 없습니다 !");
  m_session.Run().Aborted = true;
}

void DocumentAssembly::ReportRegistration(PdfJoin::Registration how) {
  // Registering happens once; a registry that cannot be written is reported once
  // per run, as joining goes on without it.
  static bool unregisteredTold = false;
  if (how == PdfJoin::Registration::kRegistered) {
    m_session.Form().ui().ListBox1.addLine("PDF 구성요소를 등록했습니다.");
  } else if (how == PdfJoin::Registration::kUnregistered && !unregisteredTold) {
    unregisteredTold = true;
    m_session.Form().ui().ListBox1.addLine("PDF 구성요소를 등록할 수 없습니다 !");
  }
}

void DocumentAssembly::ListDocument(const std::string& entry) {
  Control& combo = m_session.Form().ui().Combo1;
  for (int i = 0; i < combo.listCount(); ++i) {
    if (combo.line(i) == entry) return;
  }
  combo.addLine(entry);
}

void DocumentAssembly::AssemblePdf(int BoxNumFile) {
  RetrievalForm& form = m_session.Form();
  const DocumentPlace place = Place();
  const std::string suffix = DocumentSuffix(BoxNumFile, m_session.State().start_num, place.badPageMode);
  const std::string path = JoinedDocumentPath(place, suffix, ".pdf");
  const Range range = JoinRange();
  // A complete document an earlier run made for the same range supplies the
  // pages whose files are gone (deleted after that join, as the
  // keep-only-joined setting asks): its page i is page first + i - 1.
  const bool earlierComplete = PdfPageCount(path) == range.last - range.first + 1;

  MakeParent(path);
  std::vector<std::string> joined;
  bool made = false;
  bool lacking = false;
  {
    PdfJoin join(PartPath(path));
    ReportRegistration(join.HowReached());
    if (join.Opened()) {
      for (int page = range.first; page <= range.last; ++page) {
        const std::string pageFile = PageFilePath(place, page, ".pdf");
        const int earlierPage = page - range.first + 1;
        if (join.Merge(pageFile)) {
          joined.push_back(pageFile);
        } else if (!(earlierComplete && join.MergePages(path, earlierPage, earlierPage))) {
          ReportPageMissing(page);
          lacking = true;
        }
      }
      made = join.Close() && join.Merged() > 0;
    }
  }
  made = FinishJoin(made, lacking, path, DocumentEntry(place, suffix), joined);

  if (made && form.ui().CheckBox9.checked()) {
    m_viewer.pdfPrint(path);
    if (!PrintSplash(range)) return;  // stopped: the folders stay as they are
  }
  FolderSteps(place);
}

void DocumentAssembly::AssembleTiff(int BoxNumFile) {
  RetrievalForm& form = m_session.Form();
  const DocumentPlace place = Place();
  if (!place.downfolder.empty()) RemoveFile((fs::path(place.downfolder) / ("US" + place.number + ".tif")).string());
  const std::string suffix = DocumentSuffix(BoxNumFile, m_session.State().start_num, place.badPageMode);
  const std::string path = JoinedDocumentPath(place, suffix, ".tif");
  const Range range = JoinRange();
  const bool printPages =
      form.ui().CheckBox9.checked() && !(place.badPageMode && !place.folderPerNumber);

  MakeParent(path);
  std::vector<std::string> joined;
  bool made = false;
  bool lacking = false;
  {
    TiffJoin join(PartPath(path));
    bool printing = printPages;
    if (join.Opened()) {
      for (int page = range.first; page <= range.last; ++page) {
        const std::string pageFile = PageFilePath(place, page, ".tif");
        if (!join.Append(pageFile)) {
          ReportPageMissing(page);
          lacking = true;
          continue;
        }
        joined.push_back(pageFile);
        // A missing print command is reported once, not for every page.
        if (printing) printing = m_viewer.pdfPrint(pageFile);
      }
      made = join.Close() && join.Pages() > 0;
    }
  }
  made = FinishJoin(made, lacking, path, DocumentEntry(place, suffix), joined);
  FolderSteps(place);
}

bool DocumentAssembly::FinishJoin(bool made, bool lacking, const std::string& path, const std::string& entry,
                                  const std::vector<std::string>& joined) {
  std::error_code ec;
  if (made && lacking && fs::exists(path, ec)) {
    // A join that lacks pages never takes the place of an existing document;
    // the missing pages are on the status list, the pages are kept.
    RemoveFile(PartPath(path));
    m_session.Form().ui().ListBox1.addLine(StatusPrefix() + fs::path(path).filename().string() +
                                           " 이전 파일을 그대로 둡니다 !");
    ListDocument(entry);
    return false;
  }
  made = made && Publish(PartPath(path), path);
  if (made) {
    ListDocument(entry);
  } else {
    // No page at all, or the file could not be written: there is no new
    // document to list, view or print.
    RemoveFile(PartPath(path));
    ReportDocumentFailed(path);
  }
  DeleteJoinedPages(joined);
  return made;
}

bool DocumentAssembly::PrintSplash(const Range& range) {
  RetrievalForm& form = m_session.Form();
  UiHost* host = form.host();
  // The pace is for people watching the splash; without a display the pages
  // are only listed (a stop request still ends the listing).
  const auto pace = host && !host->startsPrograms() ? std::chrono::milliseconds(0) : m_printPace;
  for (int page = range.first; page <= range.last; ++page) {
    if (host) host->showSplash(form.run().CurPatNum + " :  " + std::to_string(page) + " 페이지 프린트 중..");
    form.doEvents();
    if (!form.pauseFor(pace)) {
      if (host) host->closeSplash();
      form.run().Aborted = true;
      return false;
    }
  }
  if (host) host->closeSplash();
  return true;
}

// Only a complete document may take the place of its pages; otherwise they
// are what a bad-page run joins again.
void DocumentAssembly::DeleteJoinedPages(const std::vector<std::string>& pages) {
  const DocumentPlace place = Place();
  if (!place.folderPerNumber || m_session.Run().Aborted) return;
  if (!m_session.Form().setting().keepOnlyJoined()) return;
  for (const std::string& page : pages) RemoveFile(page);
}

void DocumentAssembly::KeepStoppedPages() {
  m_session.Run().Aborted = true;
  FolderSteps(Place());
}

void DocumentAssembly::FolderSteps(const DocumentPlace& place) {
  std::error_code ec;
  const bool aborted = m_session.Run().Aborted;
  const bool plain = PlainName(place.number);
  const std::string kept = KeptPagesFolder(place);
  bool tempKept = true;
  // (a) The pages fetched so far stay available to a later bad-page run.
  if (!place.folderPerNumber && aborted && plain && !place.imsifolder.empty() && fs::is_directory(place.imsifolder, ec)) {
    fs::create_directories(kept, ec);
    // Pages that could not be copied are not thrown away with the folder.
    tempKept = KeepPages(place.imsifolder, kept);
  }
  // (b) A completed bad-page run: its pages are in the joined document now.
  if (!place.folderPerNumber && place.badPageMode && !aborted && plain && fs::is_directory(kept, ec)) {
    fs::remove_all(kept, ec);
  }
  // (c) The temporary folder.
  if (tempKept && !place.imsifolder.empty() && fs::path(place.imsifolder) != fs::path(place.saveFolder)) {
    fs::remove_all(place.imsifolder, ec);
  }
}

}  // namespace orvane
