#pragma once
// The main window's seven transfers and the page download they perform:
//   Inet1..Inet5  five parallel slots; each writes its page file, judges it
//                 GOOD or BAD, requests a failed page again up to three
//                 times, and hands itself the next page not yet issued;
//   Inet6         a single slot on slot 1's variables for the services that
//                 fetch page by page (it never issues a next page itself);
//   Inet0         the text channel: an answer page's first 7000 characters
//                 or a little more go into the window's TextBox.
//
// Owned by the main window, together with the engine that drives the
// transfers; the window's event pump calls Engine().Poll(). A page counts as
// GOOD only when its response completed with a 2xx status and its body is a
// complete file of the kind asked for; anything else is a failed attempt.
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/transfer/Hosts.h"
#include "app/transfer/PageFile.h"
#include "app/transfer/SendGate.h"
#include "app/transfer/SlotHost.h"
#include "app/transfer/SlotState.h"
#include "app/transfer/Transfer.h"
#include "app/transfer/TransferEngine.h"

namespace orvane {

class TransferSlots {
 public:
  static constexpr int kSlots = 5;
  static constexpr int kInet6 = 6;
  static constexpr int kMaxRetries = 3;
  static constexpr int kSlotTimeoutMs = 20000;
  static constexpr size_t kChunkSize = 1024;
  static constexpr size_t kTextLimit = 7000;

  TransferSlots(SlotHost& host, Hosts hosts);
  ~TransferSlots();
  TransferSlots(const TransferSlots&) = delete;
  TransferSlots& operator=(const TransferSlots&) = delete;

  TransferEngine& Engine() { return m_engine; }
  Transfer& Inet(int index) { return *m_inet.at(index); }  // 0..6
  SlotState& State() { return m_state; }
  const SlotState& State() const { return m_state; }
  const Hosts& HostTable() const { return m_hosts; }

  void SetPageService(PageService service) { m_pageService = service; }
  // A service that builds its own page addresses; when set it takes the
  // place of the built-in forms of PageAddress (an empty function clears it).
  void SetAddressBuilder(std::function<std::string(int page)> builder) { m_addressBuilder = std::move(builder); }
  PageService GetPageService() const { return m_pageService; }
  void SetInet6Service(Inet6Service service) { m_inet6Service = service; }
  // Request time-out of Inet1..Inet6 (20 s unless changed).
  void SetSlotTimeoutMs(int ms);

  // Prepares a range: start_num, end_num, PageCount and the progress bar
  // maximum; all SlotRetries zeroed. LastIssuedPage becomes start - 1, so an
  // empty range (end before start) counts as finished at once.
  void BeginRange(int startNum, int endNum);
  // Hands out the first pages of the range, at most five, page p to slot
  // p mod 5 (slot 5 for a remainder of 0).
  void StartFirstPages();
  // Slot k (1..5) takes page p: progress line, PageURL, request.
  void StartSlot(int k, int page);
  // Sends PageURL on Inet6 for slot 1's current page.
  void SendInet6();
  // The address of page p for the current page service.
  std::string PageAddress(int page) const;
  // The file slot k (1..5, or 6 for Inet6) writes for page p.
  std::string PageFilePath(int k, int page) const;

  bool SlotsExecuting() const;  // any of Inet1..Inet5
  // No slot executing and the last page of the range handed out.
  bool RangeFinished() const;
  void CancelAll();  // Inet0..Inet6

  // True while slot k (1..6) is inside its completion handling.
  bool SlotReading(int k) const { return m_reading.at(k); }
  // Called for every page request sent (first requests and repeats).
  void SetRequestObserver(std::function<void(int k, int page)> observer) { m_observer = std::move(observer); }

  // A service that meters its requests (nullptr: none). While a gate holds
  // a slot back, the slot counts as executing; SendHeld() sends what the
  // gate now allows and is called on every turn of the event pump.
  void SetSendGate(SendGate* gate) { m_gate = gate; }
  SendGate* Gate() const { return m_gate; }
  void SendHeld();

 private:
  int Var(int k) const { return k == kInet6 ? 1 : k; }
  bool Stopped() const { return m_host.TempStop() || m_host.AllStop(); }
  std::string Prefix(int page) const;
  void Send(int k, const std::string& url);
  void OnSlotNotice(int k, int state);
  void ReadPage(int k);
  void PageGood(int k);
  void PageFailed(int k);
  void HandNextPage(int k);
  void OnTextNotice(int state);
  void ReadText();

  SlotHost& m_host;
  Hosts m_hosts;
  TransferEngine m_engine;
  std::array<std::unique_ptr<Transfer>, 7> m_inet;
  SlotState m_state;
  PageService m_pageService = PageService::Espacenet;
  Inet6Service m_inet6Service = Inet6Service::Ipdl;
  std::array<bool, 7> m_reading{};
  std::function<void(int, int)> m_observer;
  std::function<std::string(int)> m_addressBuilder;
  SendGate* m_gate = nullptr;
  std::array<std::optional<std::string>, 7> m_held;  // address a gate holds back, per slot
  bool m_sendingHeld = false;
};

}  // namespace orvane
