// Reads the bytes as a class registry file; what reads back must write out and
// read again to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pdf/api/automation/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  folian::automation::Registry registry;
  std::string error;
  if (registry.Parse(text, "input", error) != folian::automation::Registry::Load::kOk) return 0;
  const std::string written = registry.Text();
  folian::automation::Registry again;
  if (again.Parse(written, "written", error) != folian::automation::Registry::Load::kOk) std::abort();
  if (again.Text() != written) std::abort();
  (void)again.Get("CLSID\\{848255D4-8230-11D3-9E6D-0060080C087D}\\InprocServer32");
  again.RemoveTree("CLSID");
  return 0;
}
