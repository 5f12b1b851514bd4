#pragma once
// What the slot and page-by-page runners share: the folders a number's pages go
// to, the walk through the page list, and the start of every status line.
#include <cstdint>
#include <functional>
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

// Fetches the entries of the page list (TextBox3) one by one with `fetch`. An
// entry that is no page of the document (beyond its end, zero, or not a number)
// is reported and skipped rather than requested. In bad-page mode the last entry
// marks LastBadPage and the document is joined after it; when that entry was no
// page, `finish` still joins it.
void RunPageListEntries(RetrievalForm& form, int pageCount, const std::string& number, std::int16_t seq,
                        const std::function<bool()>& stopped, const std::function<void(int page)>& fetch,
                        const std::function<void()>& finish);

// "1. NUMBER :  PAGE"
std::string StatusLinePrefix(std::int16_t seq, const std::string& number, const std::string& page);

// The status line of a folder no file can be written to.
std::string UnwritableFolderText(std::int16_t seq, const std::string& number, const std::string& folder);

}  // namespace orvane
