#pragma once
// TextExtractor: reads positioned text tokens from the pages of an input
// document, page after page, by interpreting their content streams.
//
// The interpreter follows the text operators, q/Q/cm and form XObjects drawn
// with Do (with their /Matrix and /Resources; a form that draws itself, directly
// or through others, is skipped). It runs only until the next token is finished,
// so the work is spread over the reads and a page is never held as a list of
// tokens. Decoded streams, fonts and operand buffers are reused, so reading is
// linear in the content bytes.
//
// Ownership: the extractor borrows the input, which must outlive it; it holds no
// pointer into the input's objects between reads, so the input may release
// cached objects in between. Failure: malformed content is reported to the
// input's diagnostics and reading goes on with the next operator, or the next
// stream where the tokenizer cannot go on.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pdf/text/ContentLexer.h"
#include "pdf/text/TextFont.h"
#include "pdf/text/TextToken.h"

namespace folian {

class PDFInput;
class PDDict;

struct TextMatrix {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  // this × other (a point is transformed by this first).
  [[nodiscard]] TextMatrix Times(const TextMatrix& o) const {
    return {a * o.a + b * o.c, a * o.b + b * o.d, c * o.a + d * o.c, c * o.b + d * o.d, e * o.a + f * o.c + o.e,
            e * o.b + f * o.d + o.f};
  }
};

class TextExtractor {
public:
  enum class Step {
    Token,       // `out` holds the next token
    PageChange,  // the page ended; `out` is empty with the new page number
    End,         // past the last page; `out` is empty with a page number beyond it
  };

  explicit TextExtractor(PDFInput& input);
  ~TextExtractor();

  // Text as UTF-8 (true) or as the library's bytes (false, the default).
  void SetUnicode(bool on) { m_unicode = on; }
  // Starts reading at page `index` (0-based); the next Read gives its first token.
  void GoPage(int32_t index);
  // 0-based index of the page being read (the page count when past the end).
  [[nodiscard]] int32_t Page() const { return m_page; }
  Step Read(TextToken& out);

  // Limits against hostile content.
  static constexpr size_t kMaxSavedStates = 1024;   // q without Q beyond this is counted only
  static constexpr size_t kMaxFormDepth = 32;
  static constexpr int32_t kMaxFormsPerPage = 10000;
  static constexpr size_t kMaxOperands = size_t{1} << 22;

private:
  enum class Operand : uint8_t { Number, String, Name, ArrayBegin, ArrayEnd, Other };
  struct OperandSlot {
    Operand kind;
    double number;
    uint32_t offset;  // String and Name bytes in m_operandText
    uint32_t length;
  };
  struct TextState {
    double charSpacing = 0, wordSpacing = 0, scaling = 100, leading = 0, size = 0;
    const TextFont* font = nullptr;
    std::string fontName;
  };
  struct SavedState {
    TextMatrix ctm;
    TextState text;
  };
  struct Frame {
    std::string_view data;
    ContentLexer lexer;
    int32_t resourcesOwner = 0;  // object whose /Resources apply (a page inherits them)
    bool pageOwner = false;
    int32_t form = 0;            // the form XObject drawn, 0 for the page's own content
    size_t savedDepth = 0;       // saved states when the frame began
    PDDict* resources = nullptr; // refreshed at every read
  };

  void BeginPage();
  void EndPage();
  void RefreshResources();
  PDDict* ResourcesOf(int32_t owner, bool page);
  bool RunUntilToken();
  void PopFrame();
  void Execute(std::string_view op);
  void ResetOperands();
  bool Numbers(int count, double* out);
  std::string_view OperandText(const OperandSlot& slot) const {
    return std::string_view(m_operandText.data() + slot.offset, slot.length);
  }
  void SetFont(std::string_view name, double size);
  void Show(std::string_view bytes);
  void StepTJ();
  void NextLine(double tx, double ty);
  void SaveState();
  void RestoreState();
  void DrawXObject(std::string_view name);
  void SkipInlineImage(Frame& frame);
  void FinishToken();

  PDFInput& m_input;
  bool m_unicode = false;
  int32_t m_page = -1;
  int32_t m_pageCount = 0;
  bool m_pageActive = false;
  int32_t m_pageObject = 0;
  int32_t m_formsDrawn = 0;

  std::string m_pageData;  // the page's /Contents streams, joined by a blank
  std::unordered_map<int32_t, std::string> m_formData;
  std::vector<Frame> m_frames;
  std::vector<OperandSlot> m_operands;
  std::string m_operandText;
  int32_t m_arrayDepth = 0;
  bool m_operandsOverflowed = false;
  // A TJ array being shown element by element: the next element and the end.
  size_t m_tjNext = 0;
  size_t m_tjEnd = 0;
  bool m_tjActive = false;

  TextMatrix m_ctm;
  TextMatrix m_tm;
  TextMatrix m_tlm;
  TextState m_text;
  std::vector<SavedState> m_saved;
  size_t m_unsavedQ = 0;  // q operators beyond kMaxSavedStates, matched by Q first

  // Fonts met so far: by object number, and (rarely) written directly into the
  // resources of an object, by that object's number and the resource name.
  struct LoadedFont {
    std::unique_ptr<TextFont> font;
    std::string name;  // base font name as tokens carry it
  };
  std::unordered_map<int32_t, LoadedFont> m_fonts;
  std::unordered_map<std::string, LoadedFont> m_directFonts;
  std::unique_ptr<TextFont> m_noFont;
  std::string m_key;  // a resource name with its terminating zero, for lookups

  // The token under construction.
  bool m_building = false;
  TextToken m_token;
  double m_startX = 0, m_startY = 0;   // page coordinates of its start
  double m_ux = 1, m_uy = 0;           // unit direction of its baseline
  double m_scale = 1;                  // page units per text space unit along it
  double m_vscale = 1;                 // the same across it
  double m_advance = 0;                // text space advance so far
  double m_extent = 0;                 // advance at the right edge of the last character
  double m_expectX = 0, m_expectY = 0; // where its text continues on the page
  bool m_movedByTJ = false;            // only TJ numbers moved the text since the last show
  bool m_pendingBlank = false;

  TokenFIFO m_fifo;
};

}  // namespace folian
