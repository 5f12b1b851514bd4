#pragma once
// The separation colour spaces of an input page: the entries of its (possibly
// inherited) /ColorSpace resources whose value is a /Separation array.
#include <string>
#include <vector>

namespace folian {

class PDFInput;
class PDObject;

// The colorant names, without their slash and with "#xx" escapes decoded, in
// the order of the resource dictionary. Empty for a page without any.
std::vector<std::string> PageSeparations(PDFInput& input, PDObject* page);

}  // namespace folian
