#pragma once
// FontStore: font dictionaries of pages copied from input files, held back until
// the output is closed so that the subsets of one font from several inputs can
// be merged.
//
// Fonts are keyed by base font name without a subset tag ("/ABCDEF+Name" is
// stored under "/Name"). At close the widths of all fonts of a key are overlaid
// into one table that fills the zero widths of each; a font whose code range
// differs from the widest of its key is renamed "/A<id>+Name", so that a viewer
// does not take two different subsets for one font. Owned by the output
// document; the stored dictionaries are renumbered copies (output ids only).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pdf/object/PDValue.h"

namespace folian {

class PDFile;
class PDFInput;

class FontStore {
public:
  // Stores a font dictionary under its output id. False when it has no
  // /BaseFont ("StoreFont - error 1"); a font already stored is not added again.
  bool StoreFont(int32_t outputId, PDValuePtr font);
  // Prepares an input font dictionary for storing: /Widths taken in directly.
  // True when the value is a font this store takes over (/Type /Font with
  // /BaseFont and /Widths).
  static bool IsStorable(PDFInput& input, PDValue* root);

  // Merges the widths per key, renames differing subsets and writes every
  // stored font; false when one could not be written.
  [[nodiscard]] bool WriteAll(PDFile& file);
  int32_t Count() const;

  // The key of a base font name: the name without a six-letter subset tag.
  static std::string KeyOf(const ByteString& baseFont);

private:
  struct Stored {
    int32_t id;
    PDValuePtr font;
  };
  std::map<std::string, std::vector<Stored>> m_fonts;
};

}  // namespace folian
