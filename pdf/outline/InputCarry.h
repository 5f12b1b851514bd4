#pragma once
// Carrying destinations over when pages of an input are copied into an output.
//
// CarryState lives with the input: it remembers, for the current output, which
// input page became which output page (across repeated imports), and the input's
// named destinations once read. CarryHooks runs inside an import: before a page is
// written it takes out the link annotations whose targets will not be in the
// output (they would otherwise point at an object never written) and turns named
// link targets into explicit ones, so that a name that another input also uses
// cannot send the link elsewhere; after a page is written it records its output
// id. CarryNamedDests then re-creates the input's named destinations that lie on
// copied pages.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "pdf/import/PDImport.h"
#include "pdf/outline/InputDests.h"
#include "pdf/outline/PDNameTree.h"

namespace folian {

struct CarryState {
  const PDFile* target = nullptr;
  uint32_t targetSerial = 0;
  std::vector<int32_t> pages;  // output page id by input page number; 0 for a page not copied
  std::set<std::string> namesCarried;
  std::unique_ptr<InputDests> dests;

  // Starts afresh when the output is not the one of the last import.
  void Prepare(PDFInput& input, const PDFile& output);
  // The output id of an input page copied into the current output, or 0.
  [[nodiscard]] int32_t OutputPage(int32_t inputPage) const;
};

class CarryHooks : public ImportHooks {
public:
  // `first` and `last` are the 1-based page range about to be copied.
  CarryHooks(PDFInput& input, CarryState& state, int32_t first, int32_t last);

  void BeforePageWritten(PDFInput& input, PDObject& page) override;
  void OnPageCopied(PDFInput& input, int32_t inputNumber, int32_t outputId) override;

  [[nodiscard]] int32_t LinksDropped() const { return m_dropped; }

private:
  // False when the annotation must be taken out of its page.
  bool KeepAnnotation(PDDict& annotation);
  [[nodiscard]] bool InRange(int32_t page) const {
    return page > 0 && static_cast<size_t>(page) < m_inRange.size() && m_inRange[static_cast<size_t>(page)];
  }

  PDFInput& m_input;
  CarryState& m_state;
  std::vector<bool> m_inRange;  // by input number: a page of the range
  int32_t m_dropped = 0;
};

// Adds the input's named destinations whose pages were copied to `tree`; yields
// how many were added. A name another input already gave keeps its first page.
int32_t CarryNamedDests(CarryState& state, PDNameTree& tree);

}  // namespace folian
