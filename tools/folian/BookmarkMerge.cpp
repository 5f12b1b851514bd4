#include "BookmarkMerge.h"

#include <algorithm>

namespace {

std::string TakeString(FLVBSTR text) {
  std::string result = text ? std::string(text, static_cast<size_t>(FLVBSTRLength(text))) : std::string();
  FLFreeVBSTR(text);
  return result;
}

std::string FileName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Page numbers of the page-copy function are 16-bit.
int16_t Page16(int32_t page) { return static_cast<int16_t>(std::clamp<int32_t>(page, -1, INT16_MAX)); }

}  // namespace

int32_t MergeWithBookmark(FLHANDLE doc, const std::string& path, int32_t first, int32_t last, int32_t& made) {
  int32_t firstOut = PDocNumPages(doc) + 1;
  int32_t code = PDocInputOpen(doc, path.c_str());
  if (code != 0) return code;
  code = PDocInputCopyPages(doc, Page16(first), Page16(last));
  if (code != 0) return code;
  FLVBSTR value = nullptr;
  std::string title;
  if (IDocGetInfoAttr(PDocGetInputHandle(doc), "Title", &value) == 0) title = TakeString(value);
  if (title.empty()) title = FileName(path);
  code = PDocAddGoToBookmark(doc, 0, title.c_str(), firstOut, 0, 0);
  if (code != 0) return code;
  ++made;
  return PDocInputCopyBookmarks(doc, made);
}

void ReleaseLastInput(FLHANDLE doc) {
  // Opening no file releases the current input first and then refuses the name;
  // the refusal is what is expected here.
  if (PDocInputOpen(doc, nullptr) == FL_ERR_PARAM_VALUE) return;
}
