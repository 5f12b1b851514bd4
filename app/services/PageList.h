#pragma once
// The parts of a section run that every slot service shares: the page list
// of "Page" and the page numbers in it, and the status list's closing line
// of each section. Plain functions over strings.
#include <string>
#include <vector>

namespace orvane {

// A marker or page-list entry as a page number: decimal digits with optional
// blanks around them; anything else, or a number outside 16 bits, is 0.
int PageNumber(const std::string& text);

// The entries of the page list, split at commas, in order, as typed.
std::vector<std::string> SplitPageList(const std::string& text);

// The status list's closing line of a section (codes 4 to 8).
const char* ClosingLine(int section);

}  // namespace orvane
