#include "pdf/text/TextExtractor.h"

#include <cmath>

#include "pdf/base/Diagnostics.h"
#include "pdf/content/InputFonts.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"

namespace folian {
namespace {

PDValue* ResolveIn(PDFInput& input, PDValue* value) { return value ? input.Resolve(value) : nullptr; }

PDDict* DictIn(PDFInput& input, PDValue* value) {
  PDValue* resolved = ResolveIn(input, value);
  return resolved && resolved->Is(PDKind::Dictionary) ? resolved->Dict() : nullptr;
}

bool Finite(double v) { return std::isfinite(v); }

// The orientation of a baseline direction in whole degrees, 0 to 359. The factor
// 57.4787 (not 180/pi) is kept because callers compare against what earlier
// releases reported.
int32_t Orientation(double a, double b) {
  if (a == 0) return b >= 0 ? 90 : 270;
  if (b == 0) return a >= 0 ? 0 : 180;
  auto degrees = static_cast<int32_t>(std::atan(b / a) * 57.4787);
  if (a < 0) degrees += 180;
  if (degrees < 0) degrees += 360;
  return degrees;
}

}  // namespace

TextExtractor::TextExtractor(PDFInput& input) : m_input(input), m_noFont(TextFont::Load(input, nullptr)) {
  m_operands.reserve(64);
}

TextExtractor::~TextExtractor() = default;

void TextExtractor::GoPage(int32_t index) {
  m_pageCount = m_input.PageCount();
  m_page = index < 0 ? 0 : index;
  m_fifo.Clear();
  BeginPage();
}

void TextExtractor::BeginPage() {
  m_frames.clear();
  m_formData.clear();
  m_pageData.clear();
  m_formsDrawn = 0;
  ResetOperands();
  m_tjActive = false;
  m_ctm = TextMatrix{};
  m_tm = m_tlm = TextMatrix{};
  m_text = TextState{};
  m_saved.clear();
  m_unsavedQ = 0;
  m_building = false;
  m_token.Clear();
  m_pageActive = false;
  m_pageObject = 0;
  if (m_page >= m_pageCount) return;
  PDObject* page = m_input.FindPage(m_page);
  if (!page || !page->Root() || !page->Root()->Dict()) return;
  m_pageObject = page->Number();
  m_pageActive = true;
  // Every stream of /Contents, in order, read as one with a blank between them.
  PDValue* contents = ResolveIn(m_input, page->Root()->Dict()->Get(kKeyContents));
  ByteString data;
  auto append = [&](PDValue* item) {
    if (!item || !item->Is(PDKind::Reference)) return;
    if (m_input.StreamData(item->Number(), data)) {
      m_pageData.append(data.data(), static_cast<size_t>(data.length()));
      m_pageData += ' ';
    }
  };
  PDValue* direct = page->Root()->Dict()->Get(kKeyContents);
  if (contents && contents->Is(PDKind::Array)) {
    for (PDValue* el = contents->GetFirstEl(); el; el = el->Next()) append(el);
  } else {
    append(direct);
  }
  Frame frame;
  frame.data = m_pageData;
  frame.lexer.Reset(m_pageData.data(), m_pageData.size());
  frame.resourcesOwner = m_pageObject;
  frame.pageOwner = true;
  m_frames.push_back(std::move(frame));
}

PDDict* TextExtractor::ResourcesOf(int32_t owner, bool page) {
  PDObject* node = m_input.GetObj(owner);
  // A page without resources of its own inherits them from its ancestors.
  for (int depth = 0; node && node->Root() && node->Root()->Dict() && depth < PDFInput::kMaxTreeDepth; ++depth) {
    PDDict* dict = node->Root()->Dict();
    if (PDDict* resources = DictIn(m_input, dict->Get(kKeyResources))) return resources;
    if (!page) return nullptr;
    PDValue* parent = dict->Get(kKeyParent);
    if (!parent || !parent->Is(PDKind::Reference)) return nullptr;
    node = m_input.GetObj(parent->Number());
  }
  return nullptr;
}

void TextExtractor::RefreshResources() {
  for (Frame& frame : m_frames) frame.resources = ResourcesOf(frame.resourcesOwner, frame.pageOwner);
}

TextExtractor::Step TextExtractor::Read(TextToken& out) {
  DiagnosticScope scope(m_input.Diagnostics());
  if (m_page < 0) GoPage(0);
  RefreshResources();
  for (;;) {
    if (m_fifo.Pop(out)) return Step::Token;
    if (m_pageActive) {
      if (!RunUntilToken()) EndPage();
      continue;
    }
    out.Clear();
    if (m_page < m_pageCount) ++m_page;
    out.page = m_page + 1;
    if (m_page >= m_pageCount) {
      BeginPage();
      return Step::End;
    }
    BeginPage();
    RefreshResources();
    return Step::PageChange;
  }
}

void TextExtractor::EndPage() {
  FinishToken();
  m_pageActive = false;
  m_frames.clear();
  m_formData.clear();
}

void TextExtractor::ResetOperands() {
  m_operands.clear();
  m_operandText.clear();
  m_arrayDepth = 0;
  m_operandsOverflowed = false;
}

// Interprets operators until a token is finished (true) or the page's content
// is used up (false).
bool TextExtractor::RunUntilToken() {
  while (m_fifo.Size() == 0) {
    if (m_tjActive) {
      StepTJ();
      continue;
    }
    if (m_frames.empty()) return false;
    Frame& frame = m_frames.back();
    ContentToken token = frame.lexer.Next();
    switch (token) {
      case ContentToken::End:
        PopFrame();
        break;
      case ContentToken::Bad:
        Diag("unexpected token %d %.*s\n", static_cast<int>(token), static_cast<int>(frame.lexer.Text().size()),
             frame.lexer.Text().data());
        PopFrame();
        break;
      case ContentToken::Operator:
        Execute(frame.lexer.Text());
        if (!m_tjActive) ResetOperands();
        break;
      case ContentToken::DictBegin: {
        // Property lists of marked content carry no text: skipped as one operand.
        int depth = 1;
        while (depth > 0) {
          ContentToken inner = frame.lexer.Next();
          if (inner == ContentToken::End || inner == ContentToken::Bad) break;
          if (inner == ContentToken::DictBegin) ++depth;
          if (inner == ContentToken::DictEnd) --depth;
        }
        m_operands.push_back({Operand::Other, 0, 0, 0});
        break;
      }
      case ContentToken::DictEnd:
        break;
      default: {
        if (m_operands.size() >= kMaxOperands) {
          if (!m_operandsOverflowed) Diag("too many operands, content stream ends here\n");
          m_operandsOverflowed = true;
          PopFrame();
          break;
        }
        OperandSlot slot{Operand::Number, 0, 0, 0};
        if (token == ContentToken::Number) {
          slot.number = frame.lexer.Number();
        } else if (token == ContentToken::String || token == ContentToken::Name) {
          slot.kind = token == ContentToken::String ? Operand::String : Operand::Name;
          std::string_view text = frame.lexer.Text();
          slot.offset = static_cast<uint32_t>(m_operandText.size());
          slot.length = static_cast<uint32_t>(text.size());
          m_operandText.append(text);
        } else if (token == ContentToken::ArrayBegin) {
          slot.kind = Operand::ArrayBegin;
          ++m_arrayDepth;
        } else {
          if (m_arrayDepth == 0) break;  // a stray "]"
          slot.kind = Operand::ArrayEnd;
          --m_arrayDepth;
        }
        m_operands.push_back(slot);
      }
    }
  }
  return true;
}

void TextExtractor::PopFrame() {
  if (m_frames.empty()) return;
  Frame& frame = m_frames.back();
  bool form = frame.form != 0;
  size_t depth = frame.savedDepth;
  m_frames.pop_back();
  ResetOperands();
  m_tjActive = false;
  if (form) {
    // The form's own q/Q imbalance ends with it; then the state saved before it returns.
    while (m_saved.size() > depth) m_saved.pop_back();
    m_unsavedQ = 0;
    RestoreState();
  }
}

bool TextExtractor::Numbers(int count, double* out) {
  if (m_operands.size() < static_cast<size_t>(count)) return false;
  size_t first = m_operands.size() - static_cast<size_t>(count);
  for (int i = 0; i < count; ++i) {
    const OperandSlot& slot = m_operands[first + static_cast<size_t>(i)];
    if (slot.kind != Operand::Number || !Finite(slot.number)) return false;
    out[i] = slot.number;
  }
  return true;
}

void TextExtractor::Execute(std::string_view op) {
  double n[6];
  auto tooFew = [&] { Diag("operator %.*s: missing operands\n", static_cast<int>(op.size()), op.data()); };
  // Every operator followed has one or two letters.
  if (op.size() > 2) return;
  const char c0 = op.empty() ? 0 : op[0];
  const char c1 = op.size() > 1 ? op[1] : 0;
  if (c0 == 'T') {
    switch (c1) {
      case 'm':
        if (!Numbers(6, n)) return tooFew();
        m_tm = m_tlm = TextMatrix{n[0], n[1], n[2], n[3], n[4], n[5]};
        m_movedByTJ = false;
        return;
      case 'L':
        if (!Numbers(1, n)) return tooFew();
        m_text.leading = n[0];
        return;
      case 'D':
        if (!Numbers(2, n)) return tooFew();
        m_text.leading = -n[1];
        NextLine(n[0], n[1]);
        return;
      case 'd':
        if (!Numbers(2, n)) return tooFew();
        NextLine(n[0], n[1]);
        return;
      case '*':
        NextLine(0, -m_text.leading);
        return;
      case 'f': {
        if (!Numbers(1, n) || m_operands.size() < 2 || m_operands[m_operands.size() - 2].kind != Operand::Name)
          return tooFew();
        SetFont(OperandText(m_operands[m_operands.size() - 2]), n[0]);
        return;
      }
      case 'w':
        if (!Numbers(1, n)) return tooFew();
        m_text.wordSpacing = n[0];
        return;
      case 'c':
        if (!Numbers(1, n)) return tooFew();
        m_text.charSpacing = n[0];
        return;
      case 'z':
        if (!Numbers(1, n)) return tooFew();
        m_text.scaling = n[0];
        return;
      case 'j':
        if (m_operands.empty() || m_operands.back().kind != Operand::String) return tooFew();
        Show(OperandText(m_operands.back()));
        return;
      case 'J': {
        size_t begin = 0;
        while (begin < m_operands.size() && m_operands[begin].kind != Operand::ArrayBegin) ++begin;
        if (begin == m_operands.size()) return tooFew();
        size_t end = m_operands.size();
        if (m_operands.back().kind == Operand::ArrayEnd) --end;
        if (end == begin + 1) {
          Diag("operator TJ has empty list\n");
          return;
        }
        m_tjNext = begin + 1;
        m_tjEnd = end;
        m_tjActive = true;
        return;
      }
      default:
        return;
    }
  }
  if (op.size() == 1) {
    switch (c0) {
      case '\'':
        if (m_operands.empty() || m_operands.back().kind != Operand::String) return tooFew();
        NextLine(0, -m_text.leading);
        Show(OperandText(m_operands.back()));
        return;
      case '"':
        if (m_operands.size() < 3 || m_operands.back().kind != Operand::String) return tooFew();
        {
          const OperandSlot& aw = m_operands[m_operands.size() - 3];
          const OperandSlot& ac = m_operands[m_operands.size() - 2];
          if (aw.kind != Operand::Number || ac.kind != Operand::Number) return tooFew();
          m_text.wordSpacing = aw.number;
          m_text.charSpacing = ac.number;
        }
        NextLine(0, -m_text.leading);
        Show(OperandText(m_operands.back()));
        return;
      case 'q':
        SaveState();
        return;
      case 'Q':
        RestoreState();
        return;
      default:
        return;
    }
  }
  if (op == "BT") {
    m_tm = m_tlm = TextMatrix{};
    m_movedByTJ = false;
  } else if (op == "cm") {
    if (!Numbers(6, n)) return tooFew();
    m_ctm = TextMatrix{n[0], n[1], n[2], n[3], n[4], n[5]}.Times(m_ctm);
    m_movedByTJ = false;
  } else if (op == "Do") {
    if (m_operands.empty() || m_operands.back().kind != Operand::Name) return tooFew();
    DrawXObject(OperandText(m_operands.back()));
  } else if (op == "BI") {
    SkipInlineImage(m_frames.back());
  }
}

void TextExtractor::SkipInlineImage(Frame& frame) {
  // The image dictionary runs up to "ID"; the data after it up to "EI".
  for (;;) {
    ContentToken token = frame.lexer.Next();
    if (token == ContentToken::End || token == ContentToken::Bad) return;
    if (token == ContentToken::Operator && frame.lexer.Text() == "ID") break;
  }
  frame.lexer.SkipInlineImageData();
}

void TextExtractor::NextLine(double tx, double ty) {
  if (!Finite(tx) || !Finite(ty)) return;
  m_tlm = TextMatrix{1, 0, 0, 1, tx, ty}.Times(m_tlm);
  m_tm = m_tlm;
  m_movedByTJ = false;
}

void TextExtractor::SaveState() {
  if (m_saved.size() >= kMaxSavedStates) {
    ++m_unsavedQ;
    return;
  }
  m_saved.push_back({m_ctm, m_text});
}

void TextExtractor::RestoreState() {
  if (m_unsavedQ > 0) {
    --m_unsavedQ;
    return;
  }
  // A Q without its q inside a form may not reach the states saved outside it.
  size_t floor = m_frames.empty() ? 0 : m_frames.back().savedDepth;
  if (m_saved.size() <= floor) return;
  m_ctm = m_saved.back().ctm;
  m_text = m_saved.back().text;
  m_saved.pop_back();
  m_movedByTJ = false;
}

void TextExtractor::SetFont(std::string_view name, double size) {
  m_text.size = Finite(size) ? size : 0;
  m_text.font = m_noFont.get();
  m_text.fontName.assign(name.size() > 1 ? name.substr(1) : name);
  PDDict* resources = m_frames.empty() ? nullptr : m_frames.back().resources;
  PDDict* fonts = resources ? DictIn(m_input, resources->Get(kKeyFont)) : nullptr;
  m_key.assign(name);
  PDValue* entry = fonts ? fonts->Find(m_key.c_str()) : nullptr;
  if (!entry) return;
  auto load = [&](LoadedFont& loaded) {
    loaded.font = TextFont::Load(m_input, entry);
    PDDict* dict = DictIn(m_input, entry);
    PDValue* base = dict ? ResolveIn(m_input, dict->Find("/BaseFont")) : nullptr;
    loaded.name = base && base->Is(PDKind::Text) && base->Text().length() > 1 ? PlainFontName(base->Text()).str()
                                                                               : m_text.fontName;
  };
  LoadedFont* loaded = nullptr;
  if (entry->Is(PDKind::Reference)) {
    loaded = &m_fonts[entry->Number()];
  } else {
    loaded = &m_directFonts[std::to_string(m_frames.back().resourcesOwner) + m_key];
  }
  if (!loaded->font) load(*loaded);
  m_text.font = loaded->font.get();
  m_text.fontName = loaded->name;
}

void TextExtractor::FinishToken() {
  if (!m_building) return;
  m_building = false;
  m_pendingBlank = false;
  m_token.width = m_extent * m_scale;
  if (m_token.text.empty()) return;
  m_fifo.Push(m_token);
  m_token.Clear();
}

void TextExtractor::Show(std::string_view bytes) {
  if (bytes.empty()) return;
  const TextFont& font = m_text.font ? *m_text.font : *m_noFont;
  const double size = m_text.size;
  const TextMatrix m = m_tm.Times(m_ctm);
  if (!Finite(m.e) || !Finite(m.f)) return;

  if (m_building) {
    // Where the text continues, seen along and across the token's baseline, in
    // text space units: a small step joins, a wider one adds a blank, a large
    // one (or a step to another line) starts a new token.
    double dx = m.e - m_expectX, dy = m.f - m_expectY;
    double along = (dx * m_ux + dy * m_uy) / m_scale;
    double across = (-dx * m_uy + dy * m_ux) / m_vscale;
    double limit = std::fabs(size);
    bool sameLine = std::fabs(across) <= 0.3 * limit;
    bool backwards = !m_movedByTJ && along < -0.3 * limit;
    if (!sameLine || backwards || along > 0.5 * limit) {
      FinishToken();
    } else {
      m_advance += along;
      if (along >= 0.2 * limit) m_pendingBlank = true;
    }
  }
  if (!m_building) {
    m_building = true;
    m_pendingBlank = false;
    m_token.Clear();
    m_token.page = m_page + 1;
    m_token.x = m.e;
    m_token.y = m.f;
    m_scale = std::hypot(m.a, m.b);
    m_vscale = std::hypot(m.c, m.d);
    if (!(m_scale > 1e-12) || !Finite(m_scale)) m_scale = 1e-12;
    if (!(m_vscale > 1e-12) || !Finite(m_vscale)) m_vscale = 1e-12;
    m_ux = m.a / m_scale;
    m_uy = m.b / m_scale;
    m_token.height = std::fabs(size) * m_vscale;
    m_token.orientation = Orientation(m.a, m.b);
    m_token.font = m_text.fontName;
    m_advance = 0;
    m_extent = 0;
  }
  if (m_pendingBlank) {
    m_token.text += ' ';
    m_token.rightEdges.push_back(static_cast<float>(m_advance * m_scale));
    m_pendingBlank = false;
  }

  // The width rule of text placement: widths scaled by size and horizontal
  // scaling, character spacing after every character, word spacing after
  // single-byte blanks. The text moves on by the full advance; the right edges
  // handed out stop half a character spacing past each glyph.
  const double hundredth = static_cast<double>(0.01f);
  const double thousandth = static_cast<double>(0.001f);
  const double h = m_text.scaling * hundredth;
  const double cs = h * m_text.charSpacing;
  const double ws = h * m_text.wordSpacing;
  double run = 0, extra = 0;
  TextGlyph glyph;
  size_t pos = 0;
  while (pos < bytes.size()) {
    pos += font.Decode(bytes.data() + pos, bytes.size() - pos, glyph);
    run += glyph.width * size * h;
    if (glyph.wordSpace) extra += ws;
    double edge = run * thousandth + cs * 0.5 + extra;
    extra += cs;
    if (m_unicode) {
      m_token.text.append(glyph.utf8);
    } else {
      m_token.text += static_cast<char>(glyph.byte);
    }
    m_token.rightEdges.push_back(static_cast<float>((m_advance + edge) * m_scale));
  }
  double advance = run * thousandth + extra;
  if (!Finite(advance)) advance = 0;
  m_extent = m_advance + advance - cs;
  m_advance += advance;
  m_tm.e += advance * m_tm.a;
  m_tm.f += advance * m_tm.b;
  const TextMatrix after = m_tm.Times(m_ctm);
  m_expectX = after.e;
  m_expectY = after.f;
  m_movedByTJ = false;
}

void TextExtractor::StepTJ() {
  if (m_tjNext >= m_tjEnd) {
    m_tjActive = false;
    ResetOperands();
    return;
  }
  const OperandSlot& slot = m_operands[m_tjNext++];
  if (slot.kind == Operand::String) {
    Show(OperandText(slot));
  } else if (slot.kind == Operand::Number) {
    // A number moves the text back by thousandths of the font size.
    double gap = -slot.number * m_text.size * static_cast<double>(0.001f);
    if (!Finite(gap)) return;
    m_tm.e += gap * m_tm.a;
    m_tm.f += gap * m_tm.b;
    m_movedByTJ = true;
  } else {
    const char* what = slot.kind == Operand::Name ? "name" : slot.kind == Operand::ArrayBegin ? "[" : slot.kind == Operand::ArrayEnd ? "]" : "dictionary";
    Diag("unexpected token in TJ list encountered: %s\n", what);
  }
}

void TextExtractor::DrawXObject(std::string_view name) {
  PDDict* resources = m_frames.back().resources;
  PDDict* xobjects = resources ? DictIn(m_input, resources->Get(kKeyXObject)) : nullptr;
  m_key.assign(name);
  PDValue* entry = xobjects ? xobjects->Find(m_key.c_str()) : nullptr;
  if (!entry || !entry->Is(PDKind::Reference)) return;
  const int32_t number = entry->Number();
  PDObject* object = m_input.GetObj(number);
  PDDict* dict = object && object->Root() ? object->Root()->Dict() : nullptr;
  if (!dict) return;
  PDValue* subtype = ResolveIn(m_input, dict->Find("/Subtype"));
  if (!subtype || !subtype->IsText("/Form")) return;  // images carry no text
  for (const Frame& frame : m_frames)
    if (frame.form == number) {
      Diag("XObject %d draws itself, skipped\n", number);
      return;
    }
  if (m_frames.size() > kMaxFormDepth || ++m_formsDrawn > kMaxFormsPerPage) return;

  auto cached = m_formData.find(number);
  if (cached == m_formData.end()) {
    ByteString data;
    if (!m_input.StreamData(object, data)) return;
    cached = m_formData.emplace(number, std::string(data.view())).first;
  }
  // The objects may have been read anew by StreamData: look the dictionary up again.
  object = m_input.GetObj(number);
  dict = object && object->Root() ? object->Root()->Dict() : nullptr;
  if (!dict) return;
  const Frame& parent = m_frames.back();
  ResetOperands();
  SaveState();
  size_t depth = m_saved.size();
  if (m_unsavedQ > 0) {
    // No room to save the state: the form is not drawn.
    --m_unsavedQ;
    return;
  }
  PDValue* matrix = ResolveIn(m_input, dict->Find("/Matrix"));
  if (matrix && matrix->Is(PDKind::Array) && matrix->Number() == 6) {
    double v[6];
    int i = 0;
    for (PDValue* el = matrix->GetFirstEl(); el && i < 6; el = el->Next()) v[i++] = ResolveIn(m_input, el)->RealValue();
    bool usable = true;
    for (double x : v) usable = usable && Finite(x);
    if (usable) m_ctm = TextMatrix{v[0], v[1], v[2], v[3], v[4], v[5]}.Times(m_ctm);
  }
  Frame frame;
  frame.data = cached->second;
  frame.lexer.Reset(cached->second.data(), cached->second.size());
  frame.form = number;
  frame.savedDepth = depth;
  if (DictIn(m_input, dict->Get(kKeyResources))) {
    frame.resourcesOwner = number;
    frame.pageOwner = false;
  } else {
    frame.resourcesOwner = parent.resourcesOwner;
    frame.pageOwner = parent.pageOwner;
  }
  frame.resources = ResourcesOf(frame.resourcesOwner, frame.pageOwner);
  m_frames.push_back(std::move(frame));
}

}  // namespace folian
