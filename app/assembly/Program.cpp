#include "app/assembly/Program.h"

#include "app/services/EspacenetService.h"
#include "app/services/RetrievalSession.h"

namespace orvane {

RetrievalSession& AttachProgram(RetrievalForm& form) {
  RetrievalSession& session = RetrievalSession::AttachTo(form);
  session.AddService(Service::Espacenet, std::make_unique<EspacenetService>(session));
  return session;
}

}  // namespace orvane
