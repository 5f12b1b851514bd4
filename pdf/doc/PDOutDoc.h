#pragma once
// PDOutDoc: the output document behind a PDoc handle.
//
// A PDFile in writing state that adds what a whole document needs: the page size,
// the current page's content (written, with its page object, when the page ends),
// the one resources object shared by all generated pages, the information
// dictionary built at close from the caller's attributes (and from an attached
// input's information), and the compression switch. Owns its content streams,
// the page and header resource sets and the store of fonts of copied pages.
// Failure is reported as false with the last error set, as in PDFile.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include <utility>
#include <vector>

#include "pdf/content/FontStore.h"
#include "pdf/content/PDImage.h"
#include "pdf/content/PDLogo.h"
#include "pdf/content/PDPgStream.h"
#include "pdf/content/PDResources.h"
#include "pdf/forms/FormCarry.h"
#include "pdf/import/PDImport.h"
#include "pdf/outline/PDLink.h"
#include "pdf/outline/PDNameTree.h"
#include "pdf/outline/PDOutline.h"
#include "pdf/writer/PDFile.h"
#include "pdf/doc/PDInputDoc.h"

namespace folian {

class PDOutDoc : public PDFile {
public:
  PDOutDoc();
  ~PDOutDoc() override;

  void SetPageSize(uint16_t width, uint16_t height) {
    m_width = width;
    m_height = height;
  }
  uint16_t PageWidth() const { return m_width; }
  uint16_t PageHeight() const { return m_height; }

  // The current page's content, made on first request; valid until the page ends.
  PDPgStream& Content();
  bool HasContent() const { return m_content != nullptr; }
  // The header content, made on first request; lives until the document ends.
  PDPgStream& Header();
  PDResources& PageResources() { return m_pageResources; }
  PDResources& HeaderResources() { return m_headerResources; }
  const FontStore& Fonts() const { return m_fontStore; }
  // Ends the current page; a page without content is not written.
  [[nodiscard]] bool NewPage();
  // Pages written so far, plus one when the current page has content.
  [[nodiscard]] int32_t NumPages() const;

  // Information entries: the key gets a leading "/" when it lacks one; a missing
  // value removes the key. Values are the caller's text; at close a text that is
  // one complete PDF string or name token is written as it is, anything else is
  // encoded as a string.
  void SetAttr(const char* key, const char* value);
  void SetInfo(const char* title, const char* subject, const char* author, const char* keywords);
  const std::map<std::string, std::string>& Attributes() const { return m_attrs; }

  // The information dictionary of the attached input, copied at attach time; its
  // entries are the starting point of the written one.
  void SetInputInfo(PDValuePtr info) { m_inputInfo = std::move(info); }

  // The current input: opened by InputOpen or attached; shared with its IDoc handle.
  [[nodiscard]] bool InputOpen(const char* name);
  [[nodiscard]] bool Attach(std::shared_ptr<PDInputDoc> input);
  void ReleaseInput();
  const std::shared_ptr<PDInputDoc>& CurrentInput() const { return m_input; }
  // Copies pages first..last of the current input (1-based; a last page outside
  // 1..count means up to the last page).
  [[nodiscard]] bool InputCopyPages(int32_t first, int32_t last);
  // Opens the file, copies the range and drops the file again.
  [[nodiscard]] bool Merge(const char* name, int32_t first, int32_t last);
  // Copies the current input's separation colour space of that name into the
  // output (1008 without input, 1016 when the input has no such colour).
  [[nodiscard]] bool InputCopyColor(const char* name);

  // Bookmarks, links and named destinations (PDOutDocOutline.cpp). Pages are
  // 0-based here. A bookmark's parent is the number of a bookmark made earlier
  // (1 for the first), 0 for the top level.
  [[nodiscard]] bool AddBookmark(int32_t parent, const char* title, std::optional<PDAction> action);
  // A link on a page this document has not written yet (the current page or a
  // later one); a page already written cannot list it any more (1008).
  [[nodiscard]] bool AddLink(int32_t page, PDLink link);
  [[nodiscard]] bool AddNamedDest(const char* name, int32_t page);
  // Copies the current input's bookmarks for the pages already copied from it,
  // below bookmark `parent` (0: top level).
  [[nodiscard]] bool InputCopyBookmarks(int32_t parent);
  const PDOutline& Outline() const { return m_outline; }
  const PDNameTree& NamedDests() const { return m_names; }
  // The form fields carried over from copied pages, written at close.
  const OutputForm& Form() const { return m_form; }

  // Images, logos, the running header and page numbers (PDOutDocStamps.cpp).
  // An image's number counts from 1; 0 when it was refused (last error set).
  [[nodiscard]] int32_t CreateImage(const ImageData& data);
  const PDImage* Image(int32_t number) const;
  // Opens the logo file, or selects it when it is open already.
  [[nodiscard]] bool LogoFileOpen(const char* name);
  // Paints logo `number` of the current logo file on a stream: a status code.
  int32_t PrintLogo(PDPgStream& stream, int32_t number);
  // Opens the logo file and puts its logo `number` (the first by default) into
  // the header (background false) or beneath every page copied afterwards.
  [[nodiscard]] bool Logo(const char* name, bool background, int32_t number = 1);
  // The header stream when one exists; none after HeaderClear.
  PDPgStream* HeaderIfAny() { return m_header.get(); }
  void HeaderClear() { m_header.reset(); }
  // Page numbers on every page copied afterwards: "%p" is the page number, "%%"
  // a percent sign. Orientation 0, 90, 180, 270 (or -90). A status code.
  int32_t PutPageNumbers(double x, double y, const char* format, int32_t start, int32_t orientation);

  void SetCompress(bool on) { m_compress = on; }
  [[nodiscard]] bool Compress() const { return m_compress; }

protected:
  [[nodiscard]] bool FinishDocument() override;
  [[nodiscard]] bool WriteContents() override;
  // The link annotations and the named-destination tree, written at close.
  [[nodiscard]] bool WriteLinksAndNames();
  [[nodiscard]] bool WriteCatalogEntries() override;

private:
  // Adapters that let the resource sets and page import reach this document.
  class Host : public ResourceHost {
  public:
    explicit Host(PDOutDoc& doc) : m_doc(doc) {}
    int32_t CopyInputFont(const char* baseFont, PDFInput*& input, int32_t& inputNumber) override;
    int32_t CopyInputColor(const char* name) override;

  private:
    PDOutDoc& m_doc;
  };
  class Hooks : public ImportHooks {
  public:
    explicit Hooks(PDOutDoc& doc) : m_doc(doc) {}
    bool TakeOver(PDFInput& input, PDObject& object, int32_t outputId) override;

  private:
    PDOutDoc& m_doc;
  };
  // Copies a value of the current input (an object's contents) as a new object.
  int32_t CopyInputValue(PDValue* value);
  void EnterHeaderResources(PDFInput& input, PDObject& page);
  // The header, page number and background logo laid onto a copied page.
  void OverlayPage(PDFInput& input, PDObject& page);
  // Adds the links made for this output page to a page copied from an input.
  void AttachPendingLinks(PDFInput& input, PDObject& page);
  [[nodiscard]] bool WriteHeaderOverlay();
  int32_t WritePageNumber();
  PDLogo* CurrentLogo(int32_t number);
  std::vector<std::pair<ByteString, int32_t>> AllLogoXObjects() const;

  [[nodiscard]] bool EndPage();
  [[nodiscard]] bool CopyRange(PDInputDoc& input, int32_t first, int32_t last);
  static std::shared_ptr<PDInputDoc> OpenInput(const char* name, int32_t& error);
  [[nodiscard]] bool WriteResources();
  [[nodiscard]] bool WriteInfo();
  ByteString ProducerText(const PDDict* start) const;
  // The output id of a 0-based page written so far, or 0.
  [[nodiscard]] int32_t OutputPageId(int32_t page);

  uint16_t m_width = 595;
  uint16_t m_height = 842;
  Host m_host{*this};
  Hooks m_hooks{*this};
  PDResources m_pageResources{*this, 'F', &m_host};
  PDResources m_headerResources{*this, 'H', &m_host};
  FontStore m_fontStore;
  std::unique_ptr<PDPgStream> m_content;
  std::unique_ptr<PDPgStream> m_header;
  int32_t m_resourcesId = 0;
  std::map<std::string, std::string> m_attrs;
  PDValuePtr m_inputInfo;
  std::shared_ptr<PDInputDoc> m_input;
  bool m_compress = true;
  PDOutline m_outline{*this};
  PDLinks m_links;
  PDNameTree m_names;
  int32_t m_namesId = 0;
  std::vector<PDImage> m_images;
  std::vector<std::unique_ptr<LogoFile>> m_logoFiles;
  int32_t m_currentLogoFile = -1;
  std::unique_ptr<PDPgStream> m_background;
  // Page numbering: the stream holding the numbering text, and the number the
  // next copied page gets.
  std::unique_ptr<PDPgStream> m_pageNumbers;
  int32_t m_pageCounter = 0;
  // Streams that save and restore the graphics state around a copied page's own
  // content, so that what the page leaves set does not move the header.
  int32_t m_saveStateId = 0;
  int32_t m_restoreStateId = 0;
  OutputForm m_form;
  int32_t m_formId = 0;
};

}  // namespace folian
