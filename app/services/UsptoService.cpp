#include "app/services/UsptoService.h"

#include "app/services/RetrievalSession.h"
#include "app/services/UsptoPages.h"
#include "app/transfer/TransferSlots.h"
#include "app/window/RetrievalForm.h"

namespace orvane {

UsptoService::UsptoService(RetrievalForm& form, TransferSlots& slots, Assembler assemble, PageKeeper keep)
    : m_form(form),
      m_slots(slots),
      m_assemble(std::move(assemble)),
      m_keep(std::move(keep)),
      m_result(form, slots.Inet(0), form.files().root() / kResultFile),
      m_viewer(form, slots.Inet(0), form.files().root() / kViewerFile),
      m_claims(form, slots.Inet(0), form.files().root() / kClaimsFile),
      m_runner(form, slots, *this) {}

UsptoService::UsptoService(RetrievalSession& session)
    : UsptoService(
          session.Form(), session.Slots(), [&session](int BoxNumFile) { session.AssembleTiff(BoxNumFile); },
          [&session] { session.KeepStoppedPages(); }) {}

bool UsptoService::Stopped() const { return m_form.run().stopRequested(); }

void UsptoService::IDkey_extUSPTO(std::string& pat_num, std::string& url_ext, bool& good) {
  SlotState& state = m_slots.State();
  const Hosts& hosts = m_slots.HostTable();
  good = false;
  url_ext.clear();
  state.UsptoIDKey.clear();
  state.UsptoNumLen = static_cast<std::int16_t>(pat_num.size());
  const std::string url =
      hosts.Url(UsptoGranted(pat_num) ? Hosts::kUsptoPatentSearch : Hosts::kUsptoAppSearch, UsptoSearchPath(pat_num));
  for (int attempt = 0; attempt < kSearchAttempts && !good; ++attempt) {
    m_result.Fetch(url);
    // A stop during the wait ends the lookup without an answer.
    if (Stopped()) {
      m_form.run().Aborted = true;
      return;
    }
    for (const std::string& line : m_result.Lines(kResultLines)) {
      const auto result = UsptoResultOnLine(line);
      if (!result) continue;
      // A line whose image host label is no plain label is no usable result:
      // its pages would be asked for on some other host.
      if (!UsptoHostLabel(UsptoGranted(pat_num) ? result->patimage : result->appImgHost)) break;
      url_ext = result->url_ext;
      state.UsptoImgHost = result->patimage;
      state.UsptoAppImgHost = result->appImgHost;
      state.UsptoDocId = result->docId;
      state.UsptoIDKey = result->idkey;
      good = true;
      break;
    }
  }
}

void UsptoService::Page_extUSPTO(std::string& url_ext, std::string&, std::string& readNUM, bool& good, std::int16_t&) {
  good = false;
  // The viewer address comes from the answer page; only a web address is
  // followed, never a local file or another scheme the transfer would take.
  if (url_ext.rfind("http://", 0) != 0 && url_ext.rfind("https://", 0) != 0) return;
  m_viewer.Fetch(url_ext);
  if (Stopped()) {
    m_form.run().Aborted = true;
    return;
  }
  for (const std::string& line : m_viewer.Lines(kViewerLines)) {
    if (auto pages = UsptoNumPagesOnLine(line)) {
      readNUM = *pages;
      good = true;
      break;
    }
  }
  m_readNUM = readNUM;
}

std::string UsptoService::ClaimsViewerAddress(const std::string& number) const {
  const SlotState& state = m_slots.State();
  const Hosts& hosts = m_slots.HostTable();
  const bool granted = UsptoGranted(number);
  const std::string home = "http://" + hosts.Get(granted ? Hosts::kUsptoPatentSearch : Hosts::kUsptoAppSearch);
  return hosts.UsptoImageUrl(granted ? state.UsptoImgHost : state.UsptoAppImgHost,
                             UsptoClaimsViewerPath(number, state.UsptoDocId, state.UsptoIDKey, home));
}

void UsptoService::ClaimPage_extUSPTO(std::string& pat_num, std::string& claimNUM, std::string& readNUM, bool& good,
                                      std::int16_t&) {
  good = false;
  m_claims.Fetch(ClaimsViewerAddress(pat_num));
  if (Stopped()) {
    m_form.run().Aborted = true;
    return;
  }
  for (const std::string& line : m_claims.Lines(kViewerLines)) {
    if (auto first = UsptoPageNumOnLine(line)) claimNUM = *first;
    if (auto pages = UsptoNumPagesOnLine(line)) {
      readNUM = *pages;
      good = true;
      break;
    }
  }
  m_readNUM = readNUM;
}

void UsptoService::TotPrt_TotFileUSPTO(std::int16_t& TotPages, std::string& claimNUM, std::string& pat_num,
                                       std::int16_t& sunseo) {
  m_claimNUM = claimNUM;
  m_pageCount = TotPages;
  DocumentLookup document;
  document.status = LookupStatus::Found;
  document.pageCount = TotPages;
  document.pageCountText = m_readNUM;
  m_runner.Run(document, pat_num, sunseo);
}

DocumentLookup UsptoService::LookUpDocument(const std::string& number) {
  DocumentLookup result;
  std::string n = number, url_ext, claimNUM, readNUM;
  std::int16_t seq = m_form.run().SeqNo;
  bool good = false;
  IDkey_extUSPTO(n, url_ext, good);
  if (good) {
    if (m_form.ui().CheckBox6.checked())
      ClaimPage_extUSPTO(n, claimNUM, readNUM, good, seq);
    else
      Page_extUSPTO(url_ext, n, readNUM, good, seq);
  }
  m_claimNUM = claimNUM;
  m_pageCount = good ? PageNumber(readNUM) : 0;
  if (good) {
    result.status = LookupStatus::Found;
    result.pageCountText = readNUM;
    result.pageCount = PageNumber(readNUM);
  } else if (Stopped()) {
    result.status = LookupStatus::Stopped;
  }
  return result;
}

std::vector<DocumentSection> UsptoService::Sections(const std::string&) const {
  // The claims run to the last page; a start page that is no page of the
  // document leaves nothing to fetch.
  const int first = PageNumber(m_claimNUM);
  const int last = m_pageCount;
  return {{kClaims, first >= 1 && first <= last ? PageRange{first, last} : PageRange{}}};
}

std::string UsptoService::PageAddress(const std::string& number, int page) const {
  const SlotState& state = m_slots.State();
  const std::string& label = state.UsptoNumLen == 7 ? state.UsptoImgHost : state.UsptoAppImgHost;
  return m_slots.HostTable().UsptoImageUrl(label, UsptoPagePath(number, state.UsptoDocId, state.UsptoIDKey, page));
}

void UsptoService::FinishSection(int section, SectionEnd end) {
  if (end == SectionEnd::Stopped) {
    if (m_keep) m_keep();
    return;
  }
  if (m_assemble) m_assemble(section);
}

}  // namespace orvane
