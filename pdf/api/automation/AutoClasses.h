#pragma once
// The four creatable classes, and how PDoc reaches the other three: it creates
// them through these functions and binds them to the handles of the document it
// holds. Each class lives in its own file (AutoPDoc.cpp, AutoIDoc.cpp,
// AutoTToken.cpp, AutoContent.cpp).
#include "pdf/api/automation/Dispatch.h"
#include "pdf/api/folian32.h"

namespace folian::automation {

Ref<DispatchObject> NewPDoc();
Ref<DispatchObject> NewIDoc();
Ref<DispatchObject> NewTToken();
Ref<DispatchObject> NewContent();

// Binds a Content object to a content handle (PDocGetContentHandle or
// PDocGetHeaderHandle), or to none with 0: an unbound object answers every member
// with E_NOT_BOUND. Does nothing for an object of another class.
void BindContent(DispatchObject& content, FLHANDLE handle);

// Binds an IDoc object to an input handle it does not own (the one PDocGetInputHandle
// issues, which the output document frees); 0 unbinds. Does nothing for an object of
// another class.
void BindIDoc(DispatchObject& idoc, FLHANDLE handle);
// The input handle an IDoc object uses now, or 0 (none, or not an IDoc).
FLHANDLE IDocHandleOf(DispatchObject& object);

}  // namespace folian::automation
