#pragma once
// One input of "folian merge --bookmarks": its pages are copied through the
// document's current input, then a top-level bookmark to its first page (titled by
// the input's /Title, else its file name) is made with the input's own outline
// nested beneath it.
#include <cstdint>
#include <string>

#include "pdf/api/folian32.h"

// Copies pages first..last (last 0: to the end) of `path` into `doc`. `made`
// counts the bookmarks made through the exported functions and is advanced.
// Yields 0 or the status code of the step that failed.
int32_t MergeWithBookmark(FLHANDLE doc, const std::string& path, int32_t first, int32_t last, int32_t& made);

// Lets go of the document's current input, so that its information dictionary
// does not become the merged file's, as after a plain merge.
void ReleaseLastInput(FLHANDLE doc);
