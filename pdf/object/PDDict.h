#pragma once
// PDDict: the entry table of one Dictionary value, owned by that value.
//
// Keys are kept with their leading slash. Every key ever used gets a 16-bit index
// that stays fixed for the life of the dictionary; indexes 0..16 are the
// WellKnownKeys, the same in every dictionary, so frequent keys are reached without
// comparing strings. Looking a key up by its text takes constant time: the
// well-known keys through one shared index, a large dictionary's own keys through
// a hash index of its own. The order list holds the indexes that currently have a value,
// in the order they first received one; that is the order entries are written in.
// Values stored in the table are owned by it.
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pdf/base/NodePool.h"
#include "pdf/object/PDValue.h"

namespace folian {

enum WellKnownKey : int16_t {
  kKeyLength = 0,
  kKeyPages = 1,
  kKeyOutlines = 2,
  kKeyKids = 3,
  kKeyParent = 4,
  kKeyType = 5,
  kKeyCount = 6,
  kKeyResources = 7,
  kKeyDest = 8,
  kKeyContents = 9,
  kKeyAnnots = 10,
  kKeyFont = 11,
  kKeyMediaBox = 12,
  kKeyXObject = 13,
  kKeyFilter = 14,
  kKeyName = 15,
  kKeyProcSet = 16,
};
constexpr int kWellKnownKeyCount = 17;
// Each key with its length, so that comparing one measures nothing; every text
// is a literal, so data() is a C string too.
inline constexpr std::string_view WellKnownKeys[kWellKnownKeyCount] = {
    "/Length", "/Pages", "/Outlines", "/Kids",     "/Parent",  "/Type",   "/Count",  "/Resources", "/Dest",
    "/Contents", "/Annots", "/Font",  "/MediaBox", "/XObject", "/Filter", "/Name",   "/ProcSet",
};

class PDDict {
public:
  PDDict();
  ~PDDict();
  PDDict(const PDDict&) = delete;
  PDDict& operator=(const PDDict&) = delete;
  // Tables come from a per-thread pool of their size.
  static void* operator new(size_t size);
  static void operator delete(void* memory, size_t size) noexcept;

  // Index of the key (whole string, case-sensitive); an unknown key is added.
  // -1 when the 16-bit key table is full.
  [[nodiscard]] int32_t KeyIndex(const char* key);
  [[nodiscard]] int32_t KeyIndex(std::string_view key);
  // Index of the key, or -1; never adds a key.
  [[nodiscard]] int32_t FindKey(const char* key) const;
  [[nodiscard]] int32_t FindKey(std::string_view key) const;
  const char* KeyAt(int32_t index) const;
  // The same with its length; empty for an index never handed out.
  std::string_view KeyViewAt(int32_t index) const;

  PDValue* Find(const char* key) const;
  PDValue* Get(int32_t index) const {
    const PDValuePtr* slot = Slot(index);
    return slot ? slot->get() : nullptr;
  }
  // Stores the value; a value already in the slot is destroyed and the entry keeps
  // its place in the order list.
  void SaveAttrVal(int32_t index, PDValuePtr value);
  void SaveAttrVal(const char* key, PDValuePtr value) { SaveAttrVal(KeyIndex(key), std::move(value)); }
  void Remove(int32_t index);
  // Takes the value out of its slot (and the order list) without destroying it.
  PDValuePtr Take(int32_t index);

  // The position-th entry of the order list; false past the end.
  [[nodiscard]] bool EntryAt(int32_t position, PDValue*& value, int32_t& keyIndex) const {
    if (position < 0 || position >= EntryCount()) return false;
    keyIndex = m_order[static_cast<size_t>(position)];
    value = Get(keyIndex);
    return true;
  }
  [[nodiscard]] int32_t EntryCount() const { return static_cast<int32_t>(m_order.size()); }
  [[nodiscard]] int32_t KeyCount() const;

  // Moves the value under the same key name into target, replacing a value there,
  // and empties the source slot.
  void MoveEntry(int32_t index, PDDict& target);
  void MoveEntry(const char* key, PDDict& target);

private:
  // A key of the dictionary's own with its value. Short key texts come from a
  // pool; the text never moves, so KeyAt() stays valid as keys are added.
  struct OwnEntry {
    char* text;
    int32_t length;
    PDValuePtr value;
  };
  static char* NewKeyText(const char* key, size_t length);
  static void FreeKeyText(char* text, size_t length) noexcept;

  // The indexes that have a value, in order: a few inside the table, more on the heap.
  class Order {
  public:
    Order() = default;
    ~Order() {
      if (m_items != m_inline) delete[] m_items;
    }
    Order(const Order&) = delete;
    Order& operator=(const Order&) = delete;
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    int16_t operator[](size_t i) const { return m_items[i]; }
    void push_back(int16_t index);
    void erase(int16_t index);

  private:
    static constexpr uint32_t kInline = 12;
    int16_t m_inline[kInline];
    int16_t* m_items = m_inline;
    uint32_t m_size = 0;
    uint32_t m_capacity = kInline;
  };

  // The slot of a key index, or none for an index that was never handed out.
  PDValuePtr* Slot(int32_t index) {
    if (index < 0) return nullptr;
    if (index < kWellKnownKeyCount) return &m_wellKnown[index];
    auto own = static_cast<size_t>(index - kWellKnownKeyCount);
    return own < m_own.size() ? &m_own[own].value : nullptr;
  }
  const PDValuePtr* Slot(int32_t index) const { return const_cast<PDDict*>(this)->Slot(index); }

  PDValuePtr m_wellKnown[kWellKnownKeyCount];  // values of indexes 0..16
  // Room for this many keys of its own is made at the first, from a pool.
  static constexpr size_t kFirstOwnKeys = 4;
  std::vector<OwnEntry, PooledAllocator<OwnEntry, kFirstOwnKeys>> m_own;  // keys of indexes 17 on, with their values
  Order m_order;
  std::unique_ptr<std::unordered_map<std::string_view, int16_t>> m_index;  // keys of its own, once there are many
};

}  // namespace folian
