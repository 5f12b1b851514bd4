#include "app/assembly/Program.h"

#include "app/services/RetrievalSession.h"

namespace orvane {

RetrievalSession& AttachProgram(RetrievalForm& form) {
  RetrievalSession& session = RetrievalSession::AttachTo(form);
  return session;
}

}  // namespace orvane
