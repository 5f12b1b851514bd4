#include "app/services/RetrievalSession.h"

#include "app/window/UiHost.h"

namespace orvane {

RetrievalSession::RetrievalSession(RetrievalForm& form, Hosts hosts)
    : m_form(form), m_host(form), m_slots(m_host, std::move(hosts)) {
  // Every wait loop of the window pumps the transfers; the wait budget goes
  // to libcurl so that a waiting run sleeps on the sockets, not in a spin.
  m_poller = m_form.pump().addPoller([this](int maxWaitMs) {
    m_slots.Engine().Poll(maxWaitMs);
    m_slots.SendHeld();
  });
  m_cancel = m_form.addCancelHandler([this] { m_slots.CancelAll(); });
  // A synchronous fetch keeps the window (stop buttons included) alive.
  m_slots.Engine().SetIdleHook([this] { m_form.doEvents(); });
  if (UiHost* host = m_form.host()) {
    for (const std::string& problem : m_slots.HostTable().Problems()) host->report("hosts.txt: " + problem);
  }
}

RetrievalSession::~RetrievalSession() {
  // The window must not call a procedure that is gone.
  for (const auto& [which, service] : m_services) m_form.registerService(which, nullptr);
  m_slots.Engine().SetIdleHook({});
  m_slots.CancelAll();
  m_form.removeCancelHandler(m_cancel);
  m_form.pump().removePoller(m_poller);
}

Hosts RetrievalSession::LoadHosts(const RetrievalForm& form) {
  return Hosts::LoadFile((form.files().root() / "hosts.txt").string());
}

RetrievalSession& RetrievalSession::AttachTo(RetrievalForm& form) {
  auto session = std::make_unique<RetrievalSession>(form, LoadHosts(form));
  return static_cast<RetrievalSession&>(form.attach(std::move(session)));
}

RetrievalService& RetrievalSession::AddService(Service which, std::unique_ptr<RetrievalService> service) {
  RetrievalService& added = *service;
  m_services.emplace_back(which, std::move(service));
  m_form.registerService(which, &added);
  return added;
}

void RetrievalSession::AssemblePdf(int BoxNumFile) {
  if (m_assembly) m_assembly->AssemblePdf(BoxNumFile);
}

void RetrievalSession::AssembleTiff(int BoxNumFile) {
  if (m_assembly) m_assembly->AssembleTiff(BoxNumFile);
}

void RetrievalSession::KeepStoppedPages() {
  if (m_assembly) m_assembly->KeepStoppedPages();
}

}  // namespace orvane
