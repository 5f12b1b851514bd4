#include "pdf/outline/PDOutline.h"

#include <climits>
#include <cstring>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/Status.h"
#include "pdf/base/StringCodec.h"

namespace folian {

void PDOutline::CountVisible() {
  // Children come after their parent in this order, so walking it backwards sees
  // every child before its parent; no recursion, however deep the tree.
  std::vector<OutlineItem*> order{m_root.get()};
  for (size_t i = 0; i < order.size(); ++i)
    for (auto& child : order[i]->children) order.push_back(child.get());
  for (auto at = order.rbegin(); at != order.rend(); ++at) {
    OutlineItem* item = *at;
    int64_t count = 0;
    for (const auto& child : item->children) count += 1 + (child->open ? child->visibleBelow : 0);
    item->visibleBelow = static_cast<int32_t>(count > INT32_MAX ? INT32_MAX : count);
  }
}

PDOutline::~PDOutline() {
  // A caller can nest bookmarks a million deep; taking the tree apart level by
  // level keeps the destructors from recursing that deep.
  std::vector<std::unique_ptr<OutlineItem>> pending;
  if (m_root) pending.push_back(std::move(m_root));
  while (!pending.empty()) {
    std::unique_ptr<OutlineItem> item = std::move(pending.back());
    pending.pop_back();
    for (auto& child : item->children) pending.push_back(std::move(child));
  }
}

bool PDOutline::EnsureRoot() {
  if (m_root) return true;
  int32_t id = m_file.CreateOutlines();
  if (id == 0) return false;
  m_root = std::make_unique<OutlineItem>();
  m_root->id = id;
  m_root->open = true;
  return true;
}

OutlineItem* PDOutline::Numbered(int32_t number) const {
  if (number < 1 || number > Numbered()) return nullptr;
  return m_numbered[static_cast<size_t>(number - 1)];
}

OutlineItem* PDOutline::Add(int32_t parent, const char* title, std::optional<PDAction> action) {
  if (!title) {
    m_file.SetLastError(kParamValue);
    return nullptr;
  }
  OutlineItem* above = nullptr;
  if (parent != 0) {
    above = Numbered(parent);
    if (!above) {
      Diag("PDArr: index out of range\n");
      m_file.SetLastError(kParamValue);
      return nullptr;
    }
  }
  OutlineItem* item =
      AddCopied(above, EncodeString(title, static_cast<int32_t>(std::strlen(title)), StringMode::Literal), false);
  if (!item) return nullptr;
  item->action = std::move(action);
  m_numbered.push_back(item);
  return item;
}

OutlineItem* PDOutline::AddCopied(OutlineItem* parent, ByteString titleToken, bool open) {
  if (m_items >= kMaxItems) {
    Diag("too many bookmarks\n");
    m_file.SetLastError(kParamValue);
    return nullptr;
  }
  if (!EnsureRoot()) return nullptr;
  int32_t id = m_file.NewObjectId();
  if (id == 0) return nullptr;
  auto item = std::make_unique<OutlineItem>();
  item->id = id;
  item->title = std::move(titleToken);
  item->open = open;
  item->parent = parent ? parent : m_root.get();
  OutlineItem* made = item.get();
  item->parent->children.push_back(std::move(item));
  ++m_items;
  return made;
}

void PDOutline::RemoveLast(OutlineItem* item) {
  if (!item || !item->parent || !item->children.empty()) return;
  auto& siblings = item->parent->children;
  if (siblings.empty() || siblings.back().get() != item) return;
  siblings.pop_back();
  --m_items;
}

bool PDOutline::Write(const std::function<int32_t(int32_t)>& pageId) {
  if (!m_root) return true;
  // Depth first with an explicit stack: a deep tree copied from an input must not
  // exhaust the call stack.
  CountVisible();
  std::vector<std::pair<const OutlineItem*, size_t>> pending{{m_root.get(), 0}};
  while (!pending.empty()) {
    auto [item, index] = pending.back();
    pending.pop_back();
    if (!WriteItem(*item, index, pageId)) return false;
    for (size_t i = item->children.size(); i-- > 0;) pending.emplace_back(item->children[i].get(), i);
  }
  return true;
}

bool PDOutline::WriteItem(const OutlineItem& item, size_t i, const std::function<int32_t(int32_t)>& pageId) {
  PDFile& f = m_file;
  if (!(f.BeginObject(item.id) && f.WriteToken("<<") && f.WriteLineEnd())) return false;
  if (!item.parent) {
    if (!f.WriteToken("/Type /Outlines")) return false;
  } else {
    if (!(f.WriteToken("/Title") && f.WriteToken(item.title) && f.WriteLineEnd())) return false;
    const auto& siblings = item.parent->children;
    if (i > 0 && !(f.WriteToken("/Prev") && f.WriteRef(siblings[i - 1]->id))) return false;
    if (i + 1 < siblings.size() && !(f.WriteToken("/Next") && f.WriteRef(siblings[i + 1]->id))) return false;
    if (item.dest) {
      if (!(f.WriteToken("/Dest") && WriteDestArray(f, *item.dest))) return false;
    } else if (item.copiedAction) {
      if (!(f.WriteToken("/A") && f.WriteValue(item.copiedAction.get()))) return false;
    } else if (item.action) {
      int32_t target = item.action->kind == PDAction::Kind::GoTo && item.action->page >= 0
                           ? pageId(item.action->page)
                           : 0;
      if (item.action->kind == PDAction::Kind::GoTo && item.action->page >= 0 && target == 0)
        Diag("bookmark target page %ld does not exist\n", static_cast<long>(item.action->page + 1));
      if (!item.action->Write(f, target)) return false;
    }
    if (!(f.WriteLineEnd() && f.WriteToken("/Parent") && f.WriteRef(item.parent->id))) return false;
  }
  if (!item.children.empty()) {
    // The root counts the items that show; a closed item counts what would show
    // when opened, negated.
    int32_t count = item.visibleBelow;
    if (item.parent && !item.open) count = -count;
    if (!(f.WriteLineEnd() && f.WriteToken("/First") && f.WriteRef(item.children.front()->id) && f.WriteLineEnd() &&
          f.WriteToken("/Last") && f.WriteRef(item.children.back()->id) && f.WriteLineEnd() &&
          f.WriteToken("/Count") && f.WriteInt(count)))
      return false;
  }
  return f.WriteToken(">>") && f.EndObject();
}

}  // namespace folian
