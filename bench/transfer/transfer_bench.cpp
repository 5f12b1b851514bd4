// Page download through the five transfer slots beside the same pages fetched
// one at a time, from an office simulator that adds a fixed latency to every
// answer. Prints both times and the ratio of the slots' time to the ideal
// ceil(pages / 5) x latency.
//
//   transfer_bench --port PORT [--pages 100] [--latency-ms 50] [--runs 3]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/transfer/TransferSlots.h"

namespace {

using namespace orvane;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char* kNumber = "EP1100000A1";  // 100 pages in the simulator's catalog

class BenchHost : public SlotHost {
 public:
  std::string folder;
  TransferSlots* slots = nullptr;
  int good = 0, bad = 0;
  std::string CurPatNum() const override { return kNumber; }
  int SeqNo() const override { return 1; }
  int TotPages() const override { return 100; }
  std::string SaveFolder() const override { return folder; }
  bool FolderPerNumber() const override { return true; }
  bool BadPageMode() const override { return false; }
  bool TempStop() const override { return false; }
  bool AllStop() const override { return false; }
  void SetAborted() override { ++bad; }
  void SetPageCount(int32_t) override {}
  int AddStatusLine(const std::string&) override { return 0; }
  void ReplaceStatusLine(int, const std::string&) override {}
  void SetStatusLineSelected(int, bool) override {}
  void SetLabel6(const std::string&) override {}
  void SetTextBox(const std::string&) override {}
  void SetProgressMax(int) override {}
  void StepProgress() override { ++good; }
  void DoEvents() override { slots->Engine().Poll(0); }
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

Hosts BenchHosts(int port) {
  Hosts hosts;
  hosts.Set(Hosts::kConnectTo, "127.0.0.1:" + std::to_string(port));
  return hosts;
}

// Pages 1..pages through Inet1..Inet5; returns milliseconds, or -1 on failure.
double FiveSlots(int port, int pages, const fs::path& dir) {
  BenchHost host;
  host.folder = dir.string();
  TransferSlots slots(host, BenchHosts(port));
  host.slots = &slots;
  slots.State().EspID = std::string("EP+++") + (kNumber + 2) + "+I+";
  slots.State().downfolder = (dir / kNumber).string();
  auto start = Clock::now();
  slots.BeginRange(1, pages);
  slots.StartFirstPages();
  while (!slots.RangeFinished()) {
    if (Clock::now() - start > std::chrono::seconds(120)) return -1;
    slots.Engine().Poll(50);
  }
  double ms = Ms(Clock::now() - start);
  if (host.good != pages || host.bad != 0) {
    std::fprintf(stderr, "five slots: %d pages arrived, %d failed\n", host.good, host.bad);
    return -1;
  }
  return ms;
}

// The same pages, one request at a time on one transfer.
double OneAtATime(int port, int pages, const fs::path& dir) {
  TransferEngine engine;
  engine.SetConnectTo("127.0.0.1:" + std::to_string(port));
  Transfer inet(engine, "Inet1");
  Hosts hosts;
  auto start = Clock::now();
  for (int p = 1; p <= pages; ++p) {
    std::string body;
    std::string url = hosts.Url(Hosts::kEspacenet, std::string("/dips/bns.pdf?PN=") + kNumber + "&ID=EP+++" +
                                                       (kNumber + 2) + "+I+&PG=" + std::to_string(p) + "+");
    if (!inet.FetchText(url, body)) {
      std::fprintf(stderr, "one at a time: page %d failed: %s\n", p, inet.ErrorText().c_str());
      return -1;
    }
    std::ofstream(dir / (std::string(kNumber) + std::to_string(p) + ".pdf"), std::ios::binary) << body;
  }
  return Ms(Clock::now() - start);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int port = 0, pages = 100, latency = 50, runs = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    int v = std::atoi(argv[i + 1]);
    if (a == "--port") port = v;
    else if (a == "--pages") pages = v;
    else if (a == "--latency-ms") latency = v;
    else if (a == "--runs") runs = v;
  }
  if (port <= 0 || pages < 1 || pages > 100 || runs < 1) {
    std::fprintf(stderr, "usage: transfer_bench --port PORT [--pages 1..100] [--latency-ms 50] [--runs 3]\n");
    return 2;
  }
  fs::path dir = fs::temp_directory_path() / ("orvane-transfer-bench-" + std::to_string(getpid()));
  std::vector<double> slotTimes, serialTimes;
  for (int r = 0; r < runs; ++r) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    double s = FiveSlots(port, pages, dir);
    fs::remove_all(dir);
    fs::create_directories(dir);
    double o = OneAtATime(port, pages, dir);
    if (s < 0 || o < 0) {
      fs::remove_all(dir);
      return 1;
    }
    slotTimes.push_back(s);
    serialTimes.push_back(o);
  }
  fs::remove_all(dir);
  double slots = Median(slotTimes), serial = Median(serialTimes);
  double ideal = ((pages + 4) / 5) * static_cast<double>(latency);
  double ratio = slots / ideal;
  std::printf("pages: %d, latency per page: %d ms, median of %d runs\n", pages, latency, runs);
  std::printf("%-28s %10.1f ms\n", "five slots (Inet1..Inet5)", slots);
  std::printf("%-28s %10.1f ms\n", "one at a time", serial);
  std::printf("%-28s %10.1f ms\n", "ideal ceil(pages/5) x lat.", ideal);
  std::printf("five slots / ideal: %.3f (goal: within 15%%, <= 1.150) %s\n", ratio, ratio <= 1.15 ? "OK" : "MISSED");
  std::printf("one at a time / five slots: %.2fx\n", serial / slots);
  return 0;
}
