#pragma once
// RebuildXref: the cross-reference table of a damaged file, rebuilt by scanning
// every byte for object headers ("12 0 obj") and "trailer" keywords.
//
// A header found later in the file replaces an earlier one with the same number,
// as an incremental update would. The trailer is the last one that names a
// catalog; without one, the last cross-reference stream dictionary that does, and
// without that a dictionary made from the last object whose /Type is /Catalog.
// The scan reads the file once in large chunks, so its time grows linearly with
// the file size. Numbers of objects that look like object streams are returned
// so the caller can list the objects inside them.
// Failure: false when no catalog can be named; the table is then left empty.
#include <cstdint>
#include <vector>

#include "pdf/io/InputSource.h"
#include "pdf/reader/PDXrefTable.h"

namespace folian {

[[nodiscard]] bool RebuildXref(InputSource& source, PDXrefTable& table, std::vector<int32_t>& objectStreams);

}  // namespace folian
