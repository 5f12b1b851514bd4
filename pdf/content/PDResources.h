#pragma once
// PDResources: the resources that content streams of one kind use (the page set,
// prefix "F", or the header set, prefix "H"): fonts in order of first use,
// separation colour spaces, images and the procedure-set names.
//
// Owned by the output document; the font entries and metrics live as long as
// the set. A font entry is made at once when a name is first selected; its
// object is written (standard font) or copied from the input document when it is
// loaded. Loading that fails removes the entry again, so the written resource
// dictionary never names a font object that does not exist.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pdf/content/FontMetrics.h"
#include "pdf/base/ByteString.h"

namespace folian {

class PDFile;
class PDFInput;
class PDDict;
class PDResources;

// What a resource set needs from its document: the current input's fonts and
// colour spaces, copied into the output.
class ResourceHost {
public:
  virtual ~ResourceHost() = default;
  // Copies the input's font dictionary of that base font into the output; yields
  // its output id (0 when there is none) and the input with the font's number.
  virtual int32_t CopyInputFont(const char* baseFont, PDFInput*& input, int32_t& inputNumber) = 0;
  // Copies the input's separation colour space of that name; output id or 0.
  virtual int32_t CopyInputColor(const char* name) = 0;
};

struct PDFontRef {
  ByteString baseFont;      // without the slash
  ByteString resourceName;  // "/F1", "/H2", ...
  int32_t objectId = 0;     // output id, 0 until written or copied
  bool standard = false;
  int16_t firstCode = 32;
  FontMetrics* metrics = nullptr;  // borrowed from a metrics store of the document
  PDResources* owner = nullptr;
};

class PDResources {
public:
  PDResources(PDFile& file, char prefix, ResourceHost* host = nullptr);

  char Prefix() const { return m_prefix; }
  // The font entry of that base font (one leading "/" ignored), made when new.
  PDFontRef* EnterFont(const char* baseFont);
  PDFontRef* FindFont(const char* baseFont);
  // Makes the font usable: copies it from `companion` when that set already has
  // it, else writes the standard font dictionary or copies the input's font.
  // False (entry removed) when neither works.
  [[nodiscard]] bool LoadFont(PDFontRef& font, PDResources* companion);
  const std::vector<std::unique_ptr<PDFontRef>>& Fonts() const { return m_fonts; }
  FontMetricsStore& Metrics() { return m_metrics; }

  // The resource name of a separation colour ("/Fcs0", ...), entered on first
  // use from the input; empty when the input has no such colour.
  ByteString EnterColor(const char* name);
  // The resource name of an image, entered on first use.
  ByteString EnterImage(int32_t image, int32_t objectId, bool color);
  void AddProcSet(const char* name) { m_procSets.insert(name); }

  // Writes the set as the resource dictionary object `id`; `xobjects` (logos,
  // by resource name) join the images under /XObject.
  [[nodiscard]] bool WriteDictionary(int32_t id, const std::vector<std::pair<ByteString, int32_t>>& xobjects = {});
  // Enters the fonts (with /Text), colour spaces and images into a page's
  // resource dictionary value.
  void EnterInto(PDDict& resources) const;
  bool Empty() const { return m_fonts.empty() && m_colors.empty() && m_images.empty(); }

private:
  struct Named {
    ByteString resourceName;
    int32_t objectId = 0;
  };
  bool WriteStandardFont(PDFontRef& font);
  std::set<std::string> ProcSets() const;

  PDFile& m_file;
  char m_prefix;
  ResourceHost* m_host;
  std::vector<std::unique_ptr<PDFontRef>> m_fonts;
  FontMetricsStore m_metrics;
  std::map<std::string, Named> m_colors;
  std::vector<std::string> m_colorOrder;
  std::map<int32_t, Named> m_images;
  std::set<std::string> m_procSets;
};

}  // namespace folian
