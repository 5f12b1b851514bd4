#pragma once
// Link annotations of an output document: a rectangle on a page that does
// something (PDAction) when clicked, drawn with a BorderStyle.
//
// Links are collected per output page (0-based index). A page lists its links in
// "/Annots" when it is written, which gives each link its object id; the link
// objects themselves are written at close. A link for a page that is never
// written by the document itself (copied pages, pages never made) is dropped at
// close with a diagnostic: it was never listed, so nothing refers to it.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "pdf/base/ByteString.h"
#include "pdf/outline/PDAction.h"
#include "pdf/writer/PDFile.h"

namespace folian {

struct BorderStyle {
  int32_t horizontalRadius = 0;  // -1: no "/Border" entry at all
  int32_t verticalRadius = 0;
  int32_t width = 1;
  int32_t code = 0;  // 0 plain; 1-6 dashed/solid red, green, blue; others by digits
  ByteString extra;  // written after the border as one token

  // The border the exported functions use: a 1-point border in the colour and
  // dash of `code`; a negative code means no border entry.
  static BorderStyle FromCode(int32_t code);
};

// Writes the border entry (nothing when the first integer is negative).
[[nodiscard]] bool WriteBorder(PDFile& file, const BorderStyle& border);

struct PDLink {
  bool text = false;               // subtype /Text instead of /Link
  std::array<float, 4> rect{};     // left, bottom, right, top
  BorderStyle border;
  PDAction action;
  int32_t id = 0;                  // given when the page lists it
};

class PDLinks {
public:
  // Links beyond this many on one document are refused.
  static constexpr size_t kMaxLinks = 1000000;

  // Records a link for the 0-based output page; false when there are too many.
  [[nodiscard]] bool Add(int32_t page, PDLink link);
  // Gives ids to the links of `page` and writes "/Annots [...]" for the page
  // being written; nothing when it has none.
  [[nodiscard]] bool WritePageAnnots(PDFile& file, int32_t page);
  // The ids of the links waiting for `page`, given now: for a page copied from an
  // input, whose /Annots array is extended before it is written. Empty when none
  // wait (or no id could be given).
  std::vector<int32_t> ListPageLinks(PDFile& file, int32_t page);
  // Writes every listed link; `pageId` resolves GoTo targets (0-based pages).
  [[nodiscard]] bool WriteAll(PDFile& file, const std::function<int32_t(int32_t)>& pageId);

private:
  [[nodiscard]] bool WriteLink(PDFile& file, const PDLink& link, int32_t targetId);

  std::map<int32_t, std::vector<PDLink>> m_pending;  // by page; links get ids when listed
  size_t m_count = 0;
};

}  // namespace folian
