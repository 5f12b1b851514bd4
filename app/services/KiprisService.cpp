#include "app/services/KiprisService.h"

#include "app/services/KiprisPages.h"
#include "app/services/RetrievalSession.h"
#include "app/transfer/TransferSlots.h"
#include "app/window/RetrievalForm.h"
#include "app/window/TextFile.h"
#include "app/window/UiHost.h"

namespace orvane {
namespace {

std::vector<std::string> TextLines(const std::string& text, int maxLines) {
  LineReader reader = LineReader::fromText(text);
  std::vector<std::string> lines;
  while (static_cast<int>(lines.size()) < maxLines && !reader.atEndOfStream()) lines.push_back(reader.readLine());
  return lines;
}

}  // namespace

KiprisService::KiprisService(RetrievalForm& form, TransferSlots& slots, Assembler assemble, PageKeeper keep)
    : m_form(form),
      m_slots(slots),
      m_assemble(std::move(assemble)),
      m_keep(std::move(keep)),
      m_scratch(form, slots.Inet(0), form.files().root() / kScratchFile),
      m_runner(form, slots, *this) {
  m_form.kiprisLogin().setLoginAction(
      [this](const std::string& id, const std::string& password) { return Login(id, password); });
}

KiprisService::KiprisService(RetrievalSession& session)
    : KiprisService(
          session.Form(), session.Slots(), [&session](int BoxNumFile) { session.AssembleTiff(BoxNumFile); },
          [&session] { session.KeepStoppedPages(); }) {}

KiprisService::~KiprisService() { m_form.kiprisLogin().setLoginAction({}); }

bool KiprisService::Stopped() const { return m_form.run().stopRequested(); }

bool KiprisService::Login(const std::string& id, const std::string& password) {
  MainControls& ui = m_form.ui();
  ui.TextBox.setText("");
  std::string answer;
  const bool answered =
      m_slots.Inet(0).FetchText(m_slots.HostTable().Url(Hosts::kKiprisLogin, KiprisLoginPath(id, password)), answer);
  // A server that echoes the form must not put the password on disk.
  BlankOutSecret(answer, password);
  ui.TextBox.setText(answer);
  // The answer is read back from memory; the scratch file is only a copy.
  (void)WriteTextFile(m_form.files().root() / kScratchFile, answer);
  // No answer at all is no login either: nothing says the service took it.
  const bool refused = !answered || answer.empty() || KiprisLoginRefused(TextLines(answer, kKiprisLoginLines));
  if (refused && m_form.host()) m_form.host()->messageBox(kLoginFailed, kProgramName, MessageButtons::Ok);
  return !refused;
}

void KiprisService::IDkey_extKIPRIS(std::string& pat_num, std::string& pageCount, bool& good) {
  const Hosts& hosts = m_slots.HostTable();
  SlotState& state = m_slots.State();
  good = false;
  pageCount.clear();
  // An earlier document's application number must never fetch this one's pages.
  state.KiprisApplNo.clear();
  for (int attempt = 0; attempt < kLookupAttempts && pageCount.empty(); ++attempt) {
    m_form.ui().TextBox.setText("");
    std::string ignored;
    (void)m_slots.Inet(0).FetchText(hosts.Url(Hosts::kKiprisSearch, KiprisSearchPath(pat_num)), ignored);
    if (!Stopped()) (void)m_slots.Inet(0).FetchText(hosts.Url(Hosts::kKiprisSearch, KiprisBodyPath()), ignored);
    if (!Stopped()) m_scratch.Fetch(hosts.Url(Hosts::kKiprisSearch, KiprisFullTextPath()));
    if (Stopped()) {
      m_form.run().Aborted = true;
      return;
    }
    const KiprisDocument doc = KiprisScanFullText(m_scratch.Lines(kKiprisFullTextLines));
    if (!doc.applNo.empty()) state.KiprisApplNo = doc.applNo;
    pageCount = doc.readNUM;
  }
  m_readNUM = pageCount;
  good = !pageCount.empty();
}

void KiprisService::TotPrt_TotFileUSPTO(std::int16_t& TotPages, std::string&, std::string& pat_num,
                                        std::int16_t& sunseo) {
  DocumentLookup document;
  document.status = LookupStatus::Found;
  document.pageCount = TotPages;
  document.pageCountText = m_readNUM;
  m_runner.Run(document, pat_num, sunseo);
}

DocumentLookup KiprisService::LookUpDocument(const std::string& number) {
  std::string n = number, pageCount;
  bool good = false;
  IDkey_extKIPRIS(n, pageCount, good);
  DocumentLookup result;
  if (good) {
    result.status = LookupStatus::Found;
    result.pageCountText = pageCount;
    result.pageCount = PageNumber(pageCount);
  } else if (Stopped()) {
    result.status = LookupStatus::Stopped;
  }
  return result;
}

std::string KiprisService::PageAddress(const std::string&, int page) const {
  return m_slots.HostTable().Url(Hosts::kKiprisSearch, KiprisPagePath(m_slots.State().KiprisApplNo, page));
}

void KiprisService::FinishSection(int section, SectionEnd end) {
  if (end == SectionEnd::Stopped) {
    if (m_keep) m_keep();
    return;
  }
  if (m_assemble) m_assemble(section);
}

}  // namespace orvane
