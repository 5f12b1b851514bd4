#pragma once
// FormTree: the fields of an input document's form, read from the catalog's
// /AcroForm /Fields and the /Kids below them.
//
// Each node is a field or a widget, with its partial name (/T), its full name
// (the partial names from the top joined by "."), its parent and whether it is a
// widget annotation. The walk is bounded: a node met twice (a /Kids loop, or a
// kid listed under two parents) is kept only where it was met first, nesting is
// limited, and non-references in /Kids are skipped; each problem is reported once
// to the diagnostics. Reading never changes the input.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "pdf/base/ByteString.h"

namespace folian {

class PDFInput;
class PDValue;
class PDDict;

struct FormNode {
  int32_t number = 0;       // input object number
  int32_t parent = -1;      // index of the parent node, -1 for a top-level field
  ByteString partialName;   // decoded /T, empty when absent
  std::string fullName;
  bool widget = false;      // an annotation (/Subtype /Widget, or a field without kids)
};

class FormTree {
public:
  static constexpr int kMaxDepth = 64;

  // Reads the form of `input`; an input without /AcroForm or /Fields gives an
  // empty tree with HasForm() false.
  void Read(PDFInput& input);

  [[nodiscard]] bool HasForm() const { return m_hasForm; }
  const std::vector<FormNode>& Nodes() const { return m_nodes; }
  // Indexes of the top-level /Fields entries in order (entries that are no field
  // are left out).
  const std::vector<int32_t>& TopLevel() const { return m_top; }
  // The node index of an object number, or -1.
  [[nodiscard]] int32_t IndexOf(int32_t number) const;
  // The top-level ancestor of a node.
  [[nodiscard]] int32_t TopOf(int32_t index) const;
  // The nearest node at or above `index` that has a partial name, or -1.
  [[nodiscard]] int32_t NamedOf(int32_t index) const;
  // True when the node at `index` or one of its ancestors has that full name.
  [[nodiscard]] bool UnderName(int32_t index, const std::string& name) const;

private:
  std::vector<FormNode> m_nodes;
  std::vector<int32_t> m_top;
  std::unordered_map<int32_t, int32_t> m_byNumber;
  bool m_hasForm = false;
};

// The form dictionary of the input, or none.
PDDict* FormDictionary(PDFInput& input);
// A field entry looked up on the dictionary itself and then through its /Parent
// chain (bounded, a loop ends the search); references are resolved.
PDValue* InheritedEntry(PDFInput& input, PDDict* field, const char* key);
// The field's name as the form readers give it: its /T, or without one the /T of
// its /Parent; decoded.
ByteString WidgetName(PDFInput& input, PDDict* widget);
// A /V or /TU value as text: a name loses its slash and has each "#xx" replaced
// by a blank; a string is decoded; other values give their PDF text.
ByteString FieldText(PDFInput& input, PDValue* value);
// An integer entry (references resolved), or `fallback`.
int32_t IntegerEntry(PDFInput& input, PDDict* dict, const char* key, int32_t fallback = 0);

}  // namespace folian
