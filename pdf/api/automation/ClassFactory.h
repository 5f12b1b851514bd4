#pragma once
// The class factory map: one factory per class, found by class identifier or
// ProgID, and the module's lock count behind the "can unload" answer.
#include <string>

#include "pdf/api/automation/Dispatch.h"

namespace folian::automation {

// A new object of the class, or an empty Ref for an unknown class.
Ref<DispatchObject> CreateByClass(const Guid& clsid);
Ref<DispatchObject> CreateByProgId(const std::string& progId);

// Server locks (the factories' LockServer).
void LockModule();
void UnlockModule();
bool CanUnload();  // no object and no lock alive

}  // namespace folian::automation
