#pragma once
// PDValue: one node of a PDF value tree.
//
// Only integers, references, arrays and dictionaries are structured. Every other
// PDF value (name, real, boolean, null, string) is a Text node holding its exact
// PDF source form, written back byte for byte. A node owns its subtree: an Array
// owns its elements (chained through m_nextEl), a Dictionary owns its PDDict and
// every entry value, and the root value of a stream object owns the stream bytes.
// Destroying a node frees the whole subtree. Nodes are handed around as
// std::unique_ptr; raw PDValue* are borrowed and live as long as their owner.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "pdf/base/ByteString.h"

namespace folian {

class PDDict;

enum class PDKind : int32_t {
  None = 0,
  Integer = 2,
  Reference = 3,
  Array = 4,
  Dictionary = 5,
  Text = 6,
};

class PDValue;
using PDValuePtr = std::unique_ptr<PDValue>;

class PDValue {
public:
  explicit PDValue(PDKind kind = PDKind::None, int32_t number = 0);
  ~PDValue();
  PDValue(const PDValue&) = delete;
  PDValue& operator=(const PDValue&) = delete;
  // Nodes come from a per-thread pool of their size.
  static void* operator new(size_t size);
  static void operator delete(void* memory, size_t size) noexcept;

  static PDValuePtr Make(PDKind kind, int32_t number = 0);
  static PDValuePtr MakeInt(int32_t value) { return Make(PDKind::Integer, value); }
  static PDValuePtr MakeRef(int32_t number) { return Make(PDKind::Reference, number); }
  static PDValuePtr MakeArray() { return Make(PDKind::Array); }
  static PDValuePtr MakeDict();
  static PDValuePtr MakeText(const char* text);
  static PDValuePtr MakeText(const ByteString& text);
  static PDValuePtr MakeText(ByteString&& text);
  static PDValuePtr MakeText(std::string_view text);
  static PDValuePtr MakeReal(float value);

  // A new, independent tree (without stream bytes); a missing source gives none.
  static PDValuePtr Copy(const PDValue* source);
  PDValuePtr Copy() const { return Copy(this); }

  PDKind Kind() const { return m_kind; }
  [[nodiscard]] bool Is(PDKind kind) const { return m_kind == kind; }
  // Integer: the value; Reference: the object number; Array: the element count.
  [[nodiscard]] int32_t Number() const { return m_number; }
  void SetNumber(int32_t number) { m_number = number; }
  const ByteString& Text() const { return m_text; }
  void SetText(const ByteString& text) { m_text = text; }
  // Turns this node into the null object (a reference to an object that is not there).
  void SetNull() {
    m_kind = PDKind::Text;
    m_number = 0;
    m_text = "null";
  }
  // The value of an Integer, or of a number written as text ("+1.5", "-.25");
  // 0 for anything else and for text that is no finite number.
  [[nodiscard]] double RealValue() const;
  // True for a Text node whose source form equals `text`, e.g. IsText("/Page").
  [[nodiscard]] bool IsText(const char* text) const;

  // Array elements.
  PDValue* GetFirstEl() const;
  PDValue* Next() const { return m_nextEl.get(); }
  void SetFirstEl(PDValuePtr element);
  void AppendEl(PDValuePtr element);
  // Element i of an Array, or none.
  PDValue* ElementAt(int32_t index) const;

  // Dictionary table; none for other kinds.
  PDDict* Dict() const { return m_dict.get(); }

  // Stream data, present only on the root value of a stream object.
  [[nodiscard]] bool AssignStream(const char* bytes, int32_t length, const char* filterName);
  // Takes the bytes as they are, without touching /Length or /Filter.
  void SetStreamBytes(std::vector<char> bytes) {
    Extras().stream = std::move(bytes);
    m_extra->isStream = true;
  }
  // True for the root of a stream object, even one whose data is empty.
  [[nodiscard]] bool HasStream() const { return m_extra && m_extra->isStream; }
  const std::vector<char>& StreamBytes() const;
  std::vector<char> TakeStreamBytes() { return m_extra ? std::move(m_extra->stream) : std::vector<char>(); }

  // Replaces the number of every Reference in the tree by newNumber(number).
  void RenumberRefs(const std::function<int32_t(int32_t)>& newNumber);

private:
  PDKind m_kind;
  int32_t m_number;
  ByteString m_text;
  PDValuePtr m_firstEl;
  PDValue* m_lastEl = nullptr;  // borrowed: the tail of the element chain, for O(1) appends
  PDValuePtr m_nextEl;
  std::unique_ptr<PDDict> m_dict;
  // What few nodes need, kept apart so that every node stays small.
  struct Extra {
    static void* operator new(size_t size);
    static void operator delete(void* memory, size_t size) noexcept;
    // Borrowed pointers to the elements in order, built by the first ElementAt
    // and kept up by AppendEl; empty until then.
    std::vector<PDValue*> elementIndex;
    std::vector<char> stream;
    bool isStream = false;
  };
  Extra& Extras() const {
    if (!m_extra) m_extra = std::make_unique<Extra>();
    return *m_extra;
  }
  mutable std::unique_ptr<Extra> m_extra;
};

}  // namespace folian
