#pragma once
// The program's working parts joined to a loaded main window: the retrieval
// session (seven transfers, service procedures) and the assembly part
// (joining, viewing, printing, the window's View and mnuOpen commands). The
// orvane program, its window mode and its headless mode attach them once,
// right after the window has loaded; the window owns them from then on.
#include "app/assembly/DocumentAssembly.h"
#include "app/assembly/DocumentViewer.h"
#include "app/window/RetrievalForm.h"

namespace orvane {

class RetrievalSession;

class AssemblyPart : public FormPart {
 public:
  explicit AssemblyPart(RetrievalSession& session);
  ~AssemblyPart() override;

  DocumentViewer& Viewer() { return m_viewer; }
  DocumentAssembly& Assembly() { return m_assembly; }

 private:
  RetrievalSession& m_session;
  DocumentViewer m_viewer;
  DocumentAssembly m_assembly;
};

// Attaches the assembly part to the session's window.
AssemblyPart& AttachAssembly(RetrievalSession& session);

// Attaches the session and then the assembly part.
RetrievalSession& AttachProgram(RetrievalForm& form);

}  // namespace orvane
