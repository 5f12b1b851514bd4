#pragma once
// InputDests: the destinations of an input file, as page-import code needs them.
//
// Reads the named destinations once (the /Names /Dests name tree and the older
// catalog /Dests dictionary) and resolves what a bookmark or a link points at:
// an explicit destination array, a name, or a GoTo action, to the input page
// object it names. Damaged trees are walked with a visited set, a depth limit and
// an entry limit, so a loop or a 10,000-deep nest ends with a diagnostic.
//
// Borrows the input; the values it hands out stay valid as long as it lives.
#include <cstdint>
#include <map>
#include <string>

#include "pdf/object/PDValue.h"
#include "pdf/reader/PDFInput.h"

namespace folian {

class InputDests {
public:
  static constexpr int kMaxDepth = 64;
  static constexpr size_t kMaxNames = 1000000;

  explicit InputDests(PDFInput& input) : m_input(input) {}

  // The named destinations: name bytes to an explicit destination array.
  const std::map<std::string, PDValuePtr>& Names();

  // The explicit array a destination value stands for (an array, a name or
  // string looked up among the named ones, or a dictionary with /D); none when it
  // cannot be resolved.
  const PDValue* Explicit(PDValue* dest);

  // What an outline item or link annotation points at.
  struct Target {
    bool pageBound = false;          // has a destination inside this file (resolved or not)
    bool named = false;              // given by name rather than as an array
    const PDValue* array = nullptr;  // the explicit destination, when resolved
    int32_t page = 0;                // its page object number, 0 when none
  };
  Target TargetOf(PDDict& dict);

  // The page object number that starts an explicit destination array, or 0.
  static int32_t PageOf(const PDValue* array);

private:
  void Load();
  void WalkNameTree(PDValue* root);
  void AddName(std::string name, PDValue* value);
  static std::string NameKey(const PDValue* key);

  PDFInput& m_input;
  bool m_loaded = false;
  std::map<std::string, PDValuePtr> m_names;
};

}  // namespace folian
