#include "pdf/outline/OutlineCopy.h"

#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"

namespace folian {
namespace {

int32_t RefNumberOf(const PDValue* value) {
  return value && value->Kind() == PDKind::Reference ? value->Number() : 0;
}

// The title as a string token: kept byte for byte (a Unicode title stays one),
// anything that is not a string becomes an empty title.
ByteString TitleToken(const PDValue* title) {
  if (title && title->Kind() == PDKind::Text && !title->Text().empty() &&
      (title->Text()[0] == '(' || title->Text()[0] == '<'))
    return title->Text();
  return ByteString("()");
}

bool HasReference(const PDValue* value, int depth = 0) {
  if (!value || depth > 32) return value != nullptr;
  switch (value->Kind()) {
    case PDKind::Reference:
      return true;
    case PDKind::Array:
      for (const PDValue* el = value->GetFirstEl(); el; el = el->Next())
        if (HasReference(el, depth + 1)) return true;
      return false;
    case PDKind::Dictionary: {
      PDValue* entry = nullptr;
      int32_t key = 0;
      for (int32_t i = 0; value->Dict()->EntryAt(i, entry, key); ++i)
        if (HasReference(entry, depth + 1)) return true;
      return false;
    }
    default:
      return false;
  }
}

// An action that leads out of the document (a web address, another file, a
// program) and refers to no object of the input, so it can be written as it is;
// none otherwise.
PDValuePtr OutwardAction(PDFInput& input, PDDict& item) {
  PDValue* action = input.Resolve(item.Find("/A"));
  if (!action || !action->Dict() || HasReference(action)) return nullptr;
  PDValue* kind = action->Dict()->Find("/S");
  if (!kind || !(kind->IsText("/URI") || kind->IsText("/GoToR") || kind->IsText("/Launch"))) return nullptr;
  return action->Copy();
}

}  // namespace

int32_t OutlineCopy::CopyUnder(OutlineItem* parent) {
  if (!m_state.dests) return 0;
  PDObject* root = m_input.GetObj(m_input.OutlinesNumber());
  PDDict* dict = root && root->Root() ? root->Root()->Dict() : nullptr;
  if (!dict) return 0;
  m_visited.insert(root->Number());
  int32_t first = RefNumberOf(dict->Find("/First"));
  if (!CopyLevel(first, parent, 0)) return -1;
  if (m_tooDeep) Diag("outline nested too deep; deeper items are left out\n");
  if (m_met > kMaxItems) Diag("outline has too many items; the rest are left out\n");
  return m_made;
}

bool OutlineCopy::CopyLevel(int32_t first, OutlineItem* parent, int depth) {
  if (first != 0 && depth >= kMaxDepth) {
    m_tooDeep = true;
    return true;
  }
  for (int32_t number = first; number != 0 && m_visited.insert(number).second;) {
    if (++m_met > kMaxItems) return true;
    PDObject* object = m_input.GetObj(number);
    PDDict* dict = object && object->Root() ? object->Root()->Dict() : nullptr;
    if (!dict) break;
    int32_t next = RefNumberOf(dict->Find("/Next"));
    int32_t child = RefNumberOf(dict->Find("/First"));
    PDValue* count = m_input.Resolve(dict->Get(kKeyCount));
    bool open = count && count->Kind() == PDKind::Integer && count->Number() > 0;
    ByteString title = TitleToken(m_input.Resolve(dict->Find("/Title")));
    InputDests::Target target = m_state.dests->TargetOf(*dict);
    int32_t pageId = target.pageBound ? m_state.OutputPage(target.page) : 0;

    if (target.pageBound && pageId == 0) {
      // Its page is not in the output: the children take its place.
      if (!CopyLevel(child, parent, depth + 1)) return false;
    } else {
      PDValuePtr action = target.pageBound ? nullptr : OutwardAction(m_input, *dict);
      PDValuePtr view = target.pageBound ? CopyView(target.array) : nullptr;
      OutlineItem* item = m_outline.AddCopied(parent, title, open);
      if (!item) return false;
      ++m_made;
      if (target.pageBound) item->dest = PDDest(pageId, std::move(view));
      bool outward = action != nullptr;
      item->copiedAction = std::move(action);
      if (!CopyLevel(child, item, depth + 1)) return false;
      if (!target.pageBound && !outward && item->children.empty()) {
        m_outline.RemoveLast(item);
        --m_made;
      }
    }
    number = next;
  }
  return true;
}

}  // namespace folian
