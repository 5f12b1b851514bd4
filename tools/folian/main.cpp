// folian: the command-line face of the PDF library, built on its exported functions.
//
//   folian merge -o OUT IN[:FIRST-LAST]...   join page ranges of files into OUT
//                [--bookmarks]               one bookmark per input, its outline beneath
//                [--no-dedupe]               write identical objects of the inputs each time
//                [-v]                        say how many identical objects were written once
//                [--header TEXT]             a running header line on every page
//                [--page-numbers FORMAT]     "%p" is the page number, e.g. "Page %p"
//                [--logo FILE[:PAGE]]        a page of FILE beneath every page
//   folian info FILE                         version, pages, boxes, rotation, info entries
//   folian sample OUT [PAGES]                write a sample document
//   folian forms FILE                        list the form fields
//   folian fill -o OUT IN NAME=VALUE...      fill form fields into OUT
//   folian text FILE [--pages A-B] [--tsv]   the text of a file as UTF-8
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BookmarkMerge.h"
#include "Help.h"
#include "FormCommands.h"
#include "TextCommand.h"
#include "pdf/api/folian32.h"

namespace {

const char* Describe(int32_t code) {
  switch (code) {
    case FL_ERR_NOT_PDF: return "not a PDF file";
    case FL_ERR_BAD_TRAILER: return "damaged trailer or cross-reference data";
    case FL_ERR_BAD_XREF: return "startxref not found";
    case FL_ERR_PARAM_VALUE: return "page range or parameter out of range";
    case FL_ERR_READING_OBJECT: return "an object cannot be read";
    case FL_ERR_UNEXPECTED: return "unexpected structure";
    case FL_ERR_NO_SUCH_PAGE: return "no such page";
    case FL_ERR_ENCRYPTED: return "encrypted file: a password is needed to open it";
    case FL_ERR_FAILED: return "operation failed";
    default: return code > 0 && code < 1000 ? std::strerror(code) : "error";
  }
}

int Usage() {
  folian::cli::PrintOverview(stderr);
  return 2;
}

struct Source {
  std::string path;
  int32_t first = 1;
  int32_t last = 0;  // 0: up to the last page
};

// "file.pdf", "file.pdf:3", "file.pdf:2-5" or "file.pdf:2-" (a path may itself hold colons).
bool ParseSource(const std::string& arg, Source& source) {
  source = Source{arg};
  size_t colon = arg.rfind(':');
  if (colon == std::string::npos || colon + 1 == arg.size()) return true;
  std::string range = arg.substr(colon + 1);
  if (range.find_first_not_of("0123456789-") != std::string::npos) return true;
  source.path = arg.substr(0, colon);
  size_t dash = range.find('-');
  source.first = std::atoi(range.substr(0, dash).c_str());
  if (dash == std::string::npos)
    source.last = source.first;
  else if (dash + 1 < range.size())
    source.last = std::atoi(range.substr(dash + 1).c_str());
  return source.first >= 1 && (source.last == 0 || source.last >= source.first);
}

// Where a merge writes: a temporary file beside the target, renamed over it only
// when the document was closed successfully, so that a failed merge leaves
// whatever the target was untouched. A target that exists and is no regular file
// (a device, a pipe) is written directly and never removed.
struct OutputFile {
  std::string target;  // what -o named, with links resolved
  std::string writing; // the path the document is written to
  bool direct = false;

  bool Prepare(const std::string& named) {
    target = named;
    struct stat info{};
    if (stat(named.c_str(), &info) == 0) {
      if (!S_ISREG(info.st_mode)) {
        writing = named;
        direct = true;
        return true;
      }
      if (char* real = realpath(named.c_str(), nullptr)) {
        target = real;
        std::free(real);
      }
    }
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = dir + (slash == std::string::npos ? "/." : ".") + base + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return false;
    // The finished file gets the permissions a newly created file would get.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    writing = name.data();
    return true;
  }
  bool Commit() { return direct || std::rename(writing.c_str(), target.c_str()) == 0; }
  void Discard() {
    if (!direct) unlink(writing.c_str());
  }
};

// One line on the terminal: a bar of 30 cells and the count of files done.
void ShowProgress(size_t done, size_t total) {
  constexpr size_t kCells = 30;
  size_t filled = total ? done * kCells / total : kCells;
  std::string bar(filled, '#');
  bar.append(kCells - filled, '.');
  std::fprintf(stderr, "\r\033[K[%s] %zu/%zu files", bar.c_str(), done, total);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// What a merge lays onto every page it copies.
struct Stamps {
  const char* header = nullptr;
  const char* pageNumbers = nullptr;
  std::string logo;
  int32_t logoPage = 1;
};

// "logo.pdf" or "logo.pdf:2" (a path may itself hold colons).
bool ParseLogo(const std::string& arg, Stamps& stamps) {
  stamps.logo = arg;
  stamps.logoPage = 1;
  size_t colon = arg.rfind(':');
  if (colon == std::string::npos || colon + 1 == arg.size()) return !arg.empty();
  std::string page = arg.substr(colon + 1);
  if (page.find_first_not_of("0123456789") != std::string::npos) return true;
  stamps.logo = arg.substr(0, colon);
  long number = std::strtol(page.c_str(), nullptr, 10);
  stamps.logoPage = static_cast<int32_t>(number);
  return !stamps.logo.empty() && number >= 1 && number <= 32767;
}

// The visible box of the first page of the first input that has one, or an A4 page.
void FirstPageBox(const std::vector<Source>& sources, float box[4]) {
  box[0] = 0, box[1] = 0, box[2] = 595, box[3] = 842;
  for (const Source& source : sources) {
    int32_t error = 0;
    FLHANDLE input = IDocOpen(source.path.c_str(), &error);
    if (!input) continue;
    float found[4] = {};
    bool ok = IDocAcquirePage(input, source.first) == 0 &&
              IDocPageBox(input, &found[0], &found[1], &found[2], &found[3]) == 0 && found[2] > found[0] &&
              found[3] > found[1];
    IDocClose(input);
    if (ok) {
      std::copy(found, found + 4, box);
      return;
    }
  }
}

// Sets up the header, page numbers and background logo; a code, and what failed.
int32_t ApplyStamps(FLHANDLE doc, const Stamps& stamps, const std::vector<Source>& sources, std::string& what) {
  if (!stamps.logo.empty()) {
    what = stamps.logo;
    int32_t code = PDocLogoPage(doc, stamps.logo.c_str(), static_cast<int16_t>(stamps.logoPage), 1);
    if (code != 0) return code;
  }
  if (!stamps.header && !stamps.pageNumbers) return 0;
  float box[4];
  FirstPageBox(sources, box);
  what = "the header";
  int32_t code = PDocHeaderFont(doc, "Helvetica", 10);
  if (code == 0 && stamps.header) code = PDocHeaderText(doc, box[0] + 36, box[3] - 24, stamps.header);
  if (code == 0 && stamps.pageNumbers) {
    what = "the page numbers";
    code = PDocPutPageNumbers(doc, box[0] + 36, box[1] + 20, stamps.pageNumbers, 1, 0);
  }
  return code;
}

int Merge(int argc, char** argv) {
  std::string out;
  std::vector<Source> sources;
  bool bookmarks = false;
  bool dedupe = true;
  bool verbose = false;
  Stamps stamps;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--bookmarks") {
      bookmarks = true;
    } else if (arg == "--no-dedupe") {
      dedupe = false;
    } else if (arg == "-v") {
      verbose = true;
    } else if (arg == "--header" && i + 1 < argc) {
      stamps.header = argv[++i];
    } else if (arg == "--page-numbers" && i + 1 < argc) {
      stamps.pageNumbers = argv[++i];
    } else if (arg == "--logo" && i + 1 < argc) {
      if (!ParseLogo(argv[++i], stamps)) {
        std::fprintf(stderr, "folian: bad logo page in %s\n", argv[i]);
        return 2;
      }
    } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      std::fprintf(stderr, "folian: unknown or incomplete option %s\n", arg.c_str());
      return Usage();
    } else if (arg == "-o" && i + 1 < argc) {
      out = argv[++i];
    } else {
      Source source;
      if (!ParseSource(arg, source)) {
        std::fprintf(stderr, "folian: bad page range in %s\n", arg.c_str());
        return 2;
      }
      sources.push_back(source);
    }
  }
  if (out.empty() || sources.empty()) return Usage();

  // Writing over an input would destroy it while it is being read.
  struct stat target{};
  if (stat(out.c_str(), &target) == 0 && S_ISREG(target.st_mode)) {
    for (const Source& source : sources) {
      struct stat input{};
      if (stat(source.path.c_str(), &input) == 0 && SameFile(input, target)) {
        std::fprintf(stderr, "folian: %s is also an input (%s); nothing written\n", out.c_str(), source.path.c_str());
        return 2;
      }
    }
  }

  OutputFile output;
  if (!output.Prepare(out)) {
    std::fprintf(stderr, "folian: cannot create %s: %s\n", out.c_str(), std::strerror(errno));
    return 1;
  }
  int32_t error = 0;
  FLHANDLE doc = PDocNew(output.writing.c_str(), 0, 0, &error);
  if (!doc) {
    std::fprintf(stderr, "folian: cannot create %s: %s\n", out.c_str(), Describe(error));
    output.Discard();
    return 1;
  }
  (void)PDocDedupe(doc, dedupe ? 1 : 0);
  std::string what;
  if (int32_t code = ApplyStamps(doc, stamps, sources, what); code != 0) {
    // Pages without the requested stamps are not what was asked for.
    std::fprintf(stderr, "folian: %s: %s (%d); nothing written\n", what.c_str(), Describe(code), code);
    PDocRelease(doc);
    output.Discard();
    return 1;
  }
  bool progress = isatty(STDERR_FILENO) && sources.size() >= 20;
  int failures = 0;
  int32_t bookmarksMade = 0;
  for (size_t i = 0; i < sources.size(); ++i) {
    const Source& source = sources[i];
    int32_t code = bookmarks ? MergeWithBookmark(doc, source.path, source.first, source.last, bookmarksMade)
                             : PDocMerge(doc, source.path.c_str(), source.first, source.last);
    if (code != 0) {
      ++failures;
      std::fprintf(stderr, "%sfolian: %s: %s (%d)\n", progress ? "\r\033[K" : "", source.path.c_str(),
                   Describe(code), code);
    }
    if (progress && (i % 10 == 9 || i + 1 == sources.size())) ShowProgress(i + 1, sources.size());
  }
  if (progress) std::fprintf(stderr, "\n");
  if (bookmarks) ReleaseLastInput(doc);
  if (verbose) {
    int64_t bytes = 0;
    int32_t shared = PDocDedupeSaved(doc, &bytes);
    std::fprintf(stderr, "folian: %d identical objects written once (%lld bytes saved)\n", shared,
                 static_cast<long long>(bytes));
  }
  int pages = PDocNumPages(doc);
  int32_t closed = PDocRelease(doc);
  if (pages == 0) {
    // Not one input could be used: an empty document would only hide that.
    output.Discard();
    std::fprintf(stderr, "folian: no input could be used; %s not written\n", out.c_str());
    return 1;
  }
  if (closed != 0 || !output.Commit()) {
    std::fprintf(stderr, "folian: writing %s failed: %s\n", out.c_str(),
                 closed != 0 ? Describe(closed) : std::strerror(errno));
    output.Discard();
    return 1;
  }
  std::printf("wrote %s (%d pages)\n", out.c_str(), pages);
  return failures == 0 ? 0 : 1;
}

std::string TakeString(FLVBSTR text) {
  std::string result = text ? std::string(text, static_cast<size_t>(FLVBSTRLength(text))) : std::string();
  FLFreeVBSTR(text);
  return result;
}

int Info(const char* path) {
  int32_t error = 0;
  FLHANDLE input = IDocOpen(path, &error);
  if (!input) {
    std::fprintf(stderr, "folian: %s: %s (%d)\n", path, Describe(error), error);
    return 1;
  }
  // A file that needs a password opens, but none of its pages can be read.
  if (IDocAcquirePage(input, 1) == FL_ERR_ENCRYPTED) {
    std::fprintf(stderr, "folian: %s: %s (%d)\n", path, Describe(FL_ERR_ENCRYPTED), FL_ERR_ENCRYPTED);
    IDocClose(input);
    return 1;
  }
  std::printf("File:     %s\nVersion:  %s\n", path, TakeString(IDocPDFVersion(input)).c_str());
  for (const char* key : {"Title", "Author", "Subject", "Keywords", "Creator", "Producer", "CreationDate", "ModDate"}) {
    FLVBSTR value = nullptr;
    if (IDocGetInfoAttr(input, key, &value) == 0 && value)
      std::printf("%-9s %s\n", (std::string(key) + ":").c_str(), TakeString(value).c_str());
  }
  // The root's /Count is only a claim: the pages are what the tree really holds.
  int32_t claimed = IDocNumPages(input);
  std::vector<std::string> lines;
  int status = 0;
  for (int32_t page = 1;; ++page) {
    int32_t code = IDocAcquirePage(input, page);
    // Past the last page the lookup fails: that ends the list. Any other failure,
    // or a tree that yields no page at all for a structural reason, is reported.
    bool end = code == FL_ERR_NO_SUCH_PAGE || (code == FL_ERR_UNEXPECTED && page > 1);
    if (code != 0) {
      if (!end) {
        std::fprintf(stderr, "folian: page %d: %s (%d)\n", page, Describe(code), code);
        status = 1;
      }
      break;
    }
    float m[4], v[4];
    IDocMediaBox(input, &m[0], &m[1], &m[2], &m[3]);
    IDocPageBox(input, &v[0], &v[1], &v[2], &v[3]);
    char line[200];
    std::snprintf(line, sizeof line, "Page %d: media [%g %g %g %g] visible [%g %g %g %g] rotate %d\n", page, m[0], m[1],
                  m[2], m[3], v[0], v[1], v[2], v[3], IDocPageRotate(input));
    lines.push_back(line);
  }
  auto pages = static_cast<int32_t>(lines.size());
  if (pages != claimed)
    std::fprintf(stderr, "folian: %s: the pages tree claims %d pages but holds %d\n", path, claimed, pages);
  std::printf("Pages:    %d\n", pages);
  for (const std::string& line : lines) std::fputs(line.c_str(), stdout);
  IDocClose(input);
  return status;
}

// Right-aligned text: the width the library measures places the text so that it
// ends at `right`.
void TextRightAligned(FLHANDLE content, float right, float y, const char* text) {
  PConSetTm(content, 1, 0, 0, 1, right - PConGetTextWidth(content, text), y);
  PConPutText(content, text);
}

// One sample page: text in every standard font, line art, a ruled table with
// measured text, colours and a curve.
int32_t DrawSamplePage(FLHANDLE doc, int page, int pages) {
  FLHANDLE c = PDocGetContentHandle(doc);
  if (!c) return PDocLastError(doc);
  int32_t code = 0;
  auto check = [&code](int32_t result) {
    if (code == 0) code = result;
  };

  // Title and page line.
  check(PConSetFont(c, "Helvetica-Bold", 22));
  check(PConSetTm(c, 1, 0, 0, 1, 56, 780));
  check(PConPutText(c, "folian32 sample page"));
  check(PConSetFont(c, "Times-Italic", 11));
  std::string line = "Page " + std::to_string(page) + " of " + std::to_string(pages) +
                     ": text, line art, a table and colours drawn through the exported functions.";
  check(PConSetTm(c, 1, 0, 0, 1, 56, 760));
  check(PConPutText(c, line.c_str()));

  // A sentence in each standard text font, with the width the library measures.
  static const char* const kFonts[] = {"Helvetica",   "Helvetica-Bold",   "Helvetica-Oblique",
                                       "Helvetica-BoldOblique", "Times-Roman", "Times-Bold",
                                       "Times-Italic", "Times-BoldItalic", "Courier",
                                       "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"};
  float y = 730;
  for (const char* font : kFonts) {
    check(PConSetFont(c, font, 10));
    check(PConSetTm(c, 1, 0, 0, 1, 56, y));
    check(PConPutText(c, "The quick brown fox jumps over the lazy dog"));
    char label[80];
    std::snprintf(label, sizeof label, "%s, %.1f pt wide",
                  font, PConGetTextWidth(c, "The quick brown fox jumps over the lazy dog"));
    check(PConSetFont(c, "Helvetica", 7));
    check(PConSetTm(c, 1, 0, 0, 1, 340, y));
    check(PConPutText(c, label));
    y -= 15;
  }
  check(PConSetFont(c, "Symbol", 12));
  check(PConSetTm(c, 1, 0, 0, 1, 56, y));
  check(PConPutText(c, "abgdepqrs ABGDW"));
  check(PConSetFont(c, "ZapfDingbats", 12));
  check(PConSetTm(c, 1, 0, 0, 1, 240, y));
  check(PConPutText(c, "3456789 nopq"));

  // Spacing and scaling.
  check(PConSetFont(c, "Helvetica", 10));
  check(PConSetCharSpacing(c, 2));
  check(PConSetTm(c, 1, 0, 0, 1, 56, y - 20));
  check(PConPutText(c, "character spacing 2"));
  check(PConSetCharSpacing(c, 0));
  check(PConSetTz(c, 60));
  check(PConSetTm(c, 1, 0, 0, 1, 240, y - 20));
  check(PConPutText(c, "horizontal scaling 60 percent"));
  check(PConSetTz(c, 100));

  // A ruled table: grey header row, lines drawn as paths, numbers right-aligned.
  const float left = 56, top = 500, rowHeight = 16;
  const float cols[] = {56, 216, 316, 416, 539};
  static const char* const kRows[][4] = {{"Item", "Quantity", "Price", "Total"},
                                         {"Paper, A4", "12", "4.50", "54.00"},
                                         {"Toner", "2", "61.20", "122.40"},
                                         {"Binding", "5", "1.75", "8.75"},
                                         {"Sum", "", "", "185.15"}};
  const int rows = 5;
  check(PConSetGray(c, -1, 0.85f));
  check(PConRectangle(c, left, top - rowHeight, cols[4] - left, rowHeight, 0));
  check(PConSetGray(c, 0, 0));
  check(PConSetLineWidth(c, 0.5f));
  for (int r = 0; r <= rows; ++r) {
    check(PConMoveTo(c, left, top - r * rowHeight));
    check(PConDrawTo(c, cols[4], top - r * rowHeight));
  }
  for (float x : cols) {
    check(PConMoveTo(c, x, top));
    check(PConDrawTo(c, x, top - rows * rowHeight));
  }
  for (int r = 0; r < rows; ++r) {
    float base = top - (r + 1) * rowHeight + 4.5f;
    check(PConSetFont(c, r == 0 || r == rows - 1 ? "Helvetica-Bold" : "Helvetica", 10));
    check(PConSetTm(c, 1, 0, 0, 1, cols[0] + 4, base));
    check(PConPutText(c, kRows[r][0]));
    for (int col = 1; col < 4; ++col) TextRightAligned(c, cols[col + 1] - 4, base, kRows[r][col]);
  }

  // Colours: filled and bordered rectangles in RGB, grey bars.
  const float swatch = 380;
  check(PConFillColor(c, 0.85f, 0.1f, 0.1f));
  check(PConRectangle(c, 56, swatch, 70, 40, 0));
  check(PConFillColor(c, 0.1f, 0.6f, 0.2f));
  check(PConLineColor(c, 0, 0, 0.5f));
  check(PConSetLineWidth(c, 2));
  check(PConRectangle(c, 146, swatch, 70, 40, 1));
  check(PConLineColor(c, 0.1f, 0.2f, 0.8f));
  check(PConRectangle(c, 236, swatch, 70, 40, 2));
  for (int i = 0; i < 5; ++i) check(PDocGrayBar(doc, 326 + i * 42.f, swatch, 36, 40, 0.2f * i));

  // A curve, and a closed area filled and stroked.
  const float curve[6] = {150, 340, 250, 260, 350, 320};
  check(PConLineColor(c, 0, 0, 0));
  check(PConSetLineWidth(c, 1.5f));
  check(PConMoveTo(c, 56, 300));
  check(PConCurveTo(c, curve, 6, 'c'));
  check(PConFillColor(c, 1, 0.8f, 0.2f));
  check(PConMoveTo(c, 400, 260));
  check(PConDrawTo(c, 480, 260));
  check(PConDrawTo(c, 440, 330));
  check(PConDrawArea(c, 0));

  // One bar per page number, so pages can be told apart at a glance.
  check(PConFillColor(c, 0, 0, 0));
  for (int bar = 0; bar < page && bar < 40; ++bar) check(PConRectangle(c, 56 + bar * 12.f, 150, 8, 60, 0));
  return code;
}

int Sample(const char* out, int pages) {
  int32_t error = 0;
  FLHANDLE doc = PDocNew(out, 0, 0, &error);
  if (!doc) {
    std::fprintf(stderr, "folian: cannot create %s: %s\n", out, Describe(error));
    return 1;
  }
  PDocSetInfo(doc, "folian sample", "text, line art, tables and colours", nullptr, nullptr);
  for (int page = 1; page <= pages; ++page) {
    int32_t drawn = DrawSamplePage(doc, page, pages);
    if (drawn != 0) {
      std::fprintf(stderr, "folian: drawing page %d failed: %s\n", page, Describe(drawn));
      PDocRelease(doc);
      std::remove(out);
      return 1;
    }
    PDocNewPage(doc);
  }
  int32_t closed = PDocRelease(doc);
  if (closed != 0) {
    std::fprintf(stderr, "folian: writing %s failed: %s\n", out, Describe(closed));
    std::remove(out);
    return 1;
  }
  std::printf("wrote %s (%d pages)\n", out, pages);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  if (command == "--version" || command == "version") {
    folian::cli::PrintVersion(stdout);
    return 0;
  }
  if (command == "help" || command == "--help" || command == "-h") {
    if (argc == 2) {
      folian::cli::PrintOverview(stdout);
      return 0;
    }
    if (folian::cli::PrintCommandHelp(argv[2], stdout)) return 0;
    std::fprintf(stderr, "folian: no command '%s'\n", argv[2]);
    return Usage();
  }
  if (argc == 3 && (std::strcmp(argv[2], "--help") == 0 || std::strcmp(argv[2], "-h") == 0) &&
      folian::cli::PrintCommandHelp(command, stdout))
    return 0;
  if (command == "merge") return Merge(argc, argv);
  if (command == "info" && argc == 3) return Info(argv[2]);
  if (command == "text") return TextCommand(argc, argv);
  if (command == "sample" && (argc == 3 || argc == 4)) {
    int pages = argc == 4 ? std::atoi(argv[3]) : 3;
    if (pages < 1 || pages > 100000) return Usage();
    return Sample(argv[2], pages);
  }
  if (command == "forms" && argc == 3) return ListForms(argv[2]);
  if (command == "fill") return FillForms(argc, argv);
  return Usage();
}
