#include "app/services/EspacenetService.h"

#include "app/services/RetrievalSession.h"
#include "app/transfer/TransferSlots.h"
#include "app/window/RetrievalForm.h"

namespace orvane {

EspacenetService::EspacenetService(RetrievalForm& form, TransferSlots& slots, Assembler assemble, PageKeeper keep)
    : m_form(form),
      m_slots(slots),
      m_assemble(std::move(assemble)),
      m_keep(std::move(keep)),
      m_scratch(form, slots.Inet(0), form.files().root() / kScratchFile),
      m_runner(form, slots, *this) {}

EspacenetService::EspacenetService(RetrievalSession& session)
    : EspacenetService(
          session.Form(), session.Slots(), [&session](int BoxNumFile) { session.AssemblePdf(BoxNumFile); },
          [&session] { session.KeepStoppedPages(); }) {}

bool EspacenetService::Stopped() const { return m_form.run().stopRequested(); }

std::string EspacenetService::Url(const std::string& path) const {
  return m_slots.HostTable().Url(Hosts::kEspacenet, path);
}

void EspacenetService::SECOND_IDkey_ext(const std::string& idURL_Temp) {
  std::string& espId = m_slots.State().EspID;
  const std::string& number = m_form.run().CurPatNum;
  for (int attempt = 0; attempt < kLookupAttempts && !Stopped(); ++attempt) {
    m_scratch.Fetch(idURL_Temp);
    for (const std::string& line : m_scratch.Lines(kAbstractLines)) {
      if (auto key = KeyOnLine(line, number)) {
        espId = *key;
        return;
      }
      espId.clear();
    }
  }
}

DocumentLookup EspacenetService::LookUpDocument(const std::string& number) {
  DocumentLookup result;
  for (int attempt = 0; attempt < kLookupAttempts && !Stopped(); ++attempt) {
    SECOND_IDkey_ext(Url(AbstractPath(number)));
    if (Stopped()) break;
    m_scratch.Fetch(Url(NavigationPath(number, m_slots.State().EspID)));
    PageMarkers markers;
    for (const std::string& line : m_scratch.Lines(kNavigationLines)) {
      if (!MarkersOnLine(line, markers)) continue;
      m_markers = markers;
      result.status = LookupStatus::Found;
      result.pageCountText = markers.readTOTPG;
      result.pageCount = PageNumber(markers.readTOTPG);
      return result;
    }
  }
  // A Skip or stop-all during the lookup ends it without an answer.
  if (Stopped()) result.status = LookupStatus::Stopped;
  return result;
}

std::vector<DocumentSection> EspacenetService::Sections(const std::string& number) const {
  const DocKind kind = KindOf(number);
  std::vector<DocumentSection> sections;
  // Drawings of a document without them (first page below 1) only close.
  const bool drawings = PageNumber(m_markers.readDRAPG) >= 1;
  sections.push_back({kDrawings, drawings ? SectionRange(kDrawings, kind, m_markers) : PageRange{}});
  sections.push_back({kDescription, SectionRange(kDescription, kind, m_markers)});
  sections.push_back({kClaims, SectionRange(kClaims, kind, m_markers)});
  return sections;
}

std::string EspacenetService::PageAddress(const std::string& number, int page) const {
  return Url(PagePath(number, m_slots.State().EspID, page));
}

void EspacenetService::FinishSection(int section, SectionEnd end) {
  if (end == SectionEnd::Stopped) {
    if (m_keep) m_keep();
    return;
  }
  if (m_assemble) m_assemble(section);
}

void EspacenetService::IDkey_ext(std::string& pat_num, std::string& readTOTPG, std::string& readDESPG,
                                 std::string& readCLAPG, std::string& readDRAPG, std::string& readREPPG,
                                 bool& good) {
  const DocumentLookup found = LookUpDocument(pat_num);
  good = found.found();
  if (!good) return;
  readTOTPG = m_markers.readTOTPG;
  readDESPG = m_markers.readDESPG;
  readCLAPG = m_markers.readCLAPG;
  readDRAPG = m_markers.readDRAPG;
  readREPPG = m_markers.readREPPG;
}

void EspacenetService::TotPrt_TotFile(std::string& readTOTPG, std::string& readDESPG, std::string& readCLAPG,
                                      std::string& readDRAPG, std::string& readREPPG, std::string& pat_num,
                                      std::int16_t& sunseo) {
  m_markers = PageMarkers{readTOTPG, readDESPG, readCLAPG, readDRAPG, readREPPG};
  DocumentLookup document;
  document.status = LookupStatus::Found;
  document.pageCountText = readTOTPG;
  document.pageCount = PageNumber(readTOTPG);
  m_runner.Run(document, pat_num, sunseo);
}

void EspacenetService::ImageWork(int BoxNumFile, int startPage, int endPage, const std::string& pat_num,
                                 std::int16_t sunseo) {
  m_slots.SetPageService(Pages());
  m_slots.SetAddressBuilder([this](int page) { return PageAddress(m_form.run().CurPatNum, page); });
  m_runner.FetchRange(BoxNumFile, startPage, endPage, pat_num, sunseo);
}

}  // namespace orvane
