#pragma once
// The folders a number's pages go to, shared by the slot and page-by-page runners,
// and the start of every status line of a number.
#include <cstdint>
#include <string>

namespace orvane {

class RetrievalForm;
struct SlotState;

// Creates the folder and its parents; a folder that cannot be made shows later,
// when nothing can be written there.
void CreateFolder(const std::string& folder);

// Makes the save folder and the folder the number's pages go to (the number's own
// folder, the temporary folder, or in bad-page mode the folder of the pages an
// earlier run kept). False, with the status line shown, when no file can be made
// there: every page would fail the same way, so the office is not asked at all.
bool PrepareNumberFolders(RetrievalForm& form, SlotState& state, const std::string& number, std::int16_t seq);

// "1. NUMBER :  PAGE"
std::string StatusLinePrefix(std::int16_t seq, const std::string& number, const std::string& page);

// The status line of a folder no file can be written to.
std::string UnwritableFolderText(std::int16_t seq, const std::string& number, const std::string& folder);

}  // namespace orvane
