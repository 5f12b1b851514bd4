// Exported functions for bookmarks, links and named destinations.
#include <optional>

#include "pdf/api/ApiObjects.h"
#include "pdf/api/folian32.h"
#include "pdf/outline/PDAction.h"
#include "pdf/outline/PDLink.h"

using namespace folian;

namespace {

bool Given(const char* text) { return text && *text; }

int32_t Refuse(PDocObject& object, int32_t code) {
  object.doc.SetLastError(code);
  return code;
}

int32_t Bookmark(FLHANDLE handle, int32_t parent, const char* title, bool valid, std::optional<PDAction> action) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    if (!title || !valid) return Refuse(object, kParamValue);
    return ResultOf(object.doc, object.doc.AddBookmark(parent, title, std::move(action)));
  });
}

int32_t Link(FLHANDLE handle, int32_t page, float x, float y, float width, float height, bool valid,
             const PDAction& action, int32_t border) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    if (!valid || page < 1) return Refuse(object, kParamValue);
    PDLink link;
    link.rect = {x, y, x + width, y + height};
    link.border = BorderStyle::FromCode(border);
    link.action = action;
    return ResultOf(object.doc, object.doc.AddLink(page - 1, std::move(link)));
  });
}

}  // namespace

int32_t PDocAddNullBookmark(FLHANDLE doc, int32_t parent, const char* title) {
  return Bookmark(doc, parent, title, true, std::nullopt);
}

int32_t PDocAddWebBookmark(FLHANDLE doc, int32_t parent, const char* title, const char* address) {
  return Bookmark(doc, parent, title, Given(address), PDAction::Uri(address));
}

int32_t PDocAddGoToBookmark(FLHANDLE doc, int32_t parent, const char* title, int32_t page, int16_t left,
                            int16_t top) {
  return Bookmark(doc, parent, title, page >= 1, PDAction::GoTo(page - 1, left, top));
}

int32_t PDocAddGoToRBookmark(FLHANDLE doc, int32_t parent, const char* title, const char* fileName, int32_t page,
                             int16_t left, int16_t top) {
  return Bookmark(doc, parent, title, page >= 1 && Given(fileName), PDAction::GoToR(fileName, page - 1, left, top));
}

int32_t PDocAddOpenFileBookmark(FLHANDLE doc, int32_t parent, const char* title, const char* fileName) {
  return Bookmark(doc, parent, title, Given(fileName), PDAction::Launch(fileName));
}

int32_t PDocAddWebLink(FLHANDLE doc, int32_t page, float x, float y, float width, float height, const char* address,
                       int32_t border) {
  return Link(doc, page, x, y, width, height, Given(address), PDAction::Uri(address), border);
}

int32_t PDocAddGoToLink(FLHANDLE doc, int32_t page, float x, float y, float width, float height, int32_t targetPage,
                        int32_t left, int32_t top, int32_t border) {
  return Link(doc, page, x, y, width, height, targetPage >= 1,
              PDAction::GoTo(targetPage - 1, static_cast<float>(left), static_cast<float>(top)), border);
}

int32_t PDocAddGoToRLink(FLHANDLE doc, int32_t page, float x, float y, float width, float height,
                         const char* fileName, int32_t targetPage, int32_t left, int32_t top, int32_t border) {
  return Link(doc, page, x, y, width, height, targetPage >= 1 && Given(fileName),
              PDAction::GoToR(fileName, targetPage - 1, static_cast<float>(left), static_cast<float>(top)), border);
}

int32_t PDocInputCopyBookmarks(FLHANDLE doc, int32_t parent) {
  return Guarded<PDocObject>(doc, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    return ResultOf(object.doc, object.doc.InputCopyBookmarks(parent));
  });
}
