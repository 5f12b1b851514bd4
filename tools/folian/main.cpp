// folian: the command-line face of the PDF library, built on its exported functions.
//
//   folian merge -o OUT IN[:FIRST-LAST]...   join page ranges of files into OUT
//                [--bookmarks]               one bookmark per input, its outline beneath
//   folian info FILE                         version, pages, boxes, rotation, info entries
//   folian sample OUT [PAGES]                write a sample document
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BookmarkMerge.h"
#include "pdf/api/folian32.h"

namespace {

const char* Describe(int32_t code) {
  switch (code) {
    case FL_ERR_NOT_PDF: return "not a PDF file";
    case FL_ERR_BAD_TRAILER: return "damaged trailer or cross-reference table (or a cross-reference stream)";
    case FL_ERR_BAD_XREF: return "startxref not found";
    case FL_ERR_PARAM_VALUE: return "page range or parameter out of range";
    case FL_ERR_READING_OBJECT: return "an object cannot be read";
    case FL_ERR_UNEXPECTED: return "unexpected structure";
    case FL_ERR_NO_SUCH_PAGE: return "no such page";
    case FL_ERR_ENCRYPTED: return "encrypted file";
    case FL_ERR_FAILED: return "operation failed";
    default: return code > 0 && code < 1000 ? std::strerror(code) : "error";
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: folian merge [--bookmarks] -o OUT IN[:FIRST-LAST]...\n"
               "       folian info FILE\n"
               "       folian sample OUT [PAGES]\n");
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

int Merge(int argc, char** argv) {
  std::string out;
  std::vector<Source> sources;
  bool bookmarks = false;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--bookmarks") {
      bookmarks = true;
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

  int32_t error = 0;
  FLHANDLE doc = PDocNew(out.c_str(), 0, 0, &error);
  if (!doc) {
    std::fprintf(stderr, "folian: cannot create %s: %s\n", out.c_str(), Describe(error));
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
    if (progress && (i % 10 == 9 || i + 1 == sources.size()))
      std::fprintf(stderr, "\r\033[Kmerged %zu of %zu files", i + 1, sources.size());
  }
  if (progress) std::fprintf(stderr, "\n");
  if (bookmarks) ReleaseLastInput(doc);
  int pages = PDocNumPages(doc);
  int32_t closed = PDocRelease(doc);
  if (closed != 0) {
    std::fprintf(stderr, "folian: writing %s failed: %s\n", out.c_str(), Describe(closed));
    std::remove(out.c_str());
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
  std::printf("File:     %s\nVersion:  %s\n", path, TakeString(IDocPDFVersion(input)).c_str());
  for (const char* key : {"Title", "Author", "Subject", "Keywords", "Creator", "Producer", "CreationDate", "ModDate"}) {
    FLVBSTR value = nullptr;
    if (IDocGetInfoAttr(input, key, &value) == 0 && value)
      std::printf("%-9s %s\n", (std::string(key) + ":").c_str(), TakeString(value).c_str());
  }
  int32_t pages = IDocNumPages(input);
  std::printf("Pages:    %d\n", pages);
  int status = 0;
  for (int32_t page = 1; page <= pages; ++page) {
    int32_t code = IDocAcquirePage(input, page);
    if (code != 0) {
      std::fprintf(stderr, "folian: page %d: %s (%d)\n", page, Describe(code), code);
      status = 1;
      break;
    }
    float m[4], v[4];
    IDocMediaBox(input, &m[0], &m[1], &m[2], &m[3]);
    IDocPageBox(input, &v[0], &v[1], &v[2], &v[3]);
    std::printf("Page %d: media [%g %g %g %g] visible [%g %g %g %g] rotate %d\n", page, m[0], m[1], m[2], m[3], v[0],
                v[1], v[2], v[3], IDocPageRotate(input));
  }
  IDocClose(input);
  return status;
}

int Sample(const char* out, int pages) {
  int32_t error = 0;
  FLHANDLE doc = PDocNew(out, 0, 0, &error);
  if (!doc) {
    std::fprintf(stderr, "folian: cannot create %s: %s\n", out, Describe(error));
    return 1;
  }
  PDocSetInfo(doc, "folian sample", "pages drawn with line art", nullptr, nullptr);
  FLHANDLE content = PDocGetContentHandle(doc);
  for (int page = 1; page <= pages; ++page) {
    // A frame, a diagonal and one bar per page number, so pages can be told apart.
    std::string ops = "2 w 36 36 523 770 re S 36 36 m 559 806 l S\n";
    for (int bar = 0; bar < page && bar < 40; ++bar) ops += std::to_string(60 + bar * 12) + " 700 8 60 re f\n";
    PConDrawOp(content, ops.c_str());
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
  if (command == "merge") return Merge(argc, argv);
  if (command == "info" && argc == 3) return Info(argv[2]);
  if (command == "sample" && (argc == 3 || argc == 4)) {
    int pages = argc == 4 ? std::atoi(argv[3]) : 3;
    if (pages < 1 || pages > 100000) return Usage();
    return Sample(argv[2], pages);
  }
  return Usage();
}
