#pragma once
// Page import: copies a page range of an input file into an output file.
//
// Every copied page, and every object reachable from it or from the /Pages nodes
// above it (their inherited /Resources, /MediaBox and the like), is written to the
// output at once with new numbers, through the output's mapping table of this
// input. The pages tree of the input, pruned to the range, becomes one kid of the
// output's pages tree; a one-page input whose root holds nothing but its kid gives
// its page directly. Objects shared by several pages are written once.
//
// Pages are counted as the tree really holds them, the way readers show them: a
// page listed twice is copied twice, a kid that is its own ancestor is skipped, and
// /Count entries are rewritten from what was copied. A reference to an object the
// input does not have, or to a page that is not copied, is written as null, so the
// output never refers to an object it lacks.
//
// ImportState lives as long as the input it belongs to: repeated imports from one
// input into the same output share its table and markers, so nothing is written
// twice. When the output shares objects, an object whose bytes (references
// mapped) equal those of one already written, from this input or an earlier one,
// is not written again: its references go to the written one. Failure: CopyPageRange yields false with a status code in `error` when no
// page could be copied; parts that were skipped while other pages were copied are
// warnings on standard error.
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
  // Called before an object is written, with the output id it gets. True when
  // the hook takes the object over and writes it itself later (fonts merged at
  // close); the hook may also change a page, annotation or form field before it
  // is written. When the output shares identical objects, any other object's bytes
  // are made before this call (to look for an identical one already written, in
  // which case the object is not offered at all), so changes to such an object
  // here are not written: take it over instead.
  virtual bool TakeOver(PDFInput& /*input*/, PDObject& /*object*/, int32_t /*outputId*/) { return false; }
  // Called after an object was written, with its output id.
  virtual void OnImportedObject(PDFInput& /*input*/, PDObject& /*object*/, int32_t /*outputId*/) {}
  // Called for a page of the range just before it is written; the page's value may
  // be changed (links whose targets are not copied are taken out here).
  virtual void BeforePageWritten(PDFInput& /*input*/, PDObject& /*page*/) {}
  // Called after a page was written: its input number and its output id.
  virtual void OnPageCopied(PDFInput& /*input*/, int32_t /*inputNumber*/, int32_t /*outputId*/) {}
};

// Two hook sets as one: each call goes to the first, then the second; an object
// the first takes over is not offered to the second.
class ImportHooksPair : public ImportHooks {
public:
  ImportHooksPair(ImportHooks& first, ImportHooks& second) : m_first(first), m_second(second) {}
  bool TakeOver(PDFInput& input, PDObject& object, int32_t outputId) override {
    return m_first.TakeOver(input, object, outputId) || m_second.TakeOver(input, object, outputId);
  }
  void OnImportedObject(PDFInput& input, PDObject& object, int32_t outputId) override {
    m_first.OnImportedObject(input, object, outputId);
    m_second.OnImportedObject(input, object, outputId);
  }
  void BeforePageWritten(PDFInput& input, PDObject& page) override {
    m_first.BeforePageWritten(input, page);
    m_second.BeforePageWritten(input, page);
  }
  void OnPageCopied(PDFInput& input, int32_t inputNumber, int32_t outputId) override {
    m_first.OnPageCopied(input, inputNumber, outputId);
    m_second.OnPageCopied(input, inputNumber, outputId);
  }

private:
  ImportHooks& m_first;
  ImportHooks& m_second;
};

struct ImportState {
  PDFile* target = nullptr;
  uint32_t targetSerial = 0;
  int32_t table = 0;                    // the output's mapping table for this input
  std::vector<uint8_t> copied;          // per input object number: written to the target
  std::vector<int32_t> processedNodes;  // pages-tree objects written by the last import
};

class PDImport {
public:
  PDImport(PDFInput& input, ImportState& state, PDFile& output, ImportHooks* hooks = nullptr);

  // Copies pages first..last (1-based; a first page below 1 is 1, a last page below
  // 1 or beyond the pages the tree holds means up to the last page). Yields false
  // with `Error()` set when no page could be copied.
  [[nodiscard]] bool CopyPageRange(int32_t first, int32_t last);
  // Copies one object of the input and everything it references (page-tree
  // nodes excepted) into the output, unless it was copied before; yields its
  // output id, or 0 when the input has no such object.
  [[nodiscard]] int32_t CopyObject(int32_t number);
  int32_t Error() const { return m_error; }
  int32_t PagesCopied() const { return m_pagesCopied; }
  // The pages the input's tree holds, as counted by the last CopyPageRange.
  int32_t PagesHeld() const { return static_cast<int32_t>(m_plan.size()); }

private:
  enum Role : uint8_t { kTreePage = 1, kTreeNode = 2, kWanted = 4, kListedTwice = 8 };

  void PrepareState();
  PDObject* TopNode(PDObject& root);
  int32_t Walk(PDObject& node, int32_t parentId, int depth, int32_t& pagesBelow);
  int32_t CopyPage(PDObject& page, int32_t parentId);
  int32_t TreeObjectId(int32_t number);
  bool HasUsableMediaBox(PDValue* page);
  void Sanitize(PDValue* value, bool treeObject);
  bool Keeps(int32_t number);
  void CopyReachable(PDValue* value, bool treeObject);
  // The same, each object written after what it refers to and shared with an
  // identical one already in the output (when the output shares objects).
  void ShareReachable(PDValue* value, bool treeObject);
  // Whether an object met the hooks before what it refers to was copied.
  enum class Offer : uint8_t { kNotYet, kKept, kTaken };
  void WriteOrShare(int32_t number, Offer offer);
  // Gives the hooks the object with its output id; true when one took it over.
  bool OfferToHooks(PDObject& object, int32_t outputId);
  // Writes the object as it is now and tells the hooks.
  bool WriteOwn(PDObject& object, int32_t outputId);
  static bool MayShare(const PDValue* root);
  static void SetStreamLength(PDValue& root);
  bool PendingCopy(int32_t number);
  bool WriteImported(PDObject& object, int32_t outputId);
  bool Flag(int32_t number, uint8_t role) const;
  void SetFlag(std::vector<uint8_t>& marker, int32_t number, uint8_t role);
  void Problem(int32_t code, const char* message, int32_t number = 0);

  PDFInput& m_input;
  ImportState& m_state;
  PDFile& m_output;
  ImportHooks* m_hooks;

  bool m_writing = false;     // false while the tree is only counted
  int32_t m_first = 1;
  int32_t m_last = 0;
  int32_t m_count = 0;        // pages met so far in this walk, copied or not
  int32_t m_pagesCopied = 0;
  int32_t m_error = 0;        // the first thing that went wrong
  int64_t m_visits = 0;       // tree entries entered in this walk
  bool m_stopped = false;
  std::vector<int32_t> m_plan;      // the pages the tree holds, in order
  std::vector<uint8_t> m_roles;     // Role flags per input object number
  std::vector<uint8_t> m_onPath;    // ancestors of the node being walked
  std::vector<uint8_t> m_written;   // pages-tree objects written in this import
  std::vector<PDValue*> m_path;     // dictionaries of the nodes being walked
  // Scratch room reused from object to object, so that copying allocates little.
  struct ShareFrame {
    int32_t number;
    size_t first;  // its child list in m_children: [first, end), next to enter at `next`
    size_t end;
    Offer offer;
    size_t next = 0;
  };
  std::vector<ShareFrame> m_frames;
  std::vector<int32_t> m_children;
  std::vector<const PDValue*> m_scratch;
  std::vector<PDValue*> m_sanitizing;
  PDFile::Body m_body;
};

}  // namespace folian
