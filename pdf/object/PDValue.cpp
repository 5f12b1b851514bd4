#include "pdf/object/PDValue.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/NodePool.h"
#include "pdf/base/NumberFormat.h"
#include "pdf/object/PDDict.h"

namespace folian {

void* PDValue::operator new(size_t size) { return NodePool<sizeof(PDValue)>::Allocate(size); }

void PDValue::operator delete(void* memory, size_t size) noexcept { NodePool<sizeof(PDValue)>::Release(memory, size); }

void* PDValue::Extra::operator new(size_t size) { return NodePool<sizeof(Extra)>::Allocate(size); }

void PDValue::Extra::operator delete(void* memory, size_t size) noexcept {
  NodePool<sizeof(Extra)>::Release(memory, size);
}

PDValue::PDValue(PDKind kind, int32_t number)
    : m_kind(kind), m_number(kind == PDKind::Integer || kind == PDKind::Reference ? number : 0) {
  if (kind == PDKind::Dictionary) m_dict = std::make_unique<PDDict>();
}

PDValue::~PDValue() {
  // Unlink the element chain one by one: a recursive destructor along m_nextEl
  // would use one stack frame per element of a long array.
  PDValuePtr element = std::move(m_firstEl);
  while (element) {
    PDValuePtr next = std::move(element->m_nextEl);
    element.reset();
    element = std::move(next);
  }
}

PDValuePtr PDValue::Make(PDKind kind, int32_t number) { return std::make_unique<PDValue>(kind, number); }

PDValuePtr PDValue::MakeDict() { return Make(PDKind::Dictionary); }

PDValuePtr PDValue::MakeText(const char* text) {
  auto value = Make(PDKind::Text);
  value->m_text = text;
  return value;
}

PDValuePtr PDValue::MakeText(const ByteString& text) {
  auto value = Make(PDKind::Text);
  value->m_text = text;
  return value;
}

PDValuePtr PDValue::MakeText(ByteString&& text) {
  auto value = Make(PDKind::Text);
  value->m_text = std::move(text);
  return value;
}

PDValuePtr PDValue::MakeText(std::string_view text) {
  auto value = Make(PDKind::Text);
  value->m_text.Assign(text.data(), static_cast<int32_t>(text.size()));
  return value;
}

PDValuePtr PDValue::MakeReal(float value) { return MakeText(FormatNumber(value)); }

double PDValue::RealValue() const {
  if (m_kind == PDKind::Integer) return m_number;
  if (m_kind != PDKind::Text || m_text.empty()) return 0;
  const char* begin = m_text.data();
  if (*begin == '+') ++begin;
  double result = 0;
  std::from_chars(begin, m_text.data() + m_text.length(), result);
  return std::isfinite(result) ? result : 0;
}

bool PDValue::IsText(const char* text) const {
  return m_kind == PDKind::Text && std::strcmp(m_text.c_str(), text) == 0;
}

PDValuePtr PDValue::Copy(const PDValue* source) {
  if (!source) return nullptr;
  auto copy = Make(source->m_kind, source->m_number);
  copy->m_text = source->m_text;
  if (source->m_kind == PDKind::Array) {
    [[maybe_unused]] int32_t counted = 0;
    for (const PDValue* el = source->m_firstEl.get(); el; el = el->m_nextEl.get()) {
      copy->AppendEl(Copy(el));
      ++counted;
    }
    assert(counted == source->m_number);
  } else if (source->m_kind == PDKind::Dictionary && source->m_dict) {
    PDValue* value = nullptr;
    int32_t key = 0;
    for (int32_t i = 0; source->m_dict->EntryAt(i, value, key); ++i) {
      // Well-known keys have the same index in every dictionary.
      const int32_t target = key < kWellKnownKeyCount ? key : copy->m_dict->KeyIndex(source->m_dict->KeyAt(key));
      copy->m_dict->SaveAttrVal(target, Copy(value));
    }
  }
  return copy;
}

PDValue* PDValue::GetFirstEl() const {
  if (m_kind != PDKind::Array) {
    Diag("assertion failed in %s\n", "PDValue::GetFirstEl");
    return nullptr;
  }
  return m_firstEl.get();
}

void PDValue::SetFirstEl(PDValuePtr element) {
  if (m_kind != PDKind::Array) {
    Diag("element assignment to non-array\n");
    return;
  }
  // Replacing the head drops the old chain; recount what the new head carries.
  m_firstEl = std::move(element);
  m_number = 0;
  m_lastEl = nullptr;
  if (m_extra) m_extra->elementIndex.clear();
  for (PDValue* el = m_firstEl.get(); el; el = el->m_nextEl.get()) {
    m_lastEl = el;
    ++m_number;
  }
}

void PDValue::AppendEl(PDValuePtr element) {
  if (m_kind != PDKind::Array) {
    Diag("element assignment to non-array\n");
    return;
  }
  if (!element) return;
  element->m_nextEl.reset();
  PDValue* raw = element.get();
  if (m_lastEl)
    m_lastEl->m_nextEl = std::move(element);
  else
    m_firstEl = std::move(element);
  m_lastEl = raw;
  ++m_number;
  if (m_extra && !m_extra->elementIndex.empty()) m_extra->elementIndex.push_back(raw);
}

PDValue* PDValue::ElementAt(int32_t index) const {
  if (m_kind != PDKind::Array || index < 0) return nullptr;
  // The chain is walked once and indexed, so that picking kids of a flat pages
  // tree one after another is not quadratic.
  if (!m_firstEl) return nullptr;
  std::vector<PDValue*>& elements = Extras().elementIndex;
  if (elements.empty()) {
    elements.reserve(static_cast<size_t>(std::max(m_number, 0)));
    for (PDValue* el = m_firstEl.get(); el; el = el->m_nextEl.get()) elements.push_back(el);
  }
  return static_cast<size_t>(index) < elements.size() ? elements[static_cast<size_t>(index)] : nullptr;
}

const std::vector<char>& PDValue::StreamBytes() const {
  static const std::vector<char> none;
  return m_extra ? m_extra->stream : none;
}

bool PDValue::AssignStream(const char* bytes, int32_t length, const char* filterName) {
  if (m_kind != PDKind::Dictionary || !m_dict) {
    Diag("PDValue::AssignStream: not a dictionary\n");
    return false;
  }
  if (length < 0) length = 0;
  Extras().stream.assign(bytes, bytes + (bytes ? length : 0));
  m_extra->isStream = true;
  m_dict->SaveAttrVal(kKeyLength, MakeInt(length));
  if (filterName)
    m_dict->SaveAttrVal(kKeyFilter, MakeText(filterName));
  else
    m_dict->Remove(kKeyFilter);
  return true;
}

void PDValue::RenumberRefs(const std::function<int32_t(int32_t)>& newNumber) {
  switch (m_kind) {
    case PDKind::Reference:
      m_number = newNumber(m_number);
      break;
    case PDKind::Array:
      for (PDValue* el = m_firstEl.get(); el; el = el->m_nextEl.get()) el->RenumberRefs(newNumber);
      break;
    case PDKind::Dictionary: {
      PDValue* value = nullptr;
      int32_t key = 0;
      for (int32_t i = 0; m_dict->EntryAt(i, value, key); ++i) value->RenumberRefs(newNumber);
      break;
    }
    default:
      break;
  }
}

}  // namespace folian
