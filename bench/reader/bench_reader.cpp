// Opening a 10,000-page file and finding page 5,000: time, and how many objects
// the reader loaded to do it (a handful, because the pages tree is descended by
// its /Count entries). Two shapes of tree: the balanced one our writer makes (six
// kids a node) and a flat one (every page a kid of the root), as other writers make.
//
// Two more files come from bench/run-reader.sh: the flat file rewritten by qpdf
// with object streams and a cross-reference stream, and a damaged copy of it grown
// to about 200 MB by a large stream, with its cross-reference data cut off, which
// the reader must rebuild by scanning every byte.
//
// The files are written into the directory given by FOLIAN_BENCH_DIR (default: the
// current directory) when they are missing; bench/run-reader.sh prints these
// figures beside qpdf on the same files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pdf/reader/PDFInput.h"
#include "pdf/doc/PDOutDoc.h"

namespace {

constexpr int kPages = 10000;
constexpr int kTarget = 5000;  // 1-based page number looked up

std::string BenchDir() {
  const char* dir = std::getenv("FOLIAN_BENCH_DIR");
  return dir && *dir ? dir : ".";
}

std::string BalancedFile() {
  std::string path = BenchDir() + "/pages-10000-balanced.pdf";
  if (std::filesystem::exists(path)) return path;
  folian::PDOutDoc doc;
  bool ok = doc.OpenFile(path.c_str());
  for (int page = 1; ok && page <= kPages; ++page) {
    doc.Content().Append(("0 0 m " + std::to_string(page % 500) + " 700 l S\n").c_str());
    ok = doc.NewPage();
  }
  if (!doc.Close() || !ok) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
  return path;
}

std::string FlatFile() {
  std::string path = BenchDir() + "/pages-10000-flat.pdf";
  if (std::filesystem::exists(path)) return path;
  std::string out = "%PDF-1.4\n";
  std::vector<size_t> offsets(2 * kPages + 3, 0);
  auto object = [&](int number, const std::string& body) {
    offsets[static_cast<size_t>(number)] = out.size();
    out += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
  };
  object(1, "<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (int i = 0; i < kPages; ++i) kids += std::to_string(3 + 2 * i) + " 0 R ";
  object(2, "<< /Type /Pages /Count " + std::to_string(kPages) + " /MediaBox [0 0 612 792] /Kids [" + kids + "] >>");
  for (int i = 0; i < kPages; ++i) {
    std::string content = "0 0 m " + std::to_string(i % 500) + " 700 l S\n";
    object(3 + 2 * i, "<< /Type /Page /Parent 2 0 R /Contents " + std::to_string(4 + 2 * i) + " 0 R >>");
    object(4 + 2 * i, "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream");
  }
  size_t xref = out.size();
  int size = 2 * kPages + 3;
  out += "xref\n0 " + std::to_string(size) + "\n0000000000 65535 f\r\n";
  char line[32];
  for (int n = 1; n < size; ++n) {
    std::snprintf(line, sizeof line, "%010zu 00000 n\r\n", offsets[static_cast<size_t>(n)]);
    out += line;
  }
  out += "trailer\n<< /Size " + std::to_string(size) + " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  std::ofstream(path, std::ios::binary) << out;
  return path;
}

void OpenAndFind(benchmark::State& state, const std::string& path, bool loadWhole) {
  int64_t loaded = 0;
  for (auto _ : state) {
    folian::PDFInput input;
    if (!input.Open(path.c_str(), loadWhole)) {
      state.SkipWithError("cannot open the benchmark file");
      return;
    }
    folian::PDObject* page = input.FindPage(kTarget - 1);
    if (!page || input.PageCount() != kPages) {
      state.SkipWithError("page not found");
      return;
    }
    benchmark::DoNotOptimize(page);
    loaded = input.ObjectsLoaded();
  }
  state.counters["objects_loaded"] = static_cast<double>(loaded);
}

void ReadWholeTree(benchmark::State& state, const std::string& path) {
  int64_t loaded = 0;
  for (auto _ : state) {
    folian::PDFInput input;
    if (!input.Open(path.c_str()) || !input.ReadPages()) state.SkipWithError("cannot read the file");
    loaded = input.ObjectsLoaded();
    if (input.PageNumbers().size() != kPages) state.SkipWithError("wrong page count");
  }
  state.counters["objects_loaded"] = static_cast<double>(loaded);
}

// A file the script makes; the benchmark reports an error when it is missing.
std::string ScriptFile(const char* name) { return BenchDir() + "/" + name; }

void BM_OpenFindPage5000_Balanced(benchmark::State& state) { OpenAndFind(state, BalancedFile(), false); }
void BM_OpenFindPage5000_ObjectStreams(benchmark::State& state) {
  OpenAndFind(state, ScriptFile("pages-10000-objstm.pdf"), false);
}
void BM_OpenRepairFindPage5000_200MB(benchmark::State& state) {
  OpenAndFind(state, ScriptFile("pages-10000-damaged-large.pdf"), false);
}
void BM_OpenFindPage5000_Flat(benchmark::State& state) { OpenAndFind(state, FlatFile(), false); }
void BM_OpenWholeFindPage5000_Balanced(benchmark::State& state) { OpenAndFind(state, BalancedFile(), true); }
void BM_ReadWholePagesTree_Balanced(benchmark::State& state) { ReadWholeTree(state, BalancedFile()); }
void BM_ReadWholePagesTree_Flat(benchmark::State& state) { ReadWholeTree(state, FlatFile()); }

BENCHMARK(BM_OpenFindPage5000_Balanced)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenFindPage5000_Flat)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenFindPage5000_ObjectStreams)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenRepairFindPage5000_200MB)->Unit(benchmark::kMicrosecond)->Iterations(3);
BENCHMARK(BM_OpenWholeFindPage5000_Balanced)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadWholePagesTree_Balanced)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadWholePagesTree_Flat)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
