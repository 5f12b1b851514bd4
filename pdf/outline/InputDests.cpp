#include "pdf/outline/InputDests.h"

#include <unordered_set>
#include <utility>
#include <vector>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/StringCodec.h"
#include "pdf/object/PDDict.h"

namespace folian {

const std::map<std::string, PDValuePtr>& InputDests::Names() {
  if (!m_loaded) Load();
  return m_names;
}

std::string InputDests::NameKey(const PDValue* key) {
  if (!key || key->Kind() != PDKind::Text || key->Text().empty()) return {};
  const ByteString& text = key->Text();
  if (text[0] == '/') return std::string(text.data() + 1, static_cast<size_t>(text.length() - 1));
  if (text[0] != '(' && text[0] != '<') return {};
  ByteString bytes = DecodeString(text);
  return std::string(bytes.data(), static_cast<size_t>(bytes.length()));
}

void InputDests::AddName(std::string name, PDValue* value) {
  if (name.empty() || m_names.count(name)) return;
  if (m_names.size() >= kMaxNames) return;
  PDValue* resolved = m_input.Resolve(value);
  if (resolved && resolved->Kind() == PDKind::Dictionary && resolved->Dict())
    resolved = m_input.Resolve(resolved->Dict()->Find("/D"));
  if (!resolved || resolved->Kind() != PDKind::Array || PageOf(resolved) == 0) return;
  m_names.emplace(std::move(name), resolved->Copy());
}

void InputDests::Load() {
  m_loaded = true;
  PDObject* catalog = m_input.Catalog();
  PDDict* dict = catalog && catalog->Root() ? catalog->Root()->Dict() : nullptr;
  if (!dict) return;
  // The catalog keeps its own value while Resolve loads other objects, so the
  // pointers taken from it stay valid.
  PDValue* names = m_input.Resolve(dict->Find("/Names"));
  PDValue* oldDests = dict->Find("/Dests");
  if (names && names->Dict()) WalkNameTree(m_input.Resolve(names->Dict()->Find("/Dests")));
  // Files before name trees kept a dictionary from names to destinations.
  PDValue* table = m_input.Resolve(oldDests);
  if (table && table->Dict()) {
    PDDict* old = table->Dict();
    PDValue* entry = nullptr;
    int32_t key = 0;
    for (int32_t i = 0; old->EntryAt(i, entry, key); ++i) {
      const char* name = old->KeyAt(key);
      if (name && name[0] == '/') AddName(std::string(name + 1), entry);
    }
  }
}

void InputDests::WalkNameTree(PDValue* root) {
  if (!root || !root->Dict()) return;
  std::unordered_set<int32_t> visited;
  std::vector<std::pair<PDValue*, int>> pending{{root, 0}};
  bool tooDeep = false;
  while (!pending.empty()) {
    auto [node, depth] = pending.back();
    pending.pop_back();
    if (!node || !node->Dict()) continue;
    if (PDValue* pairs = m_input.Resolve(node->Dict()->Find("/Names")); pairs && pairs->Kind() == PDKind::Array) {
      for (PDValue* key = pairs->GetFirstEl(); key && key->Next(); key = key->Next()->Next())
        AddName(NameKey(m_input.Resolve(key)), key->Next());
    }
    PDValue* kids = m_input.Resolve(node->Dict()->Find("/Kids"));
    if (!kids || kids->Kind() != PDKind::Array) continue;
    if (depth >= kMaxDepth) {
      tooDeep = true;
      continue;
    }
    std::vector<PDValue*> children;
    for (PDValue* kid = kids->GetFirstEl(); kid; kid = kid->Next()) {
      if (kid->Kind() != PDKind::Reference || !visited.insert(kid->Number()).second) continue;
      children.push_back(m_input.Resolve(kid));
    }
    for (auto child = children.rbegin(); child != children.rend(); ++child) pending.emplace_back(*child, depth + 1);
  }
  if (tooDeep) Diag("name tree nested too deep; deeper names are ignored\n");
}

int32_t InputDests::PageOf(const PDValue* array) {
  if (!array || array->Kind() != PDKind::Array) return 0;
  const PDValue* first = array->GetFirstEl();
  return first && first->Kind() == PDKind::Reference ? first->Number() : 0;
}

const PDValue* InputDests::Explicit(PDValue* dest) {
  PDValue* value = m_input.Resolve(dest);
  if (!value) return nullptr;
  if (value->Kind() == PDKind::Array) return value;
  if (value->Kind() == PDKind::Dictionary && value->Dict()) {
    PDValue* inner = m_input.Resolve(value->Dict()->Find("/D"));
    return inner && inner->Kind() == PDKind::Array ? inner : nullptr;
  }
  std::string name = NameKey(value);
  if (name.empty()) return nullptr;
  const auto& names = Names();
  auto at = names.find(name);
  return at == names.end() ? nullptr : at->second.get();
}

InputDests::Target InputDests::TargetOf(PDDict& dict) {
  Target target;
  PDValue* dest = dict.Get(kKeyDest);
  if (!dest) {
    PDValue* action = m_input.Resolve(dict.Find("/A"));
    if (action && action->Dict()) {
      PDValue* kind = action->Dict()->Find("/S");
      if (kind && kind->IsText("/GoTo")) dest = action->Dict()->Find("/D");
    }
  }
  if (!dest) return target;
  target.pageBound = true;
  PDValue* resolved = m_input.Resolve(dest);
  target.named = resolved && resolved->Kind() == PDKind::Text;
  target.array = Explicit(dest);
  target.page = PageOf(target.array);
  return target;
}

}  // namespace folian
