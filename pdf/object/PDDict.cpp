#include "pdf/object/PDDict.h"

#include <algorithm>
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
constexpr size_t kInitialCapacity = 27;
constexpr int32_t kMaxKeys = INT16_MAX;
// Dictionaries with more keys of their own than this get a hash index; smaller
// ones are searched directly, which is faster and costs no memory.
constexpr size_t kIndexThreshold = 8;

// The index of each well-known key, built once; read-only afterwards, so it is
// safe to share between threads.
const std::unordered_map<std::string_view, int16_t>& WellKnownIndex() {
  static const std::unordered_map<std::string_view, int16_t> index = [] {
    std::unordered_map<std::string_view, int16_t> made;
    for (int16_t i = 0; i < kWellKnownKeyCount; ++i) made.emplace(WellKnownKeys[i], i);
    return made;
  }();
  return index;
}
}  // namespace

PDDict::PDDict() {
  m_keys.reserve(kInitialCapacity);
  m_values.reserve(kInitialCapacity);
  m_order.reserve(kInitialCapacity);
  m_keys.assign(WellKnownKeys, WellKnownKeys + kWellKnownKeyCount);
  m_values.resize(kWellKnownKeyCount);
}

PDDict::~PDDict() = default;

int32_t PDDict::FindKey(const char* key) const {
  if (!key) return -1;
  std::string_view wanted(key);
  const auto& wellKnown = WellKnownIndex();
  if (auto hit = wellKnown.find(wanted); hit != wellKnown.end()) return hit->second;
  if (m_index) {
    auto hit = m_index->find(wanted);
    return hit == m_index->end() ? -1 : hit->second;
  }
  for (size_t i = kWellKnownKeyCount; i < m_keys.size(); ++i)
    if (wanted == m_keys[i]) return static_cast<int32_t>(i);
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
  const auto index = static_cast<int16_t>(m_keys.size());
  m_keys.push_back(owned.get());
  m_values.emplace_back();
  m_ownedKeys.push_back(std::move(owned));
  if (m_index) {
    m_index->emplace(std::string_view(m_keys.back(), length), index);
  } else if (m_ownedKeys.size() > kIndexThreshold) {
    m_index = std::make_unique<std::unordered_map<std::string_view, int16_t>>();
    for (size_t i = kWellKnownKeyCount; i < m_keys.size(); ++i) m_index->emplace(m_keys[i], static_cast<int16_t>(i));
  }
  return index;
}

const char* PDDict::KeyAt(int32_t index) const {
  if (index < 0 || index >= KeyCount()) return nullptr;
  return m_keys[static_cast<size_t>(index)];
}

PDValue* PDDict::Find(const char* key) const {
  int32_t index = FindKey(key);
  return index < 0 ? nullptr : m_values[static_cast<size_t>(index)].get();
}

PDValue* PDDict::Get(int32_t index) const {
  if (index < 0 || index >= KeyCount()) return nullptr;
  return m_values[static_cast<size_t>(index)].get();
}

void PDDict::SaveAttrVal(int32_t index, PDValuePtr value) {
  if (index < 0 || index >= KeyCount()) {
    Diag("SaveAttrVal: internal error\n");
    return;
  }
  PDValuePtr& slot = m_values[static_cast<size_t>(index)];
  if (!slot && value) {
    m_order.push_back(static_cast<int16_t>(index));
  } else if (slot && !value) {
    Remove(index);
    return;
  }
  slot = std::move(value);
}

PDValuePtr PDDict::Take(int32_t index) {
  if (index < 0 || index >= KeyCount()) return nullptr;
  PDValuePtr taken = std::move(m_values[static_cast<size_t>(index)]);
  if (taken) m_order.erase(std::find(m_order.begin(), m_order.end(), static_cast<int16_t>(index)));
  return taken;
}

void PDDict::Remove(int32_t index) { Take(index); }

bool PDDict::EntryAt(int32_t position, PDValue*& value, int32_t& keyIndex) const {
  if (position < 0 || position >= EntryCount()) return false;
  keyIndex = m_order[static_cast<size_t>(position)];
  value = m_values[static_cast<size_t>(keyIndex)].get();
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
