#include "app/assembly/Program.h"

#include "app/services/EspacenetService.h"
#include "app/services/DelphionService.h"
#include "app/services/IpdlService.h"
#include "app/services/KiprisService.h"
#include "app/services/OpsService.h"
#include "app/services/UsptoService.h"
#include "app/services/RetrievalSession.h"

namespace orvane {

AssemblyPart::AssemblyPart(RetrievalSession& session)
    : m_session(session), m_viewer(session.Form()), m_assembly(session, m_viewer) {
  m_session.SetAssembly(&m_assembly);
  m_session.Form().setExternalHandler("View_Click", [this] { m_viewer.View_Click(); });
  m_session.Form().setExternalHandler("mnuOpen_Click", [this] { m_viewer.mnuOpen_Click(); });
}

AssemblyPart::~AssemblyPart() {
  m_session.Form().setExternalHandler("View_Click", {});
  m_session.Form().setExternalHandler("mnuOpen_Click", {});
  m_session.SetAssembly(nullptr);
}

AssemblyPart& AttachAssembly(RetrievalSession& session) {
  return static_cast<AssemblyPart&>(session.Form().attach(std::make_unique<AssemblyPart>(session)));
}

// The assembly is attached after the session, so the window destroys it first.
RetrievalSession& AttachProgram(RetrievalForm& form) {
  RetrievalSession& session = RetrievalSession::AttachTo(form);
  session.AddService(Service::Espacenet, std::make_unique<EspacenetService>(session));
  // JPO IPDL with PAJ, and Delphion: pages one at a time on Inet6.
  session.AddService(Service::Ipdl, std::make_unique<IpdlService>(session));
  session.AddService(Service::Delphion, std::make_unique<DelphionService>(session));
  session.AddService(Service::Uspto, std::make_unique<UsptoService>(session));
  session.AddService(Service::Kipris, std::make_unique<KiprisService>(session));
  // The EPO's Open Patent Services: PDF pages on the five slots under a fair-use governor.
  session.AddService(Service::Ops, std::make_unique<OpsService>(session));
  AttachAssembly(session);
  return session;
}

}  // namespace orvane
