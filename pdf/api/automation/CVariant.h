#pragma once
// Conversion between the C variant of the public interface and Variant.
#include "pdf/api/automation/Variant.h"
#include "pdf/api/folian32_automation.h"

namespace folian::automation {

// False for a type this layer does not know, or an object made by another module.
// A by-reference variant is not handled here; the caller unwraps it.
bool FromC(const FLVariant& in, Variant& out);
// Fills `out` (whose old contents are not freed) with a copy of `in`; strings and
// arrays are allocated for the caller, and an object gets a reference for it.
// False when memory runs out; `out` is then empty.
bool ToC(const Variant& in, FLVariant& out);
// Frees what ToC allocated, releasing objects through their own table.
void ClearC(FLVariant& value);

}  // namespace folian::automation
