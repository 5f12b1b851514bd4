#include "pdf/forms/FormTree.h"

#include <unordered_set>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/StringCodec.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"

namespace folian {
namespace {

PDDict* DictAt(PDFInput& input, PDValue* value) {
  PDValue* resolved = input.Resolve(value);
  return resolved && resolved->Dict() ? resolved->Dict() : nullptr;
}

ByteString DecodedText(PDValue* value) {
  if (!value || value->Kind() != PDKind::Text) return {};
  const ByteString& text = value->Text();
  if (text.StartsWith("(") || text.StartsWith("<")) return DecodeString(text);
  return {};
}

}  // namespace

PDDict* FormDictionary(PDFInput& input) {
  PDObject* catalog = input.Catalog();
  PDDict* root = catalog && catalog->Root() ? catalog->Root()->Dict() : nullptr;
  return root ? DictAt(input, root->Find("/AcroForm")) : nullptr;
}

PDValue* InheritedEntry(PDFInput& input, PDDict* field, const char* key) {
  std::unordered_set<PDDict*> seen;
  for (int depth = 0; field && depth < FormTree::kMaxDepth && seen.insert(field).second; ++depth) {
    if (PDValue* value = field->Find(key)) return input.Resolve(value);
    field = DictAt(input, field->Get(kKeyParent));
  }
  return nullptr;
}

ByteString WidgetName(PDFInput& input, PDDict* widget) {
  if (!widget) return {};
  if (PDValue* own = widget->Find("/T")) return DecodedText(input.Resolve(own));
  PDDict* parent = DictAt(input, widget->Get(kKeyParent));
  return parent && parent != widget ? DecodedText(input.Resolve(parent->Find("/T"))) : ByteString();
}

ByteString FieldText(PDFInput& input, PDValue* value) {
  value = input.Resolve(value);
  if (!value) return {};
  if (value->Kind() == PDKind::Integer) return ByteString(std::to_string(value->Number()));
  if (value->Kind() != PDKind::Text) return {};
  const ByteString& text = value->Text();
  if (text.StartsWith("/")) {
    ByteString plain;
    for (int32_t i = 1; i < text.length(); ++i) {
      if (text[i] == '#') {
        plain.Append(' ');
        i += 2;
      } else {
        plain.Append(text[i]);
      }
    }
    return plain;
  }
  if (text.StartsWith("(") || text.StartsWith("<")) return DecodeString(text);
  return text;
}

int32_t IntegerEntry(PDFInput& input, PDDict* dict, const char* key, int32_t fallback) {
  PDValue* value = dict ? input.Resolve(dict->Find(key)) : nullptr;
  if (!value) return fallback;
  if (value->Kind() == PDKind::Integer) return value->Number();
  // Some writers give flags as reals ("4.0").
  double real = value->RealValue();
  return real != 0 && real > -2147483648.0 && real < 2147483647.0 ? static_cast<int32_t>(real) : fallback;
}

void FormTree::Read(PDFInput& input) {
  m_nodes.clear();
  m_top.clear();
  m_byNumber.clear();
  m_hasForm = false;
  PDDict* form = FormDictionary(input);
  PDValue* fields = form ? input.Resolve(form->Find("/Fields")) : nullptr;
  if (!fields || !fields->Is(PDKind::Array)) return;
  m_hasForm = true;

  bool reportedRepeat = false;
  bool reportedDepth = false;
  struct Pending {
    int32_t number;
    int32_t parent;
    int depth;
  };
  std::vector<Pending> pending;
  std::vector<int32_t> topNumbers;
  for (PDValue* el = fields->GetFirstEl(); el; el = el->Next())
    if (el->Is(PDKind::Reference)) topNumbers.push_back(el->Number());
  for (auto it = topNumbers.rbegin(); it != topNumbers.rend(); ++it) pending.push_back({*it, -1, 0});
  // Depth first, in document order: kids are pushed in reverse.
  while (!pending.empty()) {
    Pending item = pending.back();
    pending.pop_back();
    if (m_byNumber.count(item.number)) {
      if (!reportedRepeat) Diag("form field %ld is listed twice or in a loop; kept once\n", static_cast<long>(item.number));
      reportedRepeat = true;
      continue;
    }
    if (item.depth >= kMaxDepth) {
      if (!reportedDepth) Diag("form fields nested deeper than %d levels; the rest is skipped\n", kMaxDepth);
      reportedDepth = true;
      continue;
    }
    PDObject* object = input.GetObj(item.number);
    PDDict* dict = object && object->Root() ? object->Root()->Dict() : nullptr;
    if (!dict) continue;
    FormNode node;
    node.number = item.number;
    node.parent = item.parent;
    node.partialName = DecodedText(input.Resolve(dict->Find("/T")));
    std::string partial = node.partialName.str();
    const std::string& above = item.parent >= 0 ? m_nodes[static_cast<size_t>(item.parent)].fullName : std::string();
    node.fullName = above.empty() ? partial : partial.empty() ? above : above + "." + partial;
    PDValue* kids = input.Resolve(dict->Get(kKeyKids));
    PDValue* subtype = dict->Find("/Subtype");
    node.widget = (subtype && subtype->IsText("/Widget")) || !kids || !kids->Is(PDKind::Array);
    auto index = static_cast<int32_t>(m_nodes.size());
    m_byNumber[item.number] = index;
    if (item.parent < 0) m_top.push_back(index);
    m_nodes.push_back(std::move(node));
    if (!kids || !kids->Is(PDKind::Array)) continue;
    std::vector<int32_t> kidNumbers;
    for (PDValue* el = kids->GetFirstEl(); el; el = el->Next())
      if (el->Is(PDKind::Reference)) kidNumbers.push_back(el->Number());
    for (auto it = kidNumbers.rbegin(); it != kidNumbers.rend(); ++it) pending.push_back({*it, index, item.depth + 1});
    // Kids are plain objects; they stay cached while the tree is in use.
  }
}

int32_t FormTree::IndexOf(int32_t number) const {
  auto found = m_byNumber.find(number);
  return found == m_byNumber.end() ? -1 : found->second;
}

int32_t FormTree::TopOf(int32_t index) const {
  while (index >= 0 && m_nodes[static_cast<size_t>(index)].parent >= 0) index = m_nodes[static_cast<size_t>(index)].parent;
  return index;
}

int32_t FormTree::NamedOf(int32_t index) const {
  while (index >= 0 && m_nodes[static_cast<size_t>(index)].partialName.empty())
    index = m_nodes[static_cast<size_t>(index)].parent;
  return index;
}

bool FormTree::UnderName(int32_t index, const std::string& name) const {
  for (; index >= 0; index = m_nodes[static_cast<size_t>(index)].parent)
    if (m_nodes[static_cast<size_t>(index)].fullName == name) return true;
  return false;
}

}  // namespace folian
