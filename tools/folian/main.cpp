// folian: the command-line face of the PDF library.
//
//   folian sample OUT [PAGES]   write a sample document of PAGES pages (default 3)
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pdf/core/Status.h"
#include "pdf/doc/PDOutDoc.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: folian sample OUT [PAGES]\n"
               "  sample   write a sample document with PAGES pages (default 3)\n");
  return 2;
}

int Sample(const char* out, int pages) {
  folian::PDOutDoc doc;
  if (!doc.OpenFile(out)) {
    std::fprintf(stderr, "folian: cannot create %s: %s\n", out, folian::StatusText(doc.LastError()));
    return 1;
  }
  doc.SetInfo("folian sample", "pages drawn with line art", nullptr, nullptr);
  for (int page = 1; page <= pages; ++page) {
    // A frame, a diagonal and one bar per page number, so pages can be told apart.
    std::string ops = "2 w 36 36 523 770 re S 36 36 m 559 806 l S\n";
    for (int bar = 0; bar < page && bar < 40; ++bar)
      ops += std::to_string(60 + bar * 12) + " 700 8 60 re f\n";
    doc.Content().Append(ops.c_str());
    doc.NewPage();
  }
  if (!doc.Close()) {
    std::fprintf(stderr, "folian: writing %s failed: %s\n", out, folian::StatusText(doc.LastError()));
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
  if (command == "sample" && (argc == 3 || argc == 4)) {
    int pages = argc == 4 ? std::atoi(argv[3]) : 3;
    if (pages < 1 || pages > 100000) return Usage();
    return Sample(argv[2], pages);
  }
  return Usage();
}
