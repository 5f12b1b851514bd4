#include "pdf/object/PDDict.h"

#include <algorithm>
#include <initializer_list>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "pdf/base/Diagnostics.h"

namespace folian {

const char* const WellKnownKeys[kWellKnownKeyCount] = {
    "/Length", "/Pages", "/Outlines", "/Kids",     "/Parent",  "/Type",   "/Count",  "/Resources", "/Dest",
    "/Contents", "/Annots", "/Font",  "/MediaBox", "/XObject", "/Filter", "/Name",   "/ProcSet",
};

namespace {
constexpr int32_t kMaxKeys = INT16_MAX;
// Dictionaries with more keys of their own than this get a hash index; smaller
// ones are searched directly, which is faster and costs no memory.
constexpr size_t kIndexThreshold = 8;
constexpr size_t kFirstOwnKeys = 8;

// The index of a well-known key, or -1. The character after the slash picks the
// one to three keys it can be, so most other keys cost one comparison.
int32_t WellKnownIndexOf(std::string_view key) {
  if (key.size() < 2 || key[0] != '/') return -1;
  auto among = [key](std::initializer_list<int32_t> candidates) {
    for (int32_t index : candidates)
      if (key == WellKnownKeys[index]) return index;
    return -1;
  };
  switch (key[1]) {
    case 'A': return among({kKeyAnnots});
    case 'C': return among({kKeyCount, kKeyContents});
    case 'D': return among({kKeyDest});
    case 'F': return among({kKeyFont, kKeyFilter});
    case 'K': return among({kKeyKids});
    case 'L': return among({kKeyLength});
    case 'M': return among({kKeyMediaBox});
    case 'N': return among({kKeyName});
    case 'O': return among({kKeyOutlines});
    case 'P': return among({kKeyPages, kKeyParent, kKeyProcSet});
    case 'R': return among({kKeyResources});
    case 'T': return among({kKeyType});
    case 'X': return among({kKeyXObject});
    default: return -1;
  }
}
}  // namespace

PDDict::PDDict() = default;

PDDict::~PDDict() = default;

PDValuePtr* PDDict::Slot(int32_t index) {
  if (index < 0) return nullptr;
  if (index < kWellKnownKeyCount) return &m_wellKnown[index];
  auto own = static_cast<size_t>(index - kWellKnownKeyCount);
  return own < m_ownValues.size() ? &m_ownValues[own] : nullptr;
}

int32_t PDDict::FindKey(const char* key) const {
  if (!key) return -1;
  std::string_view wanted(key);
  if (int32_t known = WellKnownIndexOf(wanted); known >= 0) return known;
  if (m_index) {
    auto hit = m_index->find(wanted);
    return hit == m_index->end() ? -1 : hit->second;
  }
  for (size_t i = 0; i < m_ownKeys.size(); ++i)
    if (std::strcmp(key, m_ownKeys[i].get()) == 0) return static_cast<int32_t>(i) + kWellKnownKeyCount;
  return -1;
}

int32_t PDDict::KeyIndex(const char* key) {
  if (!key) return -1;
  int32_t found = FindKey(key);
  if (found >= 0) return found;
  if (KeyCount() >= kMaxKeys) {
    Diag("SaveAttrVal: internal error\n");
    return -1;
  }
  size_t length = std::strlen(key);
  auto owned = std::make_unique<char[]>(length + 1);
  std::memcpy(owned.get(), key, length + 1);
  const auto index = static_cast<int16_t>(KeyCount());
  if (m_ownKeys.empty()) {
    m_ownKeys.reserve(kFirstOwnKeys);
    m_ownValues.reserve(kFirstOwnKeys);
  }
  const char* text = owned.get();
  m_ownKeys.push_back(std::move(owned));
  m_ownValues.emplace_back();
  if (m_index) {
    m_index->emplace(std::string_view(text, length), index);
  } else if (m_ownKeys.size() > kIndexThreshold) {
    m_index = std::make_unique<std::unordered_map<std::string_view, int16_t>>();
    for (size_t i = 0; i < m_ownKeys.size(); ++i)
      m_index->emplace(m_ownKeys[i].get(), static_cast<int16_t>(i + kWellKnownKeyCount));
  }
  return index;
}

int32_t PDDict::KeyCount() const { return kWellKnownKeyCount + static_cast<int32_t>(m_ownKeys.size()); }

const char* PDDict::KeyAt(int32_t index) const {
  if (index < 0 || index >= KeyCount()) return nullptr;
  if (index < kWellKnownKeyCount) return WellKnownKeys[index];
  return m_ownKeys[static_cast<size_t>(index - kWellKnownKeyCount)].get();
}

PDValue* PDDict::Find(const char* key) const { return Get(FindKey(key)); }

PDValue* PDDict::Get(int32_t index) const {
  const PDValuePtr* slot = Slot(index);
  return slot ? slot->get() : nullptr;
}

void PDDict::SaveAttrVal(int32_t index, PDValuePtr value) {
  PDValuePtr* found = Slot(index);
  if (!found) {
    Diag("SaveAttrVal: internal error\n");
    return;
  }
  PDValuePtr& slot = *found;
  if (!slot && value) {
    if (m_order.empty()) m_order.reserve(kFirstOwnKeys);
    m_order.push_back(static_cast<int16_t>(index));
  } else if (slot && !value) {
    Remove(index);
    return;
  }
  slot = std::move(value);
}

PDValuePtr PDDict::Take(int32_t index) {
  PDValuePtr* slot = Slot(index);
  if (!slot) return nullptr;
  PDValuePtr taken = std::move(*slot);
  if (taken) m_order.erase(std::find(m_order.begin(), m_order.end(), static_cast<int16_t>(index)));
  return taken;
}

void PDDict::Remove(int32_t index) { Take(index); }

bool PDDict::EntryAt(int32_t position, PDValue*& value, int32_t& keyIndex) const {
  if (position < 0 || position >= EntryCount()) return false;
  keyIndex = m_order[static_cast<size_t>(position)];
  value = Get(keyIndex);
  return true;
}

void PDDict::MoveEntry(int32_t index, PDDict& target) {
  if (&target == this) return;
  PDValuePtr value = Take(index);
  if (!value) return;
  target.SaveAttrVal(target.KeyIndex(KeyAt(index)), std::move(value));
}

void PDDict::MoveEntry(const char* key, PDDict& target) {
  int32_t index = FindKey(key);
  if (index >= 0) MoveEntry(index, target);
}

}  // namespace folian
