#pragma once
// Page import: copies a page range of an input file into an output file.
//
// Every copied page, and every object reachable from it except through /Parent and
// /Dest, is written to the output at once with new numbers (the output's mapping
// table for this input). The pages tree of the input, pruned to the range, becomes
// one kid of the output's pages tree; a one-page input whose root is trivial gives
// its page directly. Objects shared by several pages are written once.
//
// ImportState lives as long as the input it belongs to: repeated imports from one
// input into the same output share its markers, so nothing is written twice.
// Failure: CopyPageRange yields false with a status code in `error`; pages already
// copied stay valid in the output (the output's pages tree never refers to an object
// that is not written).
#include <cstdint>
#include <vector>

#include "pdf/reader/PDFInput.h"
#include "pdf/writer/PDFile.h"

namespace folian {

// Objects met during an import that other parts of the library take over (fonts,
// annotations with appearance fonts, form-field widgets, named destinations).
class ImportHooks {
public:
  virtual ~ImportHooks() = default;
  // Called after an object was written, with its output id.
  virtual void OnImportedObject(PDFInput& /*input*/, PDObject& /*object*/, int32_t /*outputId*/) {}
  // Called for a page of the range just before it is written; the page's value may
  // be changed (links whose targets are not copied are taken out here).
  virtual void BeforePageWritten(PDFInput& /*input*/, PDObject& /*page*/) {}
};

struct ImportState {
  PDFile* target = nullptr;
  uint32_t targetSerial = 0;
  int32_t table = 0;                 // the output's mapping table for this input
  std::vector<uint8_t> copied;       // per input object number: written to the target
  std::vector<uint8_t> onHold;       // per input object number: waits for its subtree
  std::vector<int32_t> processedNodes;  // page-tree nodes handled by earlier imports
};

class PDImport {
public:
  PDImport(PDFInput& input, ImportState& state, PDFile& output, ImportHooks* hooks = nullptr);

  // Copies pages first..last (1-based; last already clamped by the caller). Yields
  // false with `Error()` set when nothing could be copied or the input was damaged.
  bool CopyPageRange(int32_t first, int32_t last);
  int32_t Error() const { return m_error; }
  int32_t PagesCopied() const { return m_pagesCopied; }

private:
  void PrepareState();
  bool WalkNode(PDObject& node, int depth);
  bool WalkKids(PDObject& node, int depth);
  void CopyPage(PDObject& page);
  void Prune(PDObject& node, int32_t count);
  void CopyReachable(PDValue* value);
  bool WriteImported(PDObject& object);
  void WriteHeldObjects();
  int32_t CountOf(PDObject& node);
  bool Taken(int32_t number) const;
  void Mark(std::vector<uint8_t>& marker, int32_t number);
  void SoftError(int32_t code);

  PDFInput& m_input;
  ImportState& m_state;
  PDFile& m_output;
  ImportHooks* m_hooks;

  int32_t m_first = 1;
  int32_t m_last = 0;
  int32_t m_count = 0;        // pages met so far, copied or not
  int32_t m_pagesCopied = 0;
  int32_t m_error = 0;
  int32_t m_size = 0;         // input /Size: numbers at or above are added objects
  // The kept parents from the top node down to the node being walked.
  std::vector<PDObject*> m_kept;
  // Pages copied below each kept parent, parallel to m_kept.
  std::vector<int32_t> m_copiedBelow;
  std::vector<int32_t> m_held;
  std::vector<uint8_t> m_onPath;  // page-tree nodes entered in this import
};

}  // namespace folian
