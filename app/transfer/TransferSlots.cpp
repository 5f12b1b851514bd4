#include "app/transfer/TransferSlots.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace orvane {
namespace {

// Marks a slot as reading for the length of its completion handling.
class ReadingMark {
 public:
  explicit ReadingMark(bool& flag) : m_flag(flag) { m_flag = true; }
  ~ReadingMark() { m_flag = false; }

 private:
  bool& m_flag;
};

bool Success(long status) { return status >= 200 && status <= 299; }

}  // namespace

TransferSlots::TransferSlots(SlotHost& host, Hosts hosts) : m_host(host), m_hosts(std::move(hosts)) {
  m_engine.SetConnectTo(m_hosts.ConnectTo());
  for (int i = 0; i < 7; ++i) {
    m_inet[i] = std::make_unique<Transfer>(m_engine, "Inet" + std::to_string(i));
  }
  m_inet[0]->SetStateHandler([this](int state) { OnTextNotice(state); });
  for (int k = 1; k <= kInet6; ++k) {
    m_inet[k]->SetStateHandler([this, k](int state) { OnSlotNotice(k, state); });
  }
  SetSlotTimeoutMs(kSlotTimeoutMs);
}

TransferSlots::~TransferSlots() { CancelAll(); }

void TransferSlots::SetSlotTimeoutMs(int ms) {
  for (int k = 1; k <= kInet6; ++k) m_inet[k]->SetRequestTimeoutMs(ms);
}

std::string TransferSlots::Prefix(int page) const {
  return std::to_string(m_host.SeqNo()) + ". " + m_host.CurPatNum() + " :  " + std::to_string(page);
}

void TransferSlots::BeginRange(int startNum, int endNum) {
  m_state.start_num = startNum;
  m_state.end_num = static_cast<int16_t>(endNum);
  int32_t count = endNum >= startNum ? endNum - startNum + 1 : 0;
  m_host.SetPageCount(count);
  m_host.SetProgressMax(count);
  m_state.SlotRetries.fill(0);
  m_state.LastIssuedPage = static_cast<int16_t>(startNum - 1);
}

void TransferSlots::StartFirstPages() {
  for (int p = m_state.start_num; p <= m_state.end_num && p < m_state.start_num + kSlots; ++p) {
    StartSlot(p % kSlots == 0 ? kSlots : p % kSlots, p);
  }
}

void TransferSlots::StartSlot(int k, int page) {
  // Page number and LastIssuedPage are taken before anything can let events
  // run, so two slots never get the same page.
  m_state.SlotPage[k] = static_cast<int16_t>(page);
  m_state.LastIssuedPage = static_cast<int16_t>(page);
  m_state.SlotLine[k] = m_host.AddStatusLine(Prefix(page) + " Page  진행 중 !");
  m_host.SetStatusLineSelected(m_state.SlotLine[k], true);
  m_state.PageURL = PageAddress(page);
  Send(k, m_state.PageURL);
}

void TransferSlots::SendInet6() { Send(kInet6, m_state.PageURL); }

void TransferSlots::Send(int k, const std::string& url) {
  m_state.SlotResponded[Var(k)] = false;
  if (m_gate && !m_gate->MaySend(k)) {
    m_held[k] = url;
    return;
  }
  m_held[k].reset();
  if (m_observer) m_observer(k, m_state.SlotPage[Var(k)]);
  m_inet[k]->Execute(url, "Get", "", m_gate ? m_gate->RequestHeaders(k) : std::string());
}

void TransferSlots::SendHeld() {
  if (!m_gate || m_sendingHeld) return;
  m_sendingHeld = true;
  m_gate->Poll();
  for (int k = 1; k <= kInet6; ++k) {
    if (!m_held[k] || Stopped()) continue;
    if (!m_gate->MaySend(k)) break;
    const std::string url = *m_held[k];
    m_held[k].reset();
    if (m_observer) m_observer(k, m_state.SlotPage[Var(k)]);
    m_inet[k]->Execute(url, "Get", "", m_gate->RequestHeaders(k));
  }
  m_sendingHeld = false;
}

std::string TransferSlots::PageAddress(int page) const {
  if (m_addressBuilder) return m_addressBuilder(page);
  const std::string p = std::to_string(page);
  const std::string n = m_host.CurPatNum();
  switch (m_pageService) {
    case PageService::Espacenet:
      return m_hosts.Url(Hosts::kEspacenet, "/dips/bns.pdf?PN=" + n + "&ID=" + m_state.EspID + "&PG=" + p + "+");
    case PageService::Uspto:
      if (m_state.UsptoNumLen == 7) {
        return m_hosts.UsptoImageUrl(m_state.UsptoImgHost, "/.DImg?Docid=US0" + m_state.UsptoDocId + "&PageNum=" + p +
                                                               "&IDKey=" + m_state.UsptoIDKey + "&ImgFormat=tif");
      }
      return m_hosts.UsptoImageUrl(m_state.UsptoAppImgHost, "/.DImg?Docid=us" + n + "ki&PageNum=" + p +
                                                                "&IDKey=" + m_state.UsptoIDKey + "&ImgFormat=tif");
    case PageService::Kipris:
      return m_hosts.Url(Hosts::kKiprisSearch, "/cgi/IMAGE6?sql=IMAGE6&page=" + p +
                                                   "&user=KELDMARE&sys=KO&sub=0x105&appl_no=" + m_state.KiprisApplNo);
  }
  return std::string();
}

std::string TransferSlots::PageFilePath(int k, int page) const {
  PageFileContext c{m_host.CurPatNum(), m_host.SaveFolder(), m_state.downfolder, m_state.imsifolder,
                    m_host.FolderPerNumber(), m_host.BadPageMode()};
  return k == kInet6 ? Inet6PageFile(c, m_inet6Service, page) : SlotPageFile(c, m_pageService, page);
}

bool TransferSlots::SlotsExecuting() const {
  for (int k = 1; k <= kSlots; ++k) {
    if (m_inet[k]->StillExecuting() || m_held[k]) return true;
  }
  return false;
}

bool TransferSlots::RangeFinished() const {
  return !SlotsExecuting() && m_state.LastIssuedPage >= m_state.end_num;
}

void TransferSlots::CancelAll() {
  for (auto& held : m_held) held.reset();
  for (auto& inet : m_inet) inet->Cancel();
}

void TransferSlots::OnSlotNotice(int k, int state) {
  switch (state) {
    case Transfer::kReceivingResponse:
      m_host.SetLabel6("Receiving Response from Host");
      break;
    case Transfer::kResponseReceived:
      m_host.SetLabel6("Response Received");
      m_state.SlotResponded[Var(k)] = true;
      break;
    case Transfer::kDisconnecting:
      m_host.SetLabel6("Disconnecting from Host");
      break;
    case Transfer::kDisconnected:
      m_host.SetLabel6("Disconnected from Host");
      m_host.SetLabel6("");
      break;
    case Transfer::kResponseCompleted:
      if (m_gate && m_gate->OnAnswer(k, *m_inet[k]) == SendGate::Verdict::Resend) {
        if (!Stopped()) Send(k, k == kInet6 ? m_state.PageURL : PageAddress(m_state.SlotPage[Var(k)]));
        break;
      }
      ReadPage(k);
      break;
    case Transfer::kError:
      PageFailed(k);
      break;
    default:
      break;
  }
}

// Completion of slot k's request: the body goes to the page file in 1024-byte
// chunks, with events running after every chunk. A stop request seen while
// reading leaves the partial file, sets Aborted and ends the slot's work on
// this number; a body that is not a complete page of the expected kind is a
// failed attempt and its file is removed, so no error page is kept as a page.
void TransferSlots::ReadPage(int k) {
  ReadingMark mark(m_reading[k]);
  Transfer& inet = *m_inet[k];
  const uint64_t serial = inet.Serial();
  const int v = Var(k);
  const std::string path = PageFilePath(k, m_state.SlotPage[v]);
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    // Asking the office again cannot help a page that has nowhere to go:
    // the page is BAD at once.
    m_state.SlotRetries[v] = kMaxRetries;
    PageFailed(k);
    return;
  }
  BodyCheck check;
  auto stopHere = [&] {
    if (!Stopped() && inet.Serial() == serial) return false;
    m_host.SetAborted();
    return true;
  };
  std::string chunk = inet.GetChunk(kChunkSize);
  m_host.DoEvents();
  if (stopHere()) return;
  while (!chunk.empty()) {
    // Each chunk goes to disk at once, so a stopped page leaves what arrived.
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    out.flush();
    check.Add(chunk);
    chunk = inet.GetChunk(kChunkSize);
    m_host.DoEvents();
    if (stopHere()) return;
  }
  while (inet.StillExecuting()) {
    m_host.DoEvents();
    if (stopHere()) return;
  }
  out.close();
  const PageKind kind = k == kInet6 ? Inet6PageKind(m_inet6Service) : SlotPageKind(m_pageService);
  // Delphion's answers may lack the response-received notice; the status and
  // the body still have to be right.
  const bool responded = m_state.SlotResponded[v] || (k == kInet6 && m_inet6Service == Inet6Service::Delphion);
  if (out.fail() || !responded || !Success(inet.ResponseStatus()) || !check.IsKind(kind)) {
    std::filesystem::remove(path, ec);
    PageFailed(k);
    return;
  }
  PageGood(k);
}

void TransferSlots::PageGood(int k) {
  const int v = Var(k);
  m_state.SlotRetries[v] = 0;
  const std::string text = Prefix(m_state.SlotPage[v]) + " Page  GOOD !";
  m_host.ReplaceStatusLine(m_state.SlotLine[v], text);
  m_host.SetStatusLineSelected(m_state.SlotLine[v], false);
  m_host.SetLabel6(text);
  m_host.StepProgress();
  if (k != kInet6) HandNextPage(k);
}

void TransferSlots::PageFailed(int k) {
  if (Stopped()) return;
  const int v = Var(k);
  const int page = m_state.SlotPage[v];
  if (m_state.SlotRetries[v] >= kMaxRetries) {
    m_state.SlotRetries[v] = 0;
    m_host.ReplaceStatusLine(m_state.SlotLine[v], Prefix(page) + " Page   BAD ! ->");
    m_host.SetStatusLineSelected(m_state.SlotLine[v], true);
    m_host.SetLabel6(Prefix(page) + "/" + std::to_string(m_host.TotPages()) + " Page   BAD !");
    m_host.SetAborted();
    m_host.StepProgress();
    if (k != kInet6) HandNextPage(k);
    return;
  }
  // The slots build a fresh address; Inet6 sends PageURL again unchanged.
  if (k != kInet6) m_state.PageURL = PageAddress(page);
  ++m_state.SlotRetries[v];
  Send(k, m_state.PageURL);
}

void TransferSlots::HandNextPage(int k) {
  if (m_state.LastIssuedPage < m_state.end_num) StartSlot(k, m_state.LastIssuedPage + 1);
}

void TransferSlots::OnTextNotice(int state) {
  if (state == Transfer::kResponseCompleted) {
    ReadText();
  } else if (state == Transfer::kError) {
    const Transfer& inet = *m_inet[0];
    if (inet.ErrorCode() == Transfer::kTimedOut) {
      m_host.SetLabel6(std::to_string(m_host.SeqNo()) + ". " + m_host.CurPatNum() + " :  " + " 접속실패 !");
    } else {
      m_host.SetLabel6(std::to_string(m_host.SeqNo()) + ". " + inet.ErrorText());
    }
  }
}

// The text channel keeps an answer page's first 7000 characters or a little
// more: scrapers look only at the top of a page, and a long page is never
// read whole. An error page (non-2xx status) is reported, not stored.
void TransferSlots::ReadText() {
  ReadingMark mark(m_reading[0]);
  Transfer& inet = *m_inet[0];
  if (!Success(inet.ResponseStatus())) {
    m_host.SetLabel6(std::to_string(m_host.SeqNo()) + ". HTTP status " + std::to_string(inet.ResponseStatus()));
    return;
  }
  const uint64_t serial = inet.Serial();
  std::string text;
  for (;;) {
    std::string chunk = inet.GetChunk(kChunkSize, Transfer::Chunk::Text);
    text += chunk;
    m_host.DoEvents();
    if (Stopped() || inet.Serial() != serial) return;
    if (chunk.empty() || text.size() > kTextLimit) break;
  }
  m_host.SetTextBox(text);
}

}  // namespace orvane
