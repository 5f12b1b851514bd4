#include "pdf/object/PDDict.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/NodePool.h"

namespace folian {

namespace {
constexpr int32_t kMaxKeys = INT16_MAX;
// Dictionaries with more keys of their own than this get a hash index; smaller
// ones are searched directly, which is faster and costs no memory.
constexpr size_t kIndexThreshold = 8;

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

void* PDDict::operator new(size_t size) { return NodePool<sizeof(PDDict)>::Allocate(size); }

void PDDict::operator delete(void* memory, size_t size) noexcept { NodePool<sizeof(PDDict)>::Release(memory, size); }

PDDict::PDDict() = default;

PDDict::~PDDict() {
  for (OwnEntry& entry : m_own) FreeKeyText(entry.text, static_cast<size_t>(entry.length));
}

namespace {
constexpr size_t kPooledKeyText = 16;
}  // namespace

char* PDDict::NewKeyText(const char* key, size_t length) {
  char* text = length + 1 <= kPooledKeyText ? static_cast<char*>(NodePool<kPooledKeyText>::Allocate(kPooledKeyText))
                                           : new char[length + 1];
  std::memcpy(text, key, length);
  text[length] = 0;
  return text;
}

void PDDict::FreeKeyText(char* text, size_t length) noexcept {
  if (length + 1 <= kPooledKeyText)
    NodePool<kPooledKeyText>::Release(text, kPooledKeyText);
  else
    delete[] text;
}

void PDDict::Order::push_back(int16_t index) {
  if (m_size == m_capacity) {
    uint32_t capacity = m_capacity * 2;
    auto* grown = new int16_t[capacity];
    std::copy(m_items, m_items + m_size, grown);
    if (m_items != m_inline) delete[] m_items;
    m_items = grown;
    m_capacity = capacity;
  }
  m_items[m_size++] = index;
}

void PDDict::Order::erase(int16_t index) {
  int16_t* end = m_items + m_size;
  int16_t* at = std::find(m_items, end, index);
  if (at == end) return;
  std::copy(at + 1, end, at);
  --m_size;
}

int32_t PDDict::FindKey(const char* key) const { return key ? FindKey(std::string_view(key)) : -1; }

int32_t PDDict::FindKey(std::string_view wanted) const {
  if (int32_t known = WellKnownIndexOf(wanted); known >= 0) return known;
  if (m_index) {
    auto hit = m_index->find(wanted);
    return hit == m_index->end() ? -1 : hit->second;
  }
  for (size_t i = 0; i < m_own.size(); ++i)
    if (std::string_view(m_own[i].text, static_cast<size_t>(m_own[i].length)) == wanted)
      return static_cast<int32_t>(i) + kWellKnownKeyCount;
  return -1;
}

int32_t PDDict::KeyIndex(const char* key) { return key ? KeyIndex(std::string_view(key)) : -1; }

int32_t PDDict::KeyIndex(std::string_view wanted) {
  int32_t found = FindKey(wanted);
  if (found >= 0) return found;
  if (KeyCount() >= kMaxKeys) {
    Diag("SaveAttrVal: internal error\n");
    return -1;
  }
  const char* key = wanted.data();
  size_t length = wanted.size();
  const auto index = static_cast<int16_t>(KeyCount());
  if (m_own.empty()) m_own.reserve(kFirstOwnKeys);
  char* text = NewKeyText(key, length);
  m_own.push_back(OwnEntry{text, static_cast<int32_t>(length), nullptr});
  if (m_index) {
    m_index->emplace(std::string_view(text, length), index);
  } else if (m_own.size() > kIndexThreshold) {
    m_index = std::make_unique<std::unordered_map<std::string_view, int16_t>>();
    for (size_t i = 0; i < m_own.size(); ++i)
      m_index->emplace(std::string_view(m_own[i].text, static_cast<size_t>(m_own[i].length)),
                       static_cast<int16_t>(i + kWellKnownKeyCount));
  }
  return index;
}

int32_t PDDict::KeyCount() const { return kWellKnownKeyCount + static_cast<int32_t>(m_own.size()); }

const char* PDDict::KeyAt(int32_t index) const {
  if (index < 0 || index >= KeyCount()) return nullptr;
  if (index < kWellKnownKeyCount) return WellKnownKeys[index].data();
  return m_own[static_cast<size_t>(index - kWellKnownKeyCount)].text;
}

std::string_view PDDict::KeyViewAt(int32_t index) const {
  if (index < 0 || index >= KeyCount()) return {};
  if (index < kWellKnownKeyCount) return WellKnownKeys[index];
  const OwnEntry& own = m_own[static_cast<size_t>(index - kWellKnownKeyCount)];
  return {own.text, static_cast<size_t>(own.length)};
}

PDValue* PDDict::Find(const char* key) const { return Get(FindKey(key)); }

void PDDict::SaveAttrVal(int32_t index, PDValuePtr value) {
  PDValuePtr* found = Slot(index);
  if (!found) {
    Diag("SaveAttrVal: internal error\n");
    return;
  }
  PDValuePtr& slot = *found;
  if (!slot && value) {
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
  if (taken) m_order.erase(static_cast<int16_t>(index));
  return taken;
}

void PDDict::Remove(int32_t index) { Take(index); }

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
