#pragma once
// Logos: pages of other PDF files (logo files) turned into form XObjects that
// content streams paint by name.
//
// A LogoFile owns its reader and the import state that copies the resources of
// its pages into the output; its logos are made on first use and kept, so a logo
// painted on many pages is written once. PDLogo entries live as long as their
// file. Conversion reports failure as a status code and writes nothing then.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pdf/base/ByteString.h"
#include "pdf/import/PDImport.h"
#include "pdf/reader/PDFInput.h"

namespace folian {

class PDFile;

struct PDLogo {
  ByteString name;                  // "/X", "/Xb", "/XB", ...
  std::vector<int32_t> objectIds;   // the form XObjects, painted in order
  std::vector<std::string> procSets;  // of the logo page's resources

  // The resource name of part k (0 the first).
  ByteString PartName(size_t k) const;
  // "/X Do", with " /X1 Do" and so on for further parts.
  ByteString PaintText() const;
};

// "/X" followed by the file index in base 26 ("A".."Z", least significant digit
// first, nothing for 0) and the logo index likewise with "a".."z".
ByteString LogoName(int32_t fileIndex, int32_t logoIndex);

// Removes a white rectangle filled at the start of a page's content, after
// nothing but graphics-state operators, so that a logo laid over or beneath a
// page carries no opaque page background.
ByteString CutWhiteBackground(const ByteString& content);

class LogoFile {
public:
  explicit LogoFile(std::string name) : m_name(std::move(name)) {}
  const std::string& Name() const { return m_name; }
  PDFInput& Input() { return m_input; }
  ImportState& Import() { return m_import; }
  int32_t Status() const { return m_status; }

  // Logo `number` (from 1), made on first use; none when the page cannot be
  // converted (Status() then says why).
  PDLogo* Logo(int32_t number, int32_t fileIndex, PDFile& output, ImportHooks* hooks);
  const std::vector<std::unique_ptr<PDLogo>>& Logos() const { return m_logos; }

private:
  std::string m_name;
  PDFInput m_input;
  ImportState m_import;
  std::vector<std::unique_ptr<PDLogo>> m_logos;  // by number - 1; empty slots not made yet
  int32_t m_status = 0;
};

// Writes page `pageIndex` (from 0) of `input` as a form XObject named `name`,
// its resources copied through page import. `bbox` replaces the page's visible
// box when given. 0 with the object's id recorded in `logo`, else a status code.
[[nodiscard]] int32_t WriteLogoForm(PDFInput& input, ImportState& state, PDFile& output, ImportHooks* hooks,
                                    int32_t pageIndex, const ByteString& name, const char* bbox, PDLogo& logo);

}  // namespace folian
