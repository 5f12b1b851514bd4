#include "pdf/base/PDDocumentBase.h"

#include <atomic>

namespace folian {
namespace {

std::atomic<uint32_t> g_documentSerial{0};

}  // namespace

uint32_t NextDocumentSerial() { return ++g_documentSerial; }

void PDDocumentBase::TakeSerial() { m_serial = NextDocumentSerial(); }

}  // namespace folian
