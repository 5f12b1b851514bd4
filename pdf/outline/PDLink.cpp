#include "pdf/outline/PDLink.h"

#include <cstdio>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/NumberFormat.h"

namespace folian {

BorderStyle BorderStyle::FromCode(int32_t code) {
  BorderStyle border;
  if (code < 0) {
    border.horizontalRadius = -1;
    return border;
  }
  border.code = code;
  return border;
}

namespace {

const char* Component(int digit) {
  static const char* const kDigits[] = {"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "1"};
  return kDigits[digit];
}

}  // namespace

bool WriteBorder(PDFile& file, const BorderStyle& border) {
  if (border.horizontalRadius < 0) return true;
  if (!(file.WriteToken("/Border [") && file.WriteInt(border.horizontalRadius) &&
        file.WriteInt(border.verticalRadius) && file.WriteInt(border.width)))
    return false;
  static const char* const kFixed[] = {nullptr,
                                       "[1 2] ] /C [1 0 0",
                                       "] /C [1 0 0",
                                       "[1 2] ] /C [0 1 0",
                                       "] /C [0 1 0",
                                       "[1 2] ] /C [0 0 1",
                                       "] /C [0 0 1"};
  int32_t code = border.code;
  if (code >= 1 && code <= 6) {
    if (!file.WriteToken(kFixed[code])) return false;
  } else if (code != 0) {
    // Digits from the right: red, green, blue, then the two dash lengths.
    long digits = code < 0 ? -static_cast<long>(code) : code;
    int red = digits % 10, green = digits / 10 % 10, blue = digits / 100 % 10;
    int dashOn = digits / 1000 % 10, dashOff = digits / 10000 % 10;
    char text[64];
    if (dashOn > 0 && dashOff > 0) {
      std::snprintf(text, sizeof text, "[ %d %d]", dashOn, dashOff);
      if (!file.WriteToken(text)) return false;
    }
    std::snprintf(text, sizeof text, "] /C [%s %s %s", Component(red), Component(green), Component(blue));
    if (!file.WriteToken(text)) return false;
  }
  if (!(file.WriteToken("]") && file.WriteLineEnd())) return false;
  return border.extra.empty() || file.WriteToken(border.extra);
}

bool PDLinks::Add(int32_t page, PDLink link) {
  if (m_count >= kMaxLinks || page < 0) return false;
  m_pending[page].push_back(std::move(link));
  ++m_count;
  return true;
}

bool PDLinks::WritePageAnnots(PDFile& file, int32_t page) {
  auto at = m_pending.find(page);
  if (at == m_pending.end() || at->second.empty()) return true;
  if (!file.WriteToken("/Annots [")) return false;
  for (PDLink& link : at->second) {
    if (link.id == 0 && (link.id = file.NewObjectId()) == 0) return false;
    if (!file.WriteRef(link.id)) return false;
  }
  return file.WriteToken("]") && file.WriteLineEnd();
}

std::vector<int32_t> PDLinks::ListPageLinks(PDFile& file, int32_t page) {
  std::vector<int32_t> ids;
  auto at = m_pending.find(page);
  if (at == m_pending.end()) return ids;
  for (PDLink& link : at->second) {
    if (link.id == 0 && (link.id = file.NewObjectId()) == 0) return {};
    ids.push_back(link.id);
  }
  return ids;
}

bool PDLinks::WriteAll(PDFile& file, const std::function<int32_t(int32_t)>& pageId) {
  for (const auto& [page, links] : m_pending) {
    for (const PDLink& link : links) {
      if (link.id == 0) {
        Diag("link on page %ld dropped: the document did not write that page\n", static_cast<long>(page + 1));
        continue;
      }
      int32_t target = 0;
      if (link.action.kind == PDAction::Kind::GoTo && link.action.page >= 0) {
        target = pageId(link.action.page);
        if (target == 0)
          Diag("link target page %ld does not exist\n", static_cast<long>(link.action.page + 1));
      }
      if (!WriteLink(file, link, target)) return false;
    }
  }
  m_pending.clear();
  return true;
}

bool PDLinks::WriteLink(PDFile& file, const PDLink& link, int32_t targetId) {
  if (!file.BeginObject(link.id)) {
    Diag("cannot write annotation\n");
    return false;
  }
  if (!(file.WriteToken("<<") && file.WriteLineEnd() && file.WriteToken("/Type /Annot") && file.WriteLineEnd() &&
        file.WriteToken("/Subtype") && file.WriteToken(link.text ? "/Text" : "/Link") && file.WriteLineEnd() &&
        file.WriteToken("/Rect") && file.WriteToken("[")))
    return false;
  for (float value : link.rect)
    if (!file.WriteToken(FormatNumber(value))) return false;
  return file.WriteToken("]") && file.WriteLineEnd() && WriteBorder(file, link.border) &&
         link.action.Write(file, targetId) && file.WriteToken(">>") && file.WriteLineEnd() && file.EndObject();
}

}  // namespace folian
