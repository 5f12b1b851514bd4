#include "pdf/import/PDImport.h"

#include <algorithm>
#include <cstring>

#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"
#include "pdf/base/Status.h"

namespace folian {
namespace {

bool IsSkippedKey(const char* key) {
  // /Parent leads back up the input's tree and /Dest to other pages: following
  // them would pull pages outside the range into the output.
  return key && (std::strcmp(key, "/Parent") == 0 || std::strcmp(key, "/Dest") == 0);
}

// Appends the numbers referenced in the value, depth first, except under skipped keys.
void CollectRefs(const PDValue* value, std::vector<int32_t>& out) {
  if (!value) return;
  switch (value->Kind()) {
    case PDKind::Reference:
      out.push_back(value->Number());
      break;
    case PDKind::Array:
      for (const PDValue* el = value->GetFirstEl(); el; el = el->Next()) CollectRefs(el, out);
      break;
    case PDKind::Dictionary: {
      PDValue* entry = nullptr;
      int32_t key = 0;
      for (int32_t i = 0; value->Dict()->EntryAt(i, entry, key); ++i)
        if (!IsSkippedKey(value->Dict()->KeyAt(key))) CollectRefs(entry, out);
      break;
    }
    default:
      break;
  }
}

// Drops the first reference to `number` from the node's /Kids array.
void RemoveKid(PDObject& node, int32_t number) {
  PDDict* dict = node.Root() ? node.Root()->Dict() : nullptr;
  PDValue* kids = dict ? dict->Get(kKeyKids) : nullptr;
  if (!kids || kids->Kind() != PDKind::Array) return;
  auto kept = PDValue::MakeArray();
  bool removed = false;
  for (PDValue* el = kids->GetFirstEl(); el; el = el->Next()) {
    if (!removed && el->Kind() == PDKind::Reference && el->Number() == number) {
      removed = true;
      continue;
    }
    kept->AppendEl(el->Copy());
  }
  dict->SaveAttrVal(kKeyKids, std::move(kept));
}

}  // namespace

PDImport::PDImport(PDFInput& input, ImportState& state, PDFile& output, ImportHooks* hooks)
    : m_input(input), m_state(state), m_output(output), m_hooks(hooks) {}

void PDImport::PrepareState() {
  m_size = std::max(m_input.Size(), 0);
  bool fresh = m_state.copied.empty() || m_state.target != &m_output || m_state.targetSerial != m_output.Serial();
  if (fresh) {
    m_state.copied.assign(static_cast<size_t>(m_size), 0);
    m_state.onHold.assign(static_cast<size_t>(m_size), 0);
    m_state.processedNodes.clear();
    if (m_state.table == 0) m_output.ClearTable();
    m_state.target = &m_output;
    m_state.targetSerial = m_output.Serial();
    return;
  }
  // A later import from the same input: the nodes pruned last time are written
  // again, as new objects, from the unpruned tree.
  for (int32_t number : m_state.processedNodes) {
    m_output.ForgetRefNum(number, m_state.table);
    if (number >= 0 && static_cast<size_t>(number) < m_state.copied.size())
      m_state.copied[static_cast<size_t>(number)] = 0;
  }
  m_state.processedNodes.clear();
}

void PDImport::Mark(std::vector<uint8_t>& marker, int32_t number) {
  if (number < 0) return;
  if (static_cast<size_t>(number) >= marker.size()) marker.resize(static_cast<size_t>(number) + 1, 0);
  marker[static_cast<size_t>(number)] = 1;
}

bool PDImport::Taken(int32_t number) const {
  auto at = static_cast<size_t>(number);
  bool copied = at < m_state.copied.size() && m_state.copied[at];
  bool held = at < m_state.onHold.size() && m_state.onHold[at];
  return copied || held;
}

void PDImport::SoftError(int32_t code) {
  if (m_error == 0) m_error = code;
}

int32_t PDImport::CountOf(PDObject& node) {
  PDValue* count = node.Root() && node.Root()->Dict() ? m_input.Resolve(node.Root()->Dict()->Get(kKeyCount)) : nullptr;
  if (!count || count->Kind() != PDKind::Integer) return 1;
  return std::max(count->Number(), 0);
}

bool PDImport::CopyPageRange(int32_t first, int32_t last) {
  m_input.SetLastError(0);
  m_first = first;
  m_last = last;
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
  } else if (first > rootCount->Number()) {
    m_error = kParamValue;
  } else {
    // A root that holds nothing but its one kid is skipped: the kid is carried over
    // in its place, so a one-page file gives its page directly.
    PDObject* top = root;
    PDDict* dict = root->Root()->Dict();
    PDValue* kids = m_input.Resolve(dict->Get(kKeyKids));
    if (dict->EntryCount() == 3 && kids && kids->Kind() == PDKind::Array && kids->Number() == 1 &&
        kids->GetFirstEl()->Kind() == PDKind::Reference) {
      PDObject* only = m_input.GetObj(kids->GetFirstEl()->Number());
      if (only && only->Root() && only->Root()->Dict()) top = only;
    }
    if (PDObject::ClassOf(top->Root()) == kClassPages)
      WalkNode(*top, 0);
    else
      CopyPage(*top);
  }

  m_output.SetCurrentTable(savedTable);
  m_input.ReleasePageTreeNodes();
  if (m_output.LastError() == kAlreadyWritten) m_output.SetLastError(0);
  if (m_error == 0 && m_pagesCopied == 0) m_error = kNoSuchPage;
  return m_error == 0;
}

bool PDImport::WalkNode(PDObject& node, int depth) {
  int32_t number = node.Number();
  if (depth > PDFInput::kMaxTreeDepth || (static_cast<size_t>(number) < m_onPath.size() && m_onPath[number])) {
    // A node met twice in one walk means the tree loops back on itself.
    SoftError(kUnexpected);
    return false;
  }
  Mark(m_onPath, number);
  Mark(m_state.copied, number);
  m_state.processedNodes.push_back(number);

  int32_t count = CountOf(node);
  bool top = m_kept.empty();
  if (!top && (m_count + count < m_first || m_count >= m_last)) {
    Prune(node, count);
    return true;
  }

  m_kept.push_back(&node);
  m_copiedBelow.push_back(0);
  PDDict* dict = node.Root()->Dict();
  if (PDValue* resources = dict->Get(kKeyResources); resources && resources->Kind() == PDKind::Reference) {
    Mark(m_state.onHold, resources->Number());
    m_held.push_back(resources->Number());
  }
  WalkKids(node, depth);
  int32_t copiedHere = m_copiedBelow.back();
  m_kept.pop_back();
  m_copiedBelow.pop_back();
  if (!m_copiedBelow.empty()) m_copiedBelow.back() += copiedHere;

  if (copiedHere == 0) {
    // Nothing of this node was copied (its count did not tell the truth): it must
    // not stay listed by a parent that will be written.
    if (!top) RemoveKid(*m_kept.back(), number);
    return true;
  }
  // The written count is the number of pages actually copied below the node, so a
  // damaged /Count in the input cannot make the output's tree disagree with itself.
  dict->SaveAttrVal(kKeyCount, PDValue::MakeInt(copiedHere));
  if (top) {
    int32_t parent = m_output.RegisterPage(m_output.RefNum(number, m_state.table), copiedHere);
    if (parent == 0) {
      SoftError(m_output.LastError() ? m_output.LastError() : kInternal);
      return false;
    }
    dict->SaveAttrVal(kKeyParent, PDValue::MakeRef(parent));
  }
  WriteImported(node);
  if (top) WriteHeldObjects();
  return true;
}

bool PDImport::WalkKids(PDObject& node, int depth) {
  PDDict* dict = node.Root()->Dict();
  PDValue* kids = dict->Get(kKeyKids);
  if (!kids) {
    Diag("pages object without kids\n");
    return false;
  }
  if (kids->Kind() == PDKind::Reference) {
    // The kids array is an object of its own; the node gets a copy, so that the
    // written node carries exactly the kept kids.
    PDValue* array = m_input.Resolve(kids);
    if (!array || array->Kind() != PDKind::Array) {
      Diag("/Kids entry: array of references expected\n");
      return false;
    }
    dict->SaveAttrVal(kKeyKids, array->Copy());
    kids = dict->Get(kKeyKids);
  } else if (kids->Kind() != PDKind::Array) {
    Diag("/Kids neither Reference or Array\n");
    return false;
  }

  std::vector<int32_t> list;
  for (PDValue* el = kids->GetFirstEl(); el; el = el->Next())
    if (el->Kind() == PDKind::Reference) list.push_back(el->Number());
  if (static_cast<int32_t>(list.size()) != kids->Number()) {
    Diag("/Kids entry: array of references expected\n");
    auto refsOnly = PDValue::MakeArray();
    for (int32_t kid : list) refsOnly->AppendEl(PDValue::MakeRef(kid));
    dict->SaveAttrVal(kKeyKids, std::move(refsOnly));
  }

  for (int32_t kid : list) {
    PDObject* child = m_input.GetObj(kid);
    if (!child || !child->Root() || !child->Root()->Dict()) {
      SoftError(kReadingObject);
      RemoveKid(node, kid);
      continue;
    }
    PDObjectClass cls = PDObject::ClassOf(child->Root());
    if (cls == kClassPages) {
      if (!WalkNode(*child, depth + 1)) RemoveKid(node, kid);
    } else if (cls == kClassPage || child->Root()->Dict()->Get(kKeyParent)) {
      CopyPage(*child);
    } else {
      Diag("page or pages expected\n");
      SoftError(kUnexpected);
      RemoveKid(node, kid);
    }
  }
  return true;
}

void PDImport::Prune(PDObject& node, int32_t count) {
  m_count += count;
  if (m_kept.empty()) {
    Diag("top /Pages to be removed\n");
    return;
  }
  RemoveKid(*m_kept.back(), node.Number());
}

void PDImport::CopyPage(PDObject& page) {
  int32_t number = page.Number();
  if (!page.Root() || !page.Root()->Dict()) {
    SoftError(kUnexpected);
    return;
  }
  ++m_count;
  bool looped = static_cast<size_t>(number) < m_onPath.size() && m_onPath[number];
  if (m_count < m_first || m_count > m_last || looped) {
    if (looped) SoftError(kUnexpected);
    if (!m_kept.empty()) RemoveKid(*m_kept.back(), number);
    return;
  }
  Mark(m_onPath, number);
  m_state.processedNodes.push_back(number);

  int32_t id = m_output.RefNum(number, m_state.table);
  if (m_kept.empty()) {
    int32_t parent = m_output.RegisterPage(id, 1);
    if (parent == 0) {
      SoftError(m_output.LastError() ? m_output.LastError() : kInternal);
      return;
    }
    page.Root()->Dict()->SaveAttrVal(kKeyParent, PDValue::MakeRef(parent));
  }
  Mark(m_state.copied, number);
  if (m_hooks) m_hooks->BeforePageWritten(m_input, page);
  if (!WriteImported(page)) return;
  m_output.CountPage(id);
  ++m_pagesCopied;
  if (!m_copiedBelow.empty()) ++m_copiedBelow.back();
  CopyReachable(page.Root());
}

void PDImport::CopyReachable(PDValue* value) {
  std::vector<int32_t> pending;
  CollectRefs(value, pending);
  std::reverse(pending.begin(), pending.end());
  while (!pending.empty()) {
    int32_t number = pending.back();
    pending.pop_back();
    if (number <= 0 || Taken(number)) continue;
    int32_t before = m_input.LastError();
    m_input.SetLastError(0);
    PDObject* object = m_input.GetObj(number);
    if (!object || !object->Root()) {
      // A reference to an object the file does not have reads as null; one the
      // file has but that cannot be read is damage worth reporting.
      if (m_input.LastError() == kReadingObject) SoftError(kReadingObject);
      m_input.SetLastError(before);
      Mark(m_state.copied, number);
      continue;
    }
    m_input.SetLastError(before);
    PDObjectClass cls = PDObject::ClassOf(object->Root());
    if (cls == kClassPages || cls == kClassPage) continue;
    Mark(m_state.copied, number);
    WriteImported(*object);
    std::vector<int32_t> inner;
    CollectRefs(object->Root(), inner);
    pending.insert(pending.end(), inner.rbegin(), inner.rend());
    // Plain objects are not needed again once written; dropping them keeps memory
    // flat however large the input is.
    m_input.ReleaseObj(object);
  }
}

bool PDImport::WriteImported(PDObject& object) {
  PDValue* root = object.Root();
  if (root->HasStream() && root->Dict()) {
    // The bytes are copied as read; their length is what they are, whatever the
    // input's /Length said or wherever it pointed.
    root->Dict()->SaveAttrVal(kKeyLength, PDValue::MakeInt(static_cast<int32_t>(root->StreamBytes().size())));
  }
  if (!m_output.WriteObject(object)) {
    if (m_output.LastError() != kAlreadyWritten) SoftError(m_output.LastError());
    return false;
  }
  if (m_hooks) m_hooks->OnImportedObject(m_input, object, m_output.RefNum(object.Number(), m_state.table));
  return true;
}

void PDImport::WriteHeldObjects() {
  std::vector<int32_t> held = std::move(m_held);
  m_held.clear();
  for (int32_t number : held) {
    if (static_cast<size_t>(number) < m_state.onHold.size()) m_state.onHold[static_cast<size_t>(number)] = 0;
    bool copied = static_cast<size_t>(number) < m_state.copied.size() && m_state.copied[number];
    if (copied) {
      Diag("should not have copied obj on hold\n");
      continue;
    }
    auto ref = PDValue::MakeRef(number);
    CopyReachable(ref.get());
  }
}

}  // namespace folian
