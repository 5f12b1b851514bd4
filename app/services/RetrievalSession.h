#pragma once
// The retrieval machinery joined to the main window: the seven transfers
// (TransferSlots with Inet0..Inet6) driven by the window's event pump and
// cancelled by its Skip and stop-all, the slots' view of the window
// (FormSlotHost), the service procedures registered with the window's run
// driver, and the assembly the page loops call when a section is complete.
//
// Attached to the RetrievalForm and owned by it (see RetrievalForm::attach),
// so the transfers live exactly as long as the window; the service procedures
// and the window use it from the window thread only. Hosts come from
// "hosts.txt" in the window's settings root; its problems are reported to the
// window's host and otherwise ignored.
#include <memory>
#include <utility>
#include <vector>

#include "app/services/FormSlotHost.h"
#include "app/services/SectionAssembly.h"
#include "app/transfer/Hosts.h"
#include "app/transfer/TransferSlots.h"
#include "app/window/RetrievalForm.h"

namespace orvane {

class RetrievalSession : public FormPart {
 public:
  RetrievalSession(RetrievalForm& form, Hosts hosts);
  ~RetrievalSession() override;
  RetrievalSession(const RetrievalSession&) = delete;
  RetrievalSession& operator=(const RetrievalSession&) = delete;

  // Creates a session with the hosts of the window's settings root and
  // attaches it to the window.
  static RetrievalSession& AttachTo(RetrievalForm& form);
  static Hosts LoadHosts(const RetrievalForm& form);

  RetrievalForm& Form() { return m_form; }
  RunState& Run() { return m_form.run(); }
  TransferSlots& Slots() { return m_slots; }
  SlotState& State() { return m_slots.State(); }
  SlotHost& Host() { return m_host; }
  const Hosts& HostTable() const { return m_slots.HostTable(); }

  // The service procedure of one service, owned by the session from now on
  // and registered with the window's run driver.
  RetrievalService& AddService(Service which, std::unique_ptr<RetrievalService> service);

  // The assembly the page loops call; until one is set they join nothing.
  void SetAssembly(SectionAssembly* assembly) { m_assembly = assembly; }
  SectionAssembly* Assembly() const { return m_assembly; }
  void AssemblePdf(int BoxNumFile);
  void AssembleTiff(int BoxNumFile);
  void KeepStoppedPages();

 private:
  RetrievalForm& m_form;
  FormSlotHost m_host;
  TransferSlots m_slots;
  std::vector<std::pair<Service, std::unique_ptr<RetrievalService>>> m_services;
  SectionAssembly* m_assembly = nullptr;
  int m_poller = 0;
  int m_cancel = 0;
};

}  // namespace orvane
