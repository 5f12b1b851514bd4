#pragma once
// PDOutline: the bookmarks (outline tree) of an output document.
//
// Bookmarks are collected while the document is built and written at close, the
// root first and then each item followed by its children. The root is an item
// without title, made (with the writer's CreateOutlines) on the first bookmark.
// Bookmarks made by the caller are numbered 1, 2, ... in the order they are made,
// and a caller names a parent by that number (0 for the top level); items copied
// from an input are not numbered, so a caller's count stays its own.
//
// Ownership: the outline owns its items. Failure: Add* yields 0 with the writer's
// last error set (1005 for a missing title or a parent that does not exist,
// 1008 when the outline root cannot be made).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "pdf/base/ByteString.h"
#include "pdf/outline/PDAction.h"
#include "pdf/outline/PDDest.h"
#include "pdf/writer/PDFile.h"

namespace folian {

struct OutlineItem {
  int32_t id = 0;
  ByteString title;  // the title as a PDF string token, ready to write
  OutlineItem* parent = nullptr;
  std::vector<std::unique_ptr<OutlineItem>> children;
  bool open = false;  // items made here are written closed; copied ones keep their state
  std::optional<PDDest> dest;
  std::optional<PDAction> action;
  PDValuePtr copiedAction;  // an input's action dictionary without references, written as it is

  // Items shown below this one when it is opened; worked out just before writing.
  int32_t visibleBelow = 0;
};

class PDOutline {
public:
  // Bookmarks made or copied beyond this are refused: a hostile input cannot make
  // the tree grow without bound.
  static constexpr int32_t kMaxItems = 1000000;

  explicit PDOutline(PDFile& file) : m_file(file) {}
  ~PDOutline();
  PDOutline(const PDOutline&) = delete;
  PDOutline& operator=(const PDOutline&) = delete;

  [[nodiscard]] bool Empty() const { return !m_root || m_root->children.empty(); }
  [[nodiscard]] int32_t Numbered() const { return static_cast<int32_t>(m_numbered.size()); }
  [[nodiscard]] int32_t ItemCount() const { return m_items; }

  // Makes a numbered bookmark below parent number `parent` (0: top level) with the
  // title's bytes and an optional action; yields the item or none.
  OutlineItem* Add(int32_t parent, const char* title, std::optional<PDAction> action);
  // Makes an unnumbered item below `parent` (none: the root) with a ready title token.
  OutlineItem* AddCopied(OutlineItem* parent, ByteString titleToken, bool open);
  // Takes back an unnumbered item that was made last and has no children (a
  // heading that turned out to hold nothing). Its id stays unused.
  void RemoveLast(OutlineItem* item);
  // The item numbered `number` (1-based), or none.
  OutlineItem* Numbered(int32_t number) const;

  // Writes every item. `pageId` gives the output id of a 0-based page of this
  // document, or 0 when the document has no such page.
  [[nodiscard]] bool Write(const std::function<int32_t(int32_t)>& pageId);

private:
  [[nodiscard]] bool EnsureRoot();
  void CountVisible();
  [[nodiscard]] bool WriteItem(const OutlineItem& item, size_t index, const std::function<int32_t(int32_t)>& pageId);

  PDFile& m_file;
  std::unique_ptr<OutlineItem> m_root;
  std::vector<OutlineItem*> m_numbered;
  int32_t m_items = 0;
};

}  // namespace folian
