#include "pdf/base/Status.h"

#include <cstring>

namespace folian {

const char* StatusText(int32_t code) {
  switch (code) {
    case kOk: return "success";
    case kNotPdf: return "not a PDF file";
    case kBadTrailer: return "trailer or cross-reference data unreadable and not repairable";
    case kBadXref: return "startxref or its position not found";
    case kNullRef: return "null reference";
    case kParamValue: return "parameter out of range or missing";
    case kReadingObject: return "object cannot be read";
    case kAlreadyWritten: return "object number written twice";
    case kBadCallingSequence: return "bad calling sequence";
    case kInternal: return "internal inconsistency";
    case kUnexpected: return "unexpected structure in input file";
    case kInputOutput: return "input or output failure";
    case kMissingHandle: return "missing handle";
    case kIllegalFont: return "font not usable";
    case kNoSuchPage: return "input page does not exist";
    case kInputPart: return "input part could not be read";
    case kFailed: return "operation failed";
    case kEncrypted: return "input file is encrypted and needs a password";
    default: return code > 0 && code < 1000 ? std::strerror(code) : "unknown status";
  }
}

}  // namespace folian
