#include "pdf/outline/InputCarry.h"

#include <algorithm>

#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"

namespace folian {

void CarryState::Prepare(PDFInput& input, const PDFile& output) {
  if (target == &output && targetSerial == output.Serial()) return;
  target = &output;
  targetSerial = output.Serial();
  pages.clear();
  namesCarried.clear();
  if (!dests) dests = std::make_unique<InputDests>(input);
}

int32_t CarryState::OutputPage(int32_t inputPage) const {
  return inputPage > 0 && static_cast<size_t>(inputPage) < pages.size() ? pages[static_cast<size_t>(inputPage)] : 0;
}

namespace {

// The page object numbers of the input, in order, up to the `last`-th page. The
// walk keeps a visited set and a depth limit, so a tree that loops or names its
// own root among the kids is walked once.
std::vector<int32_t> LeadingPages(PDFInput& input, int32_t last) {
  std::vector<int32_t> pages;
  // Only numbers the file can hold are walked: no other can be read.
  std::vector<bool> visited(static_cast<size_t>(std::max(input.ObjectLimit(), 0)));
  std::vector<std::pair<int32_t, int>> pending{{input.PagesRootNumber(), 0}};
  while (!pending.empty() && static_cast<int32_t>(pages.size()) < last) {
    auto [number, depth] = pending.back();
    pending.pop_back();
    if (number <= 0 || static_cast<size_t>(number) >= visited.size() || visited[static_cast<size_t>(number)]) continue;
    visited[static_cast<size_t>(number)] = true;
    PDObject* object = input.GetObj(number);
    PDDict* dict = object && object->Root() ? object->Root()->Dict() : nullptr;
    if (!dict) continue;
    PDValue* kids = input.Resolve(dict->Get(kKeyKids));
    bool pagesNode = object->Class() == kClassPages || (object->Class() == kClassOther && kids);
    if (!pagesNode) {
      if (object->Class() == kClassPage || dict->Get(kKeyParent)) pages.push_back(number);
      continue;
    }
    if (!kids || kids->Kind() != PDKind::Array || depth >= PDFInput::kMaxTreeDepth) continue;
    std::vector<int32_t> children;
    for (PDValue* kid = kids->GetFirstEl(); kid; kid = kid->Next())
      if (kid->Kind() == PDKind::Reference) children.push_back(kid->Number());
    for (auto kid = children.rbegin(); kid != children.rend(); ++kid) pending.emplace_back(*kid, depth + 1);
  }
  return pages;
}

}  // namespace

CarryHooks::CarryHooks(PDFInput& input, CarryState& state, int32_t first, int32_t last)
    : m_input(input), m_state(state) {
  // The range's pages are listed before the import starts: the import prunes the
  // input's tree in memory as it goes, and a link on an early page may point at a
  // later one.
  std::vector<int32_t> numbers = LeadingPages(input, last);
  m_inRange.resize(static_cast<size_t>(std::max(input.ObjectLimit(), 0)));
  for (size_t i = static_cast<size_t>(std::max(first, 1) - 1); i < numbers.size(); ++i)
    m_inRange[static_cast<size_t>(numbers[i])] = true;
}

void CarryHooks::OnPageCopied(PDFInput& input, int32_t inputNumber, int32_t outputId) {
  if (inputNumber <= 0 || inputNumber >= input.ObjectLimit()) return;
  const auto slot = static_cast<size_t>(inputNumber);
  if (slot >= m_state.pages.size()) m_state.pages.resize(static_cast<size_t>(input.ObjectLimit()), 0);
  m_state.pages[slot] = outputId;
}

bool CarryHooks::KeepAnnotation(PDDict& annotation) {
  PDValue* subtype = annotation.Find("/Subtype");
  if (!subtype || !subtype->IsText("/Link")) return true;
  InputDests::Target target = m_state.dests->TargetOf(annotation);
  if (!target.pageBound) return true;
  int32_t page = target.page;
  int32_t copiedBefore = InRange(page) ? 0 : m_state.OutputPage(page);
  if (page == 0 || (!InRange(page) && copiedBefore == 0)) return false;
  // An explicit array written in the annotation itself is renumbered with it; a
  // name, or an array kept as an object of its own (import does not follow
  // /Dest), is replaced by an explicit array.
  PDValue* given = annotation.Get(kKeyDest);
  bool indirect = given && given->Kind() == PDKind::Reference;
  if (!target.named && !indirect && copiedBefore == 0) return true;
  // The link gets its own explicit destination: on a page of this range by its
  // input number (renumbered when written), on a page copied earlier by its
  // output id.
  auto dest = PDValue::MakeArray();
  dest->AppendEl(PDValue::MakeRef(copiedBefore != 0 ? copiedBefore : page));
  PDValuePtr view = CopyView(target.array);
  if (view->Number() == 0) view = PDValue::MakeText("/XYZ null null null");
  if (view->Kind() == PDKind::Array) {
    for (PDValue* el = view->GetFirstEl(); el; el = el->Next()) dest->AppendEl(el->Copy());
  } else {
    dest->AppendEl(std::move(view));
  }
  annotation.Remove(annotation.FindKey("/A"));
  annotation.SaveAttrVal(kKeyDest, std::move(dest));
  return true;
}

void CarryHooks::BeforePageWritten(PDFInput& input, PDObject& page) {
  PDDict* dict = page.Root() ? page.Root()->Dict() : nullptr;
  PDValue* annots = dict ? input.Resolve(dict->Get(kKeyAnnots)) : nullptr;
  if (!annots || annots->Kind() != PDKind::Array) return;
  auto kept = PDValue::MakeArray();
  int32_t dropped = 0;
  for (PDValue* el = annots->GetFirstEl(); el; el = el->Next()) {
    PDValue* value = input.Resolve(el);
    bool keep = !value || !value->Dict() || KeepAnnotation(*value->Dict());
    if (keep)
      kept->AppendEl(el->Copy());
    else
      ++dropped;
  }
  if (dropped == 0) return;
  m_dropped += dropped;
  // The page gets an array of its own, so a shared /Annots object is not changed
  // for other pages.
  dict->SaveAttrVal(kKeyAnnots, std::move(kept));
}

int32_t CarryNamedDests(CarryState& state, PDNameTree& tree) {
  if (!state.dests) return 0;
  int32_t added = 0;
  for (const auto& [name, array] : state.dests->Names()) {
    int32_t pageId = state.OutputPage(InputDests::PageOf(array.get()));
    if (pageId == 0 || state.namesCarried.count(name)) continue;
    ByteString key(name.data(), static_cast<int32_t>(name.size()));
    if (tree.Has(key)) {
      Diag("named destination %s is already used; this file's one is dropped\n", name.c_str());
      state.namesCarried.insert(name);
      continue;
    }
    if (tree.Add(key, PDDest(pageId, CopyView(array.get())))) ++added;
    state.namesCarried.insert(name);
  }
  return added;
}

}  // namespace folian
