#pragma once
// The program's working parts joined to a loaded main window: the retrieval
// session (seven transfers, service procedures) and the assembly of fetched
// sections (joining, viewing, printing). The orvane program, its window mode
// and its headless mode attach them once, right after the window has loaded;
// the window owns them from then on.
namespace orvane {

class RetrievalForm;
class RetrievalSession;

RetrievalSession& AttachProgram(RetrievalForm& form);

}  // namespace orvane
