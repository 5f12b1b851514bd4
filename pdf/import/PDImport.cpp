#include "pdf/import/PDImport.h"

#include <algorithm>
#include <climits>

#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"
#include "pdf/base/Status.h"

namespace folian {
namespace {

// /Kids and /Parent of a pages-tree object are its links in the tree; the walk
// writes them itself, with output ids.
bool IsTreeLink(int32_t key) { return key == kKeyKids || key == kKeyParent; }

// Appends the numbers referenced in the value, depth first; for a pages-tree
// object its own /Kids and /Parent are left out. `pending` is scratch room, so
// that nothing is allocated per call.
void CollectRefs(const PDValue* value, std::vector<int32_t>& out, bool treeObject,
                 std::vector<const PDValue*>& pending) {
  // Children are pushed in order and the pushed run reversed, so that they are
  // taken off the stack first to last; no vector is made per array or dictionary.
  pending.clear();
  pending.push_back(value);
  bool top = true;
  while (!pending.empty()) {
    const PDValue* v = pending.back();
    pending.pop_back();
    if (!v) continue;
    const size_t first = pending.size();
    if (v->Is(PDKind::Reference)) {
      out.push_back(v->Number());
    } else if (v->Is(PDKind::Array)) {
      for (const PDValue* el = v->GetFirstEl(); el; el = el->Next()) pending.push_back(el);
    } else if (v->Dict()) {
      PDValue* entry = nullptr;
      int32_t key = 0;
      for (int32_t i = 0; v->Dict()->EntryAt(i, entry, key); ++i)
        if (!(top && treeObject && IsTreeLink(key))) pending.push_back(entry);
    }
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end());
    top = false;
  }
}

}  // namespace

PDImport::PDImport(PDFInput& input, ImportState& state, PDFile& output, ImportHooks* hooks)
    : m_input(input), m_state(state), m_output(output), m_hooks(hooks) {}

void PDImport::PrepareState() {
  auto limit = static_cast<size_t>(std::max(m_input.ObjectLimit(), 0));
  bool fresh = m_state.target != &m_output || m_state.targetSerial != m_output.Serial();
  if (fresh) {
    // Every input numbers its objects in a table of its own: numbers of another
    // input, merged in between, can never be taken for this one's.
    m_state.copied.assign(limit, 0);
    m_state.processedNodes.clear();
    m_state.table = m_output.AddSourceTable();
    m_state.target = &m_output;
    m_state.targetSerial = m_output.Serial();
  } else {
    // A later import from the same input: the pages-tree objects written last time
    // are written again, as new objects.
    for (int32_t number : m_state.processedNodes) m_output.ForgetRefNum(number, m_state.table);
    m_state.processedNodes.clear();
  }
  if (m_state.copied.size() < limit) m_state.copied.resize(limit, 0);
  m_roles.assign(limit, 0);
  m_onPath.assign(limit, 0);
  m_written.assign(limit, 0);
}

bool PDImport::Flag(int32_t number, uint8_t role) const {
  return number > 0 && static_cast<size_t>(number) < m_roles.size() && (m_roles[static_cast<size_t>(number)] & role);
}

void PDImport::SetFlag(std::vector<uint8_t>& marker, int32_t number, uint8_t role) {
  // Markers are sized by the objects the input has; a number beyond is no object.
  if (number > 0 && static_cast<size_t>(number) < marker.size()) marker[static_cast<size_t>(number)] |= role;
}

void PDImport::Problem(int32_t code, const char* message, int32_t number) {
  // The tree is walked twice (counted, then copied); say it once.
  if (!m_writing) Diag(message, static_cast<long>(number));
  if (m_error == 0) m_error = code;
}

bool PDImport::CopyPageRange(int32_t first, int32_t last) {
  m_input.SetLastError(0);
  PrepareState();
  int32_t savedTable = m_output.CurrentTable();
  m_output.SetCurrentTable(m_state.table);

  PDObject* root = m_input.GetObj(m_input.PagesRootNumber());
  PDValue* rootCount = root && root->Root() && root->Root()->Dict()
                           ? m_input.Resolve(root->Root()->Dict()->Get(kKeyCount))
                           : nullptr;
  if (!rootCount || rootCount->Kind() != PDKind::Integer) {
    Diag("number expected for page count\n");
    m_error = kUnexpected;
  } else {
    PDObject* top = TopNode(*root);
    auto walkTop = [&]() {
      int32_t pages = 0;
      if (m_input.IsPagesNode(*top))
        Walk(*top, 0, 0, pages);
      else if (m_input.IsPage(*top))
        CopyPage(*top, 0);
      else
        Problem(kUnexpected, "page or pages expected\n");
    };
    // First count the pages the tree really holds (its /Count may say otherwise),
    // then copy the range of them.
    m_writing = false;
    walkTop();
    auto held = static_cast<int32_t>(m_plan.size());
    m_first = std::max(first, 1);
    m_last = last < 1 || last > held ? held : last;
    if (m_first > held) {
      m_error = kParamValue;
    } else {
      for (int32_t i = m_first - 1; i < m_last; ++i) SetFlag(m_roles, m_plan[static_cast<size_t>(i)], kWanted);
      m_writing = true;
      m_count = 0;
      m_visits = 0;
      m_stopped = false;
      walkTop();
    }
  }

  m_output.SetCurrentTable(savedTable);
  m_input.ReleasePageTreeNodes();
  if (m_output.LastError() == kAlreadyWritten) m_output.SetLastError(0);
  if (m_pagesCopied > 0) {
    // The file was used: what had to be skipped was reported above as a warning.
    m_error = 0;
    return true;
  }
  if (m_error == 0) m_error = kNoSuchPage;
  return false;
}

PDObject* PDImport::TopNode(PDObject& root) {
  // A root that holds nothing but /Type, /Kids and /Count with one kid is skipped:
  // the kid is carried over in its place, so a one-page file gives its page
  // directly. A root with anything else (an inherited /MediaBox) is kept.
  PDDict* dict = root.Root()->Dict();
  if (dict->EntryCount() != 3 || !dict->Get(kKeyType) || !dict->Get(kKeyKids) || !dict->Get(kKeyCount)) return &root;
  PDValue* kids = m_input.Resolve(dict->Get(kKeyKids));
  if (!kids || !kids->Is(PDKind::Array) || kids->Number() != 1 || !kids->GetFirstEl()->Is(PDKind::Reference))
    return &root;
  PDObject* only = m_input.GetObj(kids->GetFirstEl()->Number());
  if (!only || only == &root || !only->Root() || !only->Root()->Dict()) return &root;
  return m_input.IsPage(*only) || m_input.IsPagesNode(*only) ? only : &root;
}

int32_t PDImport::TreeObjectId(int32_t number) {
  // A page or node met a second time in one import (listed twice) is a second
  // object in the output.
  if (m_written[static_cast<size_t>(number)]) m_output.ForgetRefNum(number, m_state.table);
  m_written[static_cast<size_t>(number)] = 1;
  m_state.processedNodes.push_back(number);
  return m_output.RefNum(number, m_state.table);
}

int32_t PDImport::Walk(PDObject& node, int32_t parentId, int depth, int32_t& pagesBelow) {
  pagesBelow = 0;
  int32_t number = node.Number();
  if (m_stopped) return 0;
  if (depth >= PDFInput::kMaxTreeDepth) {
    Problem(kUnexpected, "pages tree deeper than %ld levels\n", PDFInput::kMaxTreeDepth);
    return 0;
  }
  if (m_onPath[static_cast<size_t>(number)]) {
    Problem(kUnexpected, "object id recursion in /Pages object %ld\n", number);
    return 0;
  }
  if (++m_visits > m_input.TreeVisitLimit()) {
    Problem(kUnexpected, "pages tree lists more entries than the file can hold\n");
    m_stopped = true;
    return 0;
  }
  PDDict* dict = node.Root()->Dict();
  PDValue* kids = m_input.Resolve(dict->Get(kKeyKids));
  if (!dict->Get(kKeyKids))
    Problem(kUnexpected, "pages object without kids\n");
  else if (!kids || !kids->Is(PDKind::Array))
    Problem(kUnexpected, "/Kids entry: array of references expected\n");
  if (!m_writing) SetFlag(m_roles, number, kTreeNode);
  int32_t id = m_writing ? TreeObjectId(number) : 0;

  m_onPath[static_cast<size_t>(number)] = 1;
  m_path.push_back(node.Root());
  // The kid numbers are taken out first: a /Kids array given by reference is a
  // plain object that copying a page may write and release while we walk it.
  std::vector<int32_t> kidNumbers;
  for (PDValue* el = kids && kids->Is(PDKind::Array) ? kids->GetFirstEl() : nullptr; el; el = el->Next())
    kidNumbers.push_back(el->Is(PDKind::Reference) ? el->Number() : -1);
  auto kept = PDValue::MakeArray();
  for (int32_t kidNumber : kidNumbers) {
    // Pages after the range are not looked at.
    if (m_stopped || (m_writing && m_count >= m_last)) break;
    if (kidNumber < 0) {
      Problem(kUnexpected, "Reference expected for Kid entry\n");
      continue;
    }
    PDObject* child = m_input.GetObj(kidNumber);
    if (!child || !child->Root() || !child->Root()->Dict()) {
      Problem(kReadingObject, "cannot read kid of %ld\n", number);
      continue;
    }
    int32_t kidId = 0;
    int32_t kidPages = 0;
    if (m_input.IsPagesNode(*child)) {
      kidId = Walk(*child, id, depth + 1, kidPages);
    } else if (m_input.IsPage(*child)) {
      kidId = CopyPage(*child, id);
      kidPages = kidId != 0 ? 1 : 0;
    } else {
      Problem(kUnexpected, "page or pages expected\n");
      continue;
    }
    if (kidId != 0) {
      kept->AppendEl(PDValue::MakeRef(kidId));
      pagesBelow += kidPages;
    }
  }
  m_path.pop_back();
  m_onPath[static_cast<size_t>(number)] = 0;
  if (!m_writing || pagesBelow == 0) return pagesBelow > 0 ? 1 : 0;

  // The node goes out as a copy: the cached input node stays as the file has it,
  // for a second listing of the node and for later imports.
  PDValuePtr value = PDValue::Copy(node.Root());
  Sanitize(value.get(), true);
  PDDict* written = value->Dict();
  // An untyped node is written as what it is, so that every reader takes it so.
  written->SaveAttrVal(kKeyType, PDValue::MakeText("/Pages"));
  written->SaveAttrVal(kKeyKids, std::move(kept));
  // The count is what was copied below the node, whatever the input claimed.
  written->SaveAttrVal(kKeyCount, PDValue::MakeInt(pagesBelow));
  if (parentId == 0) {
    // The top node of the import becomes one kid of the output's tree.
    parentId = m_output.RegisterPage(id, pagesBelow);
    if (parentId == 0) {
      Diag("cannot register pages node %ld\n", static_cast<long>(number));
      if (m_error == 0) m_error = m_output.LastError() ? m_output.LastError() : kInternal;
      return 0;
    }
  }
  written->SaveAttrVal(kKeyParent, PDValue::MakeRef(parentId));
  PDObject copy(std::move(value), id);
  copy.SetClass(kClassPages);
  // Whatever the node's own entries refer to (inherited /Resources and boxes,
  // given directly or by reference) goes with it.
  if (m_output.Sharing()) {
    const bool taken = OfferToHooks(copy, id);
    ShareReachable(copy.Root(), true);
    if (!taken && !WriteOwn(copy, id)) return 0;
  } else {
    if (!WriteImported(copy, id)) return 0;
    CopyReachable(copy.Root(), true);
  }
  return id;
}

int32_t PDImport::CopyPage(PDObject& page, int32_t parentId) {
  int32_t number = page.Number();
  if (m_stopped) return 0;
  if (++m_visits > m_input.TreeVisitLimit()) {
    Problem(kUnexpected, "pages tree lists more entries than the file can hold\n");
    m_stopped = true;
    return 0;
  }
  if (!m_writing) {
    m_plan.push_back(number);
    if (Flag(number, kTreePage)) SetFlag(m_roles, number, kListedTwice);
    SetFlag(m_roles, number, kTreePage);
    return 1;
  }
  ++m_count;
  if (m_count < m_first || m_count > m_last) return 0;

  int32_t id = TreeObjectId(number);
  if (m_hooks) m_hooks->BeforePageWritten(m_input, page);
  PDObject* parent = m_input.ParentOf(&page);
  // A page the tree lists once is taken out of the input's cache rather than
  // copied: nothing reads it again in this import (references to pages are
  // judged by their flags), and the cache drops pages when the import ends.
  PDValuePtr value = Flag(number, kListedTwice) ? PDValue::Copy(page.Root()) : page.TakeRoot();
  Sanitize(value.get(), true);
  PDDict* dict = value->Dict();
  // A page has no kids; an entry by that name would only lead into the tree.
  dict->Remove(kKeyKids);
  dict->SaveAttrVal(kKeyType, PDValue::MakeText("/Page"));
  if (!dict->Get(kKeyResources)) {
    // Inherited resources are given to the page itself, so that entries added to
    // the copy (a header's fonts) cannot hide the ones it inherits.
    PDObject* node = parent;
    for (int depth = 0; node && node->Root() && node->Root()->Dict() && depth < PDFInput::kMaxTreeDepth; ++depth) {
      if (PDValue* inherited = node->Root()->Dict()->Get(kKeyResources)) {
        PDValuePtr resources = inherited->Copy();
        Sanitize(resources.get(), false);
        dict->SaveAttrVal(kKeyResources, std::move(resources));
        break;
      }
      node = m_input.ParentOf(node);
    }
  }
  if (!HasUsableMediaBox(value.get())) {
    // Readers show such a page on US Letter; say so in the output.
    Diag("page %ld without a usable /MediaBox: US Letter assumed\n", static_cast<long>(number));
    auto box = PDValue::MakeArray();
    for (double edge : kLetterBox) box->AppendEl(PDValue::MakeInt(static_cast<int32_t>(edge)));
    dict->SaveAttrVal(kKeyMediaBox, std::move(box));
  }
  if (parentId == 0) {
    // A page that is the top of the import hangs directly under an output leaf.
    parentId = m_output.RegisterPage(id, 1);
    if (parentId == 0) {
      Diag("cannot register page %ld\n", static_cast<long>(number));
      if (m_error == 0) m_error = m_output.LastError() ? m_output.LastError() : kInternal;
      return 0;
    }
  }
  dict->SaveAttrVal(kKeyParent, PDValue::MakeRef(parentId));
  PDObject copy(std::move(value), id);
  copy.SetClass(kClassPage);
  const bool sharing = m_output.Sharing();
  if (sharing) {
    // Offered first, so what the hooks add (a header, form widgets) is copied with
    // the rest of what the page refers to, before the page itself is written.
    const bool taken = OfferToHooks(copy, id);
    ShareReachable(copy.Root(), true);
    if (!taken && !WriteOwn(copy, id)) return 0;
  } else if (!WriteImported(copy, id)) {
    return 0;
  }
  if (m_hooks) m_hooks->OnPageCopied(m_input, number, id);
  m_output.CountPage(id);
  ++m_pagesCopied;
  if (!sharing) CopyReachable(copy.Root(), true);
  return id;
}

bool PDImport::HasUsableMediaBox(PDValue* page) {
  PDBox box{};
  if (PDValue* own = page->Dict()->Get(kKeyMediaBox)) return m_input.UsableBox(own, box);
  for (auto node = m_path.rbegin(); node != m_path.rend(); ++node)
    if (PDValue* inherited = (*node)->Dict()->Get(kKeyMediaBox)) return m_input.UsableBox(inherited, box);
  return false;
}

bool PDImport::Keeps(int32_t number) {
  // Output ids were put there by this library (header fonts entered into a
  // copied page's resources) and refer to objects the output writes itself.
  // The input itself never has numbers this high, so only ids the output has
  // handed out are kept.
  if (number >= kOutputIdBase) return number - kOutputIdBase < m_output.ObjectCounter();
  if (number <= 0 || number >= m_input.ObjectLimit()) return false;
  // A page is referred to only when this import writes it; a /Pages node of the
  // input never is (its pruned copy is not what the reference meant).
  if (Flag(number, kTreePage)) return Flag(number, kWanted);
  if (Flag(number, kTreeNode)) return false;
  if (static_cast<size_t>(number) < m_state.copied.size() && m_state.copied[static_cast<size_t>(number)]) return true;
  int32_t error = m_input.LastError();
  PDObject* object = m_input.GetObj(number);
  m_input.SetLastError(error);
  if (!object || !object->Root()) return false;
  return object->Class() != kClassPage && object->Class() != kClassPages;
}

void PDImport::Sanitize(PDValue* value, bool treeObject) {
  std::vector<PDValue*>& pending = m_sanitizing;
  pending.assign(1, value);
  bool top = true;
  while (!pending.empty()) {
    PDValue* v = pending.back();
    pending.pop_back();
    if (v->Is(PDKind::Reference)) {
      if (!Keeps(v->Number())) v->SetNull();
    } else if (v->Is(PDKind::Array)) {
      for (PDValue* el = v->GetFirstEl(); el; el = el->Next()) pending.push_back(el);
    } else if (v->Dict()) {
      PDValue* entry = nullptr;
      int32_t key = 0;
      for (int32_t i = 0; v->Dict()->EntryAt(i, entry, key); ++i)
        if (!(top && treeObject && IsTreeLink(key))) pending.push_back(entry);
    }
    top = false;
  }
}

int32_t PDImport::CopyObject(int32_t number) {
  PDObject* object = number > 0 ? m_input.GetObj(number) : nullptr;
  // Page-tree nodes are copied only by a page import, never on their own.
  if (!object || !object->Root() || PDObject::ClassOf(object->Root()) != kClassOther) return 0;
  PrepareState();
  int32_t savedTable = m_output.CurrentTable();
  m_output.SetCurrentTable(m_state.table);
  auto ref = PDValue::MakeRef(number);
  if (m_output.Sharing())
    ShareReachable(ref.get(), false);
  else
    CopyReachable(ref.get(), false);
  int32_t id = m_output.RefNum(number, m_state.table);
  m_output.SetCurrentTable(savedTable);
  if (m_output.LastError() == kAlreadyWritten) m_output.SetLastError(0);
  return id;
}

void PDImport::CopyReachable(PDValue* value, bool treeObject) {
  std::vector<int32_t> pending;
  CollectRefs(value, pending, treeObject, m_scratch);
  std::reverse(pending.begin(), pending.end());
  while (!pending.empty()) {
    int32_t number = pending.back();
    pending.pop_back();
    if (number <= 0 || number >= static_cast<int32_t>(m_state.copied.size())) continue;
    if (m_state.copied[static_cast<size_t>(number)] || Flag(number, kTreePage | kTreeNode)) continue;
    PDObject* object = m_input.GetObj(number);
    if (!object || !object->Root() || object->Class() == kClassPage || object->Class() == kClassPages) continue;
    m_state.copied[static_cast<size_t>(number)] = 1;
    Sanitize(object->Root(), false);
    WriteImported(*object, m_output.RefNum(number, m_state.table));
    std::vector<int32_t> inner;
    CollectRefs(object->Root(), inner, false, m_scratch);
    pending.insert(pending.end(), inner.rbegin(), inner.rend());
    // Plain objects are not needed again once written; dropping them keeps memory
    // flat however large the input is.
    m_input.ReleaseObj(object);
  }
}

bool PDImport::PendingCopy(int32_t number) {
  if (number <= 0 || number >= static_cast<int32_t>(m_state.copied.size())) return false;
  return !m_state.copied[static_cast<size_t>(number)] && !Flag(number, kTreePage | kTreeNode);
}

void PDImport::ShareReachable(PDValue* value, bool treeObject) {
  // The frames and their child lists live in member stacks shared with nested
  // calls (a hook may add references while an object is written): each call works
  // above what it found there and leaves the stacks as they were.
  std::vector<ShareFrame>& stack = m_frames;
  std::vector<int32_t>& children = m_children;
  const size_t stackBase = stack.size();
  const size_t childrenBase = children.size();
  auto enter = [&](int32_t number) {
    if (!PendingCopy(number)) return;
    PDObject* object = m_input.GetObj(number);
    if (!object || !object->Root() || object->Class() == kClassPage || object->Class() == kClassPages) return;
    // Marked now, so that a reference back to an object still being entered is a
    // cycle (it gets its id when referred to) rather than a second visit.
    m_state.copied[static_cast<size_t>(number)] = 1;
    // A stream's /Length becomes the length of the bytes read before anything
    // else: an indirect length object is then no longer referred to, and is
    // neither read again nor written.
    SetStreamLength(*object->Root());
    Sanitize(object->Root(), false);
    ShareFrame frame{number, children.size(), 0, Offer::kNotYet, children.size()};
    if (!MayShare(object->Root())) {
      // Never shared, so it can have its id and meet the hooks now: what a hook
      // changes or adds (a filled widget's new appearance) is what is copied below.
      frame.offer = OfferToHooks(*object, m_output.RefNum(number, m_state.table)) ? Offer::kTaken : Offer::kKept;
    }
    CollectRefs(object->Root(), children, false, m_scratch);
    frame.end = children.size();
    stack.push_back(frame);
  };
  CollectRefs(value, children, treeObject, m_scratch);
  const size_t rootsEnd = children.size();
  // Depth first, each object after everything below it, with an explicit stack:
  // reference chains in a file can be arbitrarily long.
  for (size_t root = childrenBase; root < rootsEnd; ++root) {
    enter(children[root]);
    while (stack.size() > stackBase) {
      ShareFrame& top = stack.back();
      if (top.next < top.end) {
        const int32_t child = children[top.next++];
        enter(child);
        continue;
      }
      const int32_t number = top.number;
      const Offer offer = top.offer;
      children.resize(top.first);
      stack.pop_back();
      WriteOrShare(number, offer);
    }
  }
  children.resize(childrenBase);
}

bool PDImport::MayShare(const PDValue* root) {
  // Pages, annotations, form fields and anything tied to a parent belong to one
  // place in the document; two of them stay two even when their bytes agree.
  const PDDict* dict = root->Dict();
  if (!dict) return true;
  if (dict->Get(kKeyParent) || dict->Get(kKeyKids)) return false;
  using namespace std::string_view_literals;
  for (std::string_view key : {"/P"sv, "/T"sv, "/FT"sv})
    if (dict->Get(dict->FindKey(key))) return false;
  const PDValue* type = dict->Get(kKeyType);
  return !type || !(type->IsText("/Page") || type->IsText("/Pages") || type->IsText("/Annot"));
}

void PDImport::WriteOrShare(int32_t number, Offer offer) {
  PDObject* object = m_input.GetObj(number);
  if (!object || !object->Root()) return;
  PDValue* root = object->Root();
  if (offer != Offer::kNotYet) {
    if (offer == Offer::kKept) (void)WriteOwn(*object, m_output.RefNum(number, m_state.table));
    m_input.ReleaseObj(object);
    return;
  }
  // Objects that may not be shared met the hooks when entered and were handled
  // above. An object referred to before it was finished (a cycle) already has its id.
  if (m_output.PeekRefNum(number, m_state.table) == 0) {
    PDFile::Body& body = m_body;
    if (!m_output.MakeBody(root, body)) {
      if (m_error == 0) m_error = m_output.LastError() ? m_output.LastError() : kInternal;
      return;
    }
    if (int32_t same = m_output.FindWritten(body)) {
      m_output.ShareRefNum(number, m_state.table, same);
      m_input.ReleaseObj(object);
      return;
    }
    int32_t id = m_output.RefNum(number, m_state.table);
    if (!(m_hooks && m_hooks->TakeOver(m_input, *object, id))) {
      if (!m_output.WriteBody(id, body)) {
        if (m_output.LastError() != kAlreadyWritten && m_error == 0) m_error = m_output.LastError();
      } else if (m_hooks) {
        m_hooks->OnImportedObject(m_input, *object, id);
      }
    }
  } else {
    (void)WriteImported(*object, m_output.RefNum(number, m_state.table));
    // A hook may have added references while the object was written (a filled
    // widget's new appearance): what they lead to is written now.
    ShareReachable(object->Root(), false);
  }
  m_input.ReleaseObj(object);
}

void PDImport::SetStreamLength(PDValue& root) {
  if (root.HasStream() && root.Dict()) {
    // The bytes are copied as read; their length is what they are, whatever the
    // input's /Length said or wherever it pointed.
    root.Dict()->SaveAttrVal(kKeyLength, PDValue::MakeInt(static_cast<int32_t>(root.StreamBytes().size())));
  }
}

bool PDImport::OfferToHooks(PDObject& object, int32_t outputId) {
  SetStreamLength(*object.Root());
  return m_hooks && m_hooks->TakeOver(m_input, object, outputId);
}

bool PDImport::WriteImported(PDObject& object, int32_t outputId) {
  if (OfferToHooks(object, outputId)) return true;
  return WriteOwn(object, outputId);
}

bool PDImport::WriteOwn(PDObject& object, int32_t outputId) {
  if (!m_output.WriteObject(object)) {
    if (m_output.LastError() != kAlreadyWritten && m_error == 0) m_error = m_output.LastError();
    return false;
  }
  if (m_hooks) m_hooks->OnImportedObject(m_input, object, outputId);
  return true;
}

}  // namespace folian
