#pragma once
// PDDest: an explicit destination in the output: a page (by output id) and how to
// show it. The view is either copied from an input ("/XYZ 0 792 0", "/Fit", ...)
// or given as four reals (left, bottom, right, top) that the fit rules turn into
// "/FitH bottom", "/XYZ null null null" or "/FitR left bottom right top".
#include <array>
#include <cstdint>

#include "pdf/object/PDValue.h"
#include "pdf/writer/PDFile.h"

namespace folian {

struct PDDest {
  int32_t pageId = 0;
  std::array<float, 4> box{};  // left, bottom, right, top
  PDValuePtr view;             // elements after the page, copied; none for the fit rules

  PDDest() = default;
  PDDest(int32_t page, PDValuePtr copiedView) : pageId(page), view(std::move(copiedView)) {}
  PDDest(PDDest&&) = default;
  PDDest& operator=(PDDest&&) = default;
  PDDest Copy() const;
};

// Writes "[" page reference, the view, "]".
[[nodiscard]] bool WriteDestArray(PDFile& file, const PDDest& dest);

// The view elements of an input's destination array (everything after the page),
// keeping only names, numbers and null, so that no reference into the input is
// carried along; an empty or unusable view becomes /XYZ null null null.
PDValuePtr CopyView(const PDValue* destArray);

}  // namespace folian
