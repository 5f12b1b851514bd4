#pragma once
// Copying the outline of an input into an output's outline, for the pages of the
// input already copied.
//
// An item whose destination (explicit, named, or through a GoTo action) lies on a
// copied page is re-created with its title, its open or closed state and its
// destination on the output page; its children follow the same rule. An item
// whose target page was not copied is left out and its kept children move up to
// its place. An item without a page target is kept when something below it is
// kept (a heading), or when its action leads out of the document (a web
// address, another file, a program) and refers to no object of the input. The input's
// /Count values only give the open state: counts are worked out again from what
// was kept, so a count that lies cannot spoil the output.
//
// Loops through /First or /Next end at the first item met again; nesting deeper
// than kMaxDepth and more than kMaxItems items are left out with a diagnostic.
#include <cstdint>

#include "pdf/outline/InputCarry.h"
#include "pdf/outline/PDOutline.h"

namespace folian {

class OutlineCopy {
public:
  static constexpr int kMaxDepth = 64;
  static constexpr int32_t kMaxItems = 100000;

  OutlineCopy(PDFInput& input, CarryState& state, PDOutline& outline)
      : m_input(input), m_state(state), m_outline(outline) {}

  // Copies below `parent` (none: the top level). Yields the number of items made,
  // or -1 when the outline could not take them (the writer's last error is set).
  int32_t CopyUnder(OutlineItem* parent);

private:
  [[nodiscard]] bool CopyLevel(int32_t first, OutlineItem* parent, int depth);

  PDFInput& m_input;
  CarryState& m_state;
  PDOutline& m_outline;
  std::unordered_set<int32_t> m_visited;
  int32_t m_made = 0;
  int32_t m_met = 0;
  bool m_tooDeep = false;
};

}  // namespace folian
