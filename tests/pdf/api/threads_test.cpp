// Distinct handles on different threads at once: each thread makes, reads and
// merges its own documents through the exported functions, including an input
// attached to an output while the input's own handle is still open. Run under
// ThreadSanitizer (the tsan preset) this finds state that documents share.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "pdf/MiniPdf.h"
#include "pdf/PdfScan.h"
#include "pdf/api/folian32.h"

using namespace folian::test;

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 8;

std::string SourceFile(int pages, const std::string& label) {
  std::vector<std::string> bodies = {"<< /Type /Catalog /Pages 2 0 R >>", "", "<< /Title (" + label + ") >>"};
  std::string kids;
  for (int i = 0; i < pages; ++i) {
    int page = 4 + 2 * i;
    kids += std::to_string(page) + " 0 R ";
    bodies.push_back("<< /Type /Page /Parent 2 0 R /Contents " + std::to_string(page + 1) + " 0 R >>");
    bodies.push_back(Stream("", "% " + label + " " + std::to_string(i + 1) + "\n0 0 m 10 10 l S"));
  }
  bodies[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) +
              " /MediaBox [0 0 612 792] >>";
  return BuildPdf(bodies, "/Info 3 0 R");
}

// One thread's work; counts what went wrong instead of asserting off the main thread.
int RunWorker(int worker, const std::string& source) {
  int faults = 0;
  for (int round = 0; round < kRounds; ++round) {
    int32_t error = 0;
    FLHANDLE input = IDocOpen(source.c_str(), &error);
    if (input == 0) return faults + 1;
    if (IDocNumPages(input) != 3) ++faults;
    FLVBSTR title = nullptr;
    if (IDocGetInfoAttr(input, "Title", &title) != 0 || !title) ++faults;
    FLFreeVBSTR(title);

    std::string out = OutputPath("threads-" + std::to_string(worker) + "-" + std::to_string(round) + ".pdf");
    FLHANDLE doc = PDocNew(out.c_str(), 0, 0, nullptr);
    if (doc == 0) return faults + 1;
    if (PDocAttach(doc, input) != 0) ++faults;
    // The input's own handle is still open and used between the copies.
    if (PDocInputCopyPages(doc, 1, 2) != 0) ++faults;
    if (IDocAcquirePage(input, 3) != 0) ++faults;
    if (IDocClose(input) != 0) ++faults;
    if (PDocInputCopyPages(doc, 3, 3) != 0) ++faults;
    if (PDocMerge(doc, source.c_str(), 1, 3) != 0) ++faults;
    if (PDocNumPages(doc) != 6) ++faults;
    if (PDocClose(doc) != 0) ++faults;
    if (PDocRelease(doc) != 0) ++faults;

    FLHANDLE check = IDocOpen(out.c_str(), &error);
    if (check == 0 || IDocNumPages(check) != 6) ++faults;
    if (check != 0 && IDocClose(check) != 0) ++faults;
  }
  return faults;
}

TEST(Threads, distinctHandlesMergeAndReadAtOnce) {
  std::vector<std::string> sources;
  for (int i = 0; i < kThreads; ++i) {
    sources.push_back(OutputPath("threads-source-" + std::to_string(i) + ".pdf"));
    WriteFile(sources.back(), SourceFile(3, "thread" + std::to_string(i)));
  }
  std::vector<int> faults(kThreads, 0);
  std::vector<std::thread> workers;
  for (int i = 0; i < kThreads; ++i)
    workers.emplace_back([i, &sources, &faults] { faults[static_cast<size_t>(i)] = RunWorker(i, sources[static_cast<size_t>(i)]); });
  for (auto& worker : workers) worker.join();
  for (int i = 0; i < kThreads; ++i) EXPECT_EQ(faults[static_cast<size_t>(i)], 0) << "thread " << i;
}

}  // namespace
