#pragma once
// The run state the main window shares with every part of the retrieval
// program: stop flags, the save folder, the number being processed and its
// counters. Owned by RetrievalForm and touched only on the window thread, so
// it needs no locking; waits read the flags between pumped events.

#include <cstdint>
#include <string>

namespace orvane {

struct RunState {
  bool TempStop = false;        // Skip: abandon the current number
  bool AllStop = false;         // stop all: abandon the run
  std::string SaveFolder;       // root of every folder the program creates
  std::string CurPatNum;        // the number being processed
  std::int16_t SeqNo = 0;       // 1-based ordinal of the current number
  std::int16_t TotPages = 0;    // pages of the current document
  bool KiprisLoggedIn = false;  // the KIPRIS login succeeded in this program run
  bool Aborted = false;         // the current document is incomplete
  bool LastBadPage = false;     // bad-page re-fetch reached its last listed page
  bool Failed = false;          // the current number could not be fetched at all
  std::int32_t PageCount = 0;   // pages of the range being fetched

  bool stopRequested() const { return TempStop || AllStop; }
};

}  // namespace orvane
