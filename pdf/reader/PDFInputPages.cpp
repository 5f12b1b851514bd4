// The pages-tree side of PDFInput: page lookup by index, the whole-tree walk,
// inherited boxes and rotation.
#include <algorithm>
#include <charconv>
#include <unordered_set>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/Status.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"
#include "pdf/syntax/PDLexer.h"

namespace folian {
namespace {

bool HasKey(const PDObject& object, int32_t keyIndex) {
  const PDDict* dict = object.Root() ? object.Root()->Dict() : nullptr;
  return dict && dict->Get(keyIndex);
}

// The text of a real or integer: an optional sign, digits and at most one point.
bool IsNumberText(const ByteString& text) {
  int32_t i = text.length() > 0 && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  bool digits = false, point = false;
  for (; i < text.length(); ++i) {
    if (IsPdfDigit(static_cast<unsigned char>(text[i])))
      digits = true;
    else if (text[i] == '.' && !point)
      point = true;
    else
      return false;
  }
  return digits;
}

}  // namespace

bool PDFInput::IsPagesNode(const PDObject& object) const {
  return object.Class() == kClassPages || (object.Class() == kClassOther && HasKey(object, kKeyKids));
}

bool PDFInput::IsPage(PDObject& object) const {
  if (object.Class() == kClassPage) return true;
  return object.Class() == kClassOther && !HasKey(object, kKeyKids) && HasKey(object, kKeyParent);
}

bool PDFInput::CountOf(PDObject& node, int32_t& count) {
  if (IsPage(node)) {
    count = 1;
    return true;
  }
  const PDValue* value = node.Root()->Dict() ? Resolve(node.Root()->Dict()->Get(kKeyCount)) : nullptr;
  if (!value || !value->Is(PDKind::Integer)) return false;
  count = std::max(value->Number(), 0);
  return true;
}

int32_t PDFInput::PageCount() {
  PDObject* root = GetObj(m_pagesRoot);
  int32_t count = 0;
  return root && CountOf(*root, count) ? count : 0;
}

PDObject* PDFInput::FindPage(int32_t index) {
  DiagnosticScope diagnostics(m_diagnostics);
  PDObject* node = GetObj(m_pagesRoot);
  int32_t count = 0;
  if (!node || !CountOf(*node, count)) {
    SetLastError(kUnexpected);
    return nullptr;
  }
  if (index < 0) return nullptr;
  // Once the whole tree has been read, its page list answers at once: asking for
  // every page in turn then costs one walk, not one walk per page.
  if (m_pagesComplete && static_cast<size_t>(index) < m_pageNumbers.size())
    return GetObj(m_pageNumbers[static_cast<size_t>(index)]);
  bool descended = index < count;
  if (descended) {
    int64_t before = 0;  // pages that lie before the current node
    std::unordered_set<int32_t> path;
    for (int depth = 0; depth < kMaxTreeDepth; ++depth) {
      if (IsPage(*node)) return node;
      path.insert(node->Number());
      PDValue* kids = node->Root()->Dict() ? Resolve(node->Root()->Dict()->Get(kKeyKids)) : nullptr;
      if (!kids || !kids->Is(PDKind::Array)) break;
      // Every kid before the one that holds the index is counted: a kid that holds
      // no pages (an empty /Pages node) shifts all later pages by position.
      // The kids' page counts are summed once per node and searched by halves,
      // so asking for every page of a flat tree in turn is not quadratic.
      PDObject* next = nullptr;
      const std::vector<KidSpan>& spans = KidSpans(node->Number(), *kids);
      auto holder = std::upper_bound(spans.begin(), spans.end(), index - before,
                                     [](int64_t wanted, const KidSpan& span) { return wanted < span.end; });
      if (holder != spans.end()) {
        next = GetObj(holder->number);
        before += holder->end - holder->count;
      }
      if (!next) break;
      if (path.count(next->Number())) {
        Diag("object id recursion in /Pages object %ld\n", static_cast<long>(node->Number()));
        break;
      }
      RememberParent(next->Number(), node->Number());
      node = next;
    }
  }
  // The counts do not lead to the page, or claim fewer pages than there may be:
  // go by the pages the tree really holds.
  int32_t error = LastError();
  // A damaged tree leaves m_pagesComplete off, which is what is looked at next.
  if (!m_pagesComplete) (void)ReadPages();
  SetLastError(descended ? kUnexpected : error);
  if (m_pagesComplete && static_cast<size_t>(index) < m_pageNumbers.size()) {
    SetLastError(error);
    return GetObj(m_pageNumbers[static_cast<size_t>(index)]);
  }
  return nullptr;
}

const std::vector<PDFInput::KidSpan>& PDFInput::KidSpans(int32_t node, PDValue& kids) {
  auto known = m_kidSpans.find(node);
  if (known != m_kidSpans.end()) return known->second;
  std::vector<KidSpan> spans;
  int64_t end = 0;
  for (PDValue* el = kids.GetFirstEl(); el; el = el->Next()) {
    PDObject* kid = el->Is(PDKind::Reference) ? GetObj(el->Number()) : nullptr;
    int32_t kidCount = 0;
    // Every kid before the one that holds an index counts: a kid that holds no
    // pages (an empty /Pages node) shifts nothing, one that cannot be read is skipped.
    if (!kid || !CountOf(*kid, kidCount) || kidCount <= 0) continue;
    end += kidCount;
    spans.push_back({end, kidCount, kid->Number()});
  }
  return m_kidSpans.emplace(node, std::move(spans)).first->second;
}

int32_t PDFInput::PagesHeld() {
  // A damaged tree leaves m_pagesComplete off, which is what is looked at next.
  if (!m_pagesComplete) (void)ReadPages();
  return static_cast<int32_t>(m_pageNumbers.size());
}

PDObject* PDFInput::ParentOf(PDObject* object) {
  if (!object) return nullptr;
  const auto slot = static_cast<size_t>(object->Number());
  if (slot < m_parents.size() && m_parents[slot] != 0) return GetObj(m_parents[slot]);
  const PDDict* dict = object->Root() ? object->Root()->Dict() : nullptr;
  const PDValue* parent = dict ? dict->Get(kKeyParent) : nullptr;
  return parent && parent->Is(PDKind::Reference) ? GetObj(parent->Number()) : nullptr;
}

PDValue* PDFInput::Inherited(PDObject* page, const char* key) {
  std::unordered_set<const PDObject*> seen;
  for (PDObject* node = page; node && seen.insert(node).second && seen.size() <= kMaxTreeDepth;
       node = ParentOf(node)) {
    const PDDict* dict = node->Root() ? node->Root()->Dict() : nullptr;
    if (PDValue* value = dict ? dict->Find(key) : nullptr) return Resolve(value);
  }
  return nullptr;
}

bool PDFInput::ReadBox(PDValue* value, PDBox& box) {
  box = {0, 0, 0, 0};
  if (!value) return false;
  if (!value->Is(PDKind::Array)) {
    Diag("MediaBox: array expected\n");
    return false;
  }
  if (value->Number() != 4) Diag("MediaBox: 4 values expected\n");
  return UsableBox(value, box);
}

bool PDFInput::UsableBox(PDValue* value, PDBox& box) {
  box = {0, 0, 0, 0};
  value = Resolve(value);
  if (!value || !value->Is(PDKind::Array) || value->Number() < 4) return false;
  int i = 0;
  for (PDValue* el = value->GetFirstEl(); el && i < 4; el = el->Next(), ++i) {
    PDValue* number = Resolve(el);
    // Only numbers count; a string or a name makes the box unusable.
    if (!number || (!number->Is(PDKind::Integer) && !IsNumberText(number->Text()))) return false;
    box[static_cast<size_t>(i)] = number->RealValue();
  }
  // A rectangle may be given by any two opposite corners.
  if (box[0] > box[2]) std::swap(box[0], box[2]);
  if (box[1] > box[3]) std::swap(box[1], box[3]);
  return box[0] < box[2] && box[1] < box[3];
}

PDBox PDFInput::MediaBox(PDObject* page) {
  PDBox box{};
  if (!ReadBox(Inherited(page, "/MediaBox"), box)) {
    // Readers show such a page on US Letter; report the same box.
    Diag("page without a usable /MediaBox: US Letter assumed\n");
    box = kLetterBox;
  }
  return box;
}

PDBox PDFInput::VisibleBox(PDObject* page) {
  PDBox media = MediaBox(page);
  PDBox crop{};
  if (!ReadBox(Inherited(page, "/CropBox"), crop)) return media;
  // The crop box is inherited like the media box and never shows more than the media.
  PDBox clipped{std::max(crop[0], media[0]), std::max(crop[1], media[1]), std::min(crop[2], media[2]),
                std::min(crop[3], media[3])};
  if (clipped[0] >= clipped[2] || clipped[1] >= clipped[3]) return media;
  return clipped;
}

int32_t PDFInput::Rotation(PDObject* page) {
  const PDValue* rotate = Inherited(page, "/Rotate");
  if (!rotate) return 0;
  if (!rotate->Is(PDKind::Integer)) {
    Diag("unexpected value for /Rotate attribute\n");
    return 0;
  }
  return ((rotate->Number() % 360) + 360) % 360;
}

// ---- whole-tree walk -------------------------------------------------------

bool PDFInput::ReadPages(int32_t number) {
  DiagnosticScope diagnostics(m_diagnostics);
  if (number == 0) number = m_pagesRoot;
  bool top = m_walkPath.empty();
  if (top) {
    m_walkVisits = 0;
    m_walkStopped = false;
  }
  bool whole = top && number == m_pagesRoot;
  if (whole) {
    m_pagesComplete = false;
    m_pageNumbers.clear();
    PDObject* root = GetObj(number);
    const PDValue* count = root && root->Root()->Dict() ? Resolve(root->Root()->Dict()->Get(kKeyCount)) : nullptr;
    if (root && (!count || !count->Is(PDKind::Integer))) {
      Diag("number expected for page count\n");
      SetLastError(kUnexpected);
      return false;
    }
    // The count only sizes the list; a lying count must not allocate.
    if (count) m_pageNumbers.reserve(static_cast<size_t>(std::clamp(count->Number(), 0, Size())));
  }
  if (m_walkPath.size() >= static_cast<size_t>(kMaxTreeDepth)) {
    Diag("pages tree deeper than %d levels\n", kMaxTreeDepth);
    SetLastError(kUnexpected);
    return false;
  }
  PDObject* object = GetObj(number);
  if (!object) {
    Diag("cannot read pages object %ld\n", static_cast<long>(number));
    SetLastError(kReadingObject);
    return false;
  }
  if (++m_walkVisits > TreeVisitLimit()) {
    Diag("pages tree lists more entries than the file can hold\n");
    SetLastError(kUnexpected);
    m_walkStopped = true;
    return false;
  }
  PDValue* value = object->Root();
  if (value->Is(PDKind::Array)) {
    // The target of a /Kids reference: the kids themselves.
    m_walkPath.push_back(number);
    int32_t parent = m_walkPath.size() > 1 ? m_walkPath[m_walkPath.size() - 2] : number;
    for (PDValue* el = value->GetFirstEl(); el && !m_walkStopped; el = el->Next()) {
      if (!el->Is(PDKind::Reference))
        Diag("Reference expected for Kid entry\n");
      else if (EnterKid(parent, el->Number()) && !ReadPages(el->Number()))
        Diag("cannot read kid of %ld\n", static_cast<long>(parent));
    }
    m_walkPath.pop_back();
    return true;
  }
  if (IsPagesNode(*object)) {
    m_walkPath.push_back(number);
    ReadKids(*object);
    m_walkPath.pop_back();
    if (whole) m_pagesComplete = true;
    return true;
  }
  if (IsPage(*object)) {
    m_pageNumbers.push_back(number);
    if (!OnPage(*object)) m_walkStopped = true;
    if (whole) m_pagesComplete = true;
    return true;
  }
  Diag("page or pages expected\n");
  SetLastError(kUnexpected);
  return false;
}

bool PDFInput::EnterKid(int32_t parent, int32_t kid) {
  // A kid that is an ancestor would be walked forever. A kid listed twice (not an
  // ancestor) is walked twice, as every reader shows its pages twice.
  bool ancestor = kid == parent || std::find(m_walkPath.begin(), m_walkPath.end(), kid) != m_walkPath.end();
  if (ancestor) {
    Diag("object id recursion in /Pages object %ld\n", static_cast<long>(parent));
    return false;
  }
  RememberParent(kid, parent);
  return true;
}

void PDFInput::RememberParent(int32_t kid, int32_t parent) {
  if (kid <= 0 || kid >= ObjectLimit()) return;
  const auto slot = static_cast<size_t>(kid);
  if (slot >= m_parents.size()) m_parents.resize(static_cast<size_t>(ObjectLimit()), 0);
  m_parents[slot] = parent;
}

void PDFInput::ReadKids(PDObject& node) {
  PDValue* kids = node.Root()->Dict() ? node.Root()->Dict()->Get(kKeyKids) : nullptr;
  if (!kids) {
    Diag("pages object without kids\n");
    return;
  }
  if (kids->Is(PDKind::Reference)) {
    if (EnterKid(node.Number(), kids->Number()) && !ReadPages(kids->Number()))
      Diag("cannot read kid of %ld\n", static_cast<long>(node.Number()));
    return;
  }
  if (!kids->Is(PDKind::Array)) {
    Diag("/Kids neither Reference or Array\n");
    return;
  }
  for (PDValue* el = kids->GetFirstEl(); el && !m_walkStopped; el = el->Next()) {
    if (!el->Is(PDKind::Reference)) {
      Diag("Reference expected for Kid entry\n");
    } else if (EnterKid(node.Number(), el->Number()) && !ReadPages(el->Number())) {
      Diag("cannot read kid of %ld\n", static_cast<long>(node.Number()));
    }
  }
}

bool PDFInput::OnPage(PDObject&) { return true; }

}  // namespace folian
