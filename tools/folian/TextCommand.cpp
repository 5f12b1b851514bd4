#include "TextCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pdf/api/folian32.h"

namespace {

struct Token {
  double x, y, width, height;
  int orientation;
  std::string font;
  std::string text;
};

bool Blank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// Tokens of one page as lines, in the order the page draws them: a token joins
// the line before it when its baseline lies within half a text height of the
// line's and it does not start left of where the line's last token began; text
// in another direction stands on lines of its own. Columns drawn one after the
// other thus stay apart.
void WritePlain(const std::vector<Token>& tokens, std::string& out) {
  const Token* previous = nullptr;
  double lineY = 0;
  for (const Token& token : tokens) {
    if (Blank(token.text)) continue;
    bool join = previous && token.orientation == 0 && previous->orientation == 0 &&
                std::fabs(token.y - lineY) <= std::max(1.0, 0.5 * std::max(token.height, previous->height)) &&
                token.x >= previous->x;
    if (previous) out += join ? ' ' : '\n';
    if (!join) lineY = token.y;
    out += token.text;
    previous = &token;
  }
  if (previous) out += '\n';
}

void WriteTsv(int page, const std::vector<Token>& tokens, std::string& out) {
  char numbers[160];
  for (const Token& token : tokens) {
    std::snprintf(numbers, sizeof numbers, "%d\t%.2f\t%.2f\t%.2f\t%.2f\t%d\t", page, token.x, token.y, token.width,
                  token.height, token.orientation);
    out += numbers;
    out += token.font;
    out += '\t';
    // Tabs and line ends inside the text would break the columns.
    for (char c : token.text) out += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
    out += '\n';
  }
}

bool ParseRange(const char* text, int& first, int& last) {
  char* end = nullptr;
  long a = std::strtol(text, &end, 10);
  if (end == text || a < 1) return false;
  long b = a;
  if (*end == '-') {
    const char* rest = end + 1;
    if (*rest == 0) {
      b = 0;  // "A-": to the last page
      end = const_cast<char*>(rest);
    } else {
      b = std::strtol(rest, &end, 10);
      if (end == rest || b < a) return false;
    }
  }
  if (*end != 0 || a > 1000000000 || b > 1000000000) return false;
  first = static_cast<int>(a);
  last = static_cast<int>(b);
  return true;
}

}  // namespace

int TextCommand(int argc, char** argv) {
  const char* path = nullptr;
  bool tsv = false;
  int first = 1, last = 0;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--tsv") == 0) {
      tsv = true;
    } else if (std::strcmp(argv[i], "--pages") == 0 && i + 1 < argc) {
      if (!ParseRange(argv[++i], first, last)) {
        std::fprintf(stderr, "folian text: bad page range %s\n", argv[i]);
        return 2;
      }
    } else if (!path && argv[i][0] != '-') {
      path = argv[i];
    } else {
      path = nullptr;
      break;
    }
  }
  if (!path) {
    std::fprintf(stderr, "usage: folian text FILE [--pages A-B] [--tsv]\n");
    return 2;
  }
  int32_t error = 0;
  FLHANDLE input = IDocOpen(path, &error);
  if (!input) {
    std::fprintf(stderr, "folian text: cannot read %s (error %d)\n", path, error);
    return 1;
  }
  const int pages = IDocNumPages(input);
  if (last == 0 || last > pages) last = pages;
  if (first > pages) {
    std::fprintf(stderr, "folian text: %s has %d pages\n", path, pages);
    IDocClose(input);
    return 1;
  }
  int32_t code = IDocAcquirePage(input, first);
  if (code != FL_OK) {
    std::fprintf(stderr, "folian text: cannot read page %d of %s (error %d)\n", first, path, code);
    IDocClose(input);
    return 1;
  }
  TextTokenRecord record;
  FLInitToken(&record);
  std::vector<Token> tokens;
  std::string out;
  int page = first;
  auto flushPage = [&] {
    if (tsv) {
      WriteTsv(page, tokens, out);
    } else {
      if (page > first) out += '\f';
      WritePlain(tokens, out);
    }
    tokens.clear();
    std::fwrite(out.data(), 1, out.size(), stdout);
    out.clear();
  };
  for (;;) {
    FLVBSTR text = nullptr, font = nullptr;
    code = IDocReadTextUTF8(input, &text, &record, &font);
    if (code != FL_OK && code != FL_ERR_NO_SUCH_PAGE) {
      std::fprintf(stderr, "folian text: reading %s failed (error %d)\n", path, code);
      FLFreeVBSTR(text);
      FLFreeVBSTR(font);
      break;
    }
    if (record.page != page) {
      flushPage();
      page = record.page;
    }
    if (text) tokens.push_back({record.x, record.y, record.width, record.height, record.orientation,
                                font ? std::string(font, static_cast<size_t>(FLVBSTRLength(font))) : std::string(),
                                std::string(text, static_cast<size_t>(FLVBSTRLength(text)))});
    FLFreeVBSTR(text);
    FLFreeVBSTR(font);
    if (code == FL_ERR_NO_SUCH_PAGE || page > last) break;
  }
  if (!tokens.empty()) flushPage();
  FLFreeToken(&record);
  IDocClose(input);
  if (std::fflush(stdout) != 0) return 1;
  return code == FL_OK || code == FL_ERR_NO_SUCH_PAGE ? 0 : 1;
}
