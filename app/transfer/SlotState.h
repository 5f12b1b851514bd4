#pragma once
// The shared slot variables: page and status line of each of the five slots,
// the page range being fetched, the page address, the page folders and the
// service keys the page addresses are built from. Slot k uses index k (1..5);
// index 0 is unused. The single transfer Inet6 uses slot 1's variables.
//
// Owned by TransferSlots; the service procedures read and set it directly.
#include <array>
#include <cstdint>
#include <string>

namespace orvane {

struct SlotState {
  std::array<int16_t, 6> SlotPage{};     // page in flight on slot k
  std::array<int, 6> SlotLine{};         // index in ListBox1 of slot k's progress line
  std::array<int16_t, 6> SlotRetries{};  // repeated requests spent on slot k's page
  std::array<bool, 6> SlotResponded{};   // a response-received notice came for slot k's request
  int16_t LastIssuedPage = 0;            // highest page handed to any slot so far
  int start_num = 0;                     // first page of the range
  int16_t end_num = 0;                   // last page of the range
  std::string PageURL;                   // address of the page request being sent
  std::string downfolder;                // SaveFolder/number (folder-per-number on)
  std::string imsifolder;                // SaveFolder/temp (folder-per-number off)

  // Service keys, found by the services' lookups.
  std::string EspID;
  std::string UsptoImgHost;
  std::string UsptoAppImgHost;
  std::string UsptoDocId;
  std::string UsptoIDKey;
  int16_t UsptoNumLen = 0;
  std::string KiprisApplNo;
};

}  // namespace orvane
