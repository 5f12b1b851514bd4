/* folian32 automation: late-bound objects answering calls by name.
 *
 * Four classes (PDoc, IDoc, TToken, Content) are created by class identifier or
 * ProgID through the class registry, a file that DllRegisterServer writes and
 * DllUnregisterServer removes entries from. The registry file is $FOLIAN_REGISTRY
 * when set, else $XDG_DATA_HOME/folian32/registry, else
 * ~/.local/share/folian32/registry.
 *
 * An object is reached through an FLDispatch pointer whose table answers
 * GetIDsOfNames (case-insensitive member and parameter names) and Invoke (by member
 * DISPID). Arguments are FLVariant values in natural order: first the positional
 * ones, then the named ones, whose parameter DISPIDs (0-based parameter positions)
 * are listed in `named`. Omitted trailing or missing arguments take the parameter's
 * default. Results are HRESULT values (0 is success); methods report their own
 * failures through their result and ErrCode, never through the HRESULT.
 *
 * Memory: strings and byte arrays handed out in results and out parameters belong to
 * the caller and are freed with FLVariantClear, which also releases an object held
 * by the variant. Strings passed in stay the caller's.
 *
 * The FLAuto* functions refuse, with FL_E_DISCONNECTED, an object the caller no
 * longer holds a reference to (every reference handed out was released with
 * FLAutoRelease), so a late call is a clear error rather than a crash.
 */
#ifndef FOLIAN32_AUTOMATION_H
#define FOLIAN32_AUTOMATION_H

#include <stdint.h>

#include "folian32.h"

/* HRESULT values. */
#define FL_S_OK 0
#define FL_S_FALSE 1
#define FL_E_NOTIMPL ((int32_t)0x80004001)
#define FL_E_NOINTERFACE ((int32_t)0x80004002)
#define FL_E_POINTER ((int32_t)0x80004003)
#define FL_E_FAIL ((int32_t)0x80004005)
#define FL_E_OUTOFMEMORY ((int32_t)0x8007000E)
#define FL_E_INVALIDARG ((int32_t)0x80070057)
#define FL_E_NOT_BOUND ((int32_t)0x80040007)
#define FL_E_DISCONNECTED ((int32_t)0x80010108)
#define FL_DISP_E_UNKNOWNNAME ((int32_t)0x80020006)
#define FL_DISP_E_MEMBERNOTFOUND ((int32_t)0x80020003)
#define FL_DISP_E_PARAMNOTFOUND ((int32_t)0x80020004)
#define FL_DISP_E_TYPEMISMATCH ((int32_t)0x80020005)
#define FL_DISP_E_EXCEPTION ((int32_t)0x80020009)
#define FL_DISP_E_OVERFLOW ((int32_t)0x8002000A)
#define FL_DISP_E_BADPARAMCOUNT ((int32_t)0x8002000E)
#define FL_DISP_E_PARAMNOTOPTIONAL ((int32_t)0x8002000F)
#define FL_CLASS_E_CLASSNOTAVAILABLE ((int32_t)0x80040111)
#define FL_CLASS_E_NOAGGREGATION ((int32_t)0x80040110)
#define FL_REGDB_E_READREGDB ((int32_t)0x80040150)
#define FL_REGDB_E_WRITEREGDB ((int32_t)0x80040151)
#define FL_REGDB_E_CLASSNOTREG ((int32_t)0x80040154)
#define FL_CO_E_CLASSSTRING ((int32_t)0x800401F3)
#define FL_CO_E_DLLNOTFOUND ((int32_t)0x800401F8)
#define FL_SELFREG_E_CLASS ((int32_t)0x80040201)

/* Invoke flags. */
#define FL_DISPATCH_METHOD 1
#define FL_DISPATCH_PROPERTYGET 2

/* Variant types; FLVT_BYREF is or'ed into the type of an out parameter, whose
   `ref` points to the variant that receives the value. */
enum {
  FLVT_EMPTY = 0,
  FLVT_NULL = 1,
  FLVT_I2 = 2,
  FLVT_I4 = 3,
  FLVT_R4 = 4,
  FLVT_R8 = 5,
  FLVT_STRING = 8,   /* a byte string (bytes, length) */
  FLVT_DISPATCH = 9, /* an object (object) */
  FLVT_ERROR = 10,   /* integer holds the code; FL_DISP_E_PARAMNOTFOUND means "missing" */
  FLVT_BOOL = 11,    /* integer is -1 (true) or 0 (false) */
  FLVT_UI1 = 17,
  FLVT_ARRAY = 0x2000,
  FLVT_BYTES = 0x2011, /* FLVT_ARRAY | FLVT_UI1: bytes, length, lowerBound */
  FLVT_BYREF = 0x4000
};

typedef struct FLGUID {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
} FLGUID;

typedef struct FLDispatch FLDispatch;

typedef struct FLVariant {
  uint16_t type;
  uint16_t reserved;
  int32_t lowerBound; /* byte arrays */
  int64_t integer;    /* I2, I4, BOOL, ERROR */
  double real;        /* R4, R8 */
  char* bytes;        /* STRING and BYTES contents */
  uint32_t length;
  FLDispatch* object;      /* DISPATCH, or none */
  struct FLVariant* ref;   /* BYREF target */
} FLVariant;

typedef struct FLDispatchVtbl {
  int32_t (*QueryInterface)(FLDispatch* self, const FLGUID* iid, FLDispatch** out);
  uint32_t (*AddRef)(FLDispatch* self);
  uint32_t (*Release)(FLDispatch* self);
  int32_t (*GetIDsOfNames)(FLDispatch* self, const char* const* names, uint32_t count, int32_t* dispids);
  int32_t (*Invoke)(FLDispatch* self, int32_t dispid, uint16_t flags, FLVariant* args, uint32_t argCount,
                    const int32_t* named, uint32_t namedCount, FLVariant* result, uint32_t* argError);
} FLDispatchVtbl;

struct FLDispatch {
  const FLDispatchVtbl* vtbl;
};

typedef struct FLClassFactory FLClassFactory;
typedef struct FLClassFactoryVtbl {
  uint32_t (*AddRef)(FLClassFactory* self);
  uint32_t (*Release)(FLClassFactory* self);
  /* iid may be none (the class's default interface). */
  int32_t (*CreateInstance)(FLClassFactory* self, void* outer, const FLGUID* iid, FLDispatch** out);
  int32_t (*LockServer)(FLClassFactory* self, int32_t lock);
} FLClassFactoryVtbl;
struct FLClassFactory {
  const FLClassFactoryVtbl* vtbl;
};

/* The class factory of one class of this module (iid is ignored); FL_CLASS_E_CLASSNOTAVAILABLE otherwise. */
FOLIAN_API int32_t DllGetClassObject(const FLGUID* clsid, const FLGUID* iid, void** out);
/* 0 (S_OK) when no object and no server lock is alive, else 1 (S_FALSE). */
FOLIAN_API int32_t DllCanUnloadNow(void);
/* Writes the four classes, with this module's path, into the class registry. */
FOLIAN_API int32_t DllRegisterServer(void);
/* Removes the four classes from the class registry. */
FOLIAN_API int32_t DllUnregisterServer(void);

/* Parses "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" (braces optional); 0 or FL_CO_E_CLASSSTRING. */
FOLIAN_API int32_t FLAutoParseGUID(const char* text, FLGUID* out);
/* The class identifier a ProgID is registered with; FL_REGDB_E_CLASSNOTREG when absent. */
FOLIAN_API int32_t FLAutoCLSIDFromProgID(const char* progId, FLGUID* out);
/* Creates an object by class identifier text or ProgID through the class registry. */
FOLIAN_API int32_t FLAutoCreate(const char* classIdOrProgId, FLDispatch** out);
/* Creates an object of this library by class identifier text or ProgID without
   the class registry. */
FOLIAN_API int32_t FLAutoCreateLocal(const char* classIdOrProgId, FLDispatch** out);
/* The registry file in use, as a zero-terminated path, or none without a home. */
FOLIAN_API const char* FLAutoRegistryPath(void);

FOLIAN_API uint32_t FLAutoAddRef(FLDispatch* object);
/* Releases one reference; returns the caller's remaining references to it. */
FOLIAN_API uint32_t FLAutoRelease(FLDispatch* object);
FOLIAN_API int32_t FLAutoGetIDsOfNames(FLDispatch* object, const char* const* names, uint32_t count,
                                       int32_t* dispids);
FOLIAN_API int32_t FLAutoInvoke(FLDispatch* object, int32_t dispid, uint16_t flags, FLVariant* args,
                                uint32_t argCount, const int32_t* named, uint32_t namedCount, FLVariant* result,
                                uint32_t* argError);
/* Frees what the variant holds (library-made strings and arrays, object references) and empties it. */
FOLIAN_API void FLVariantClear(FLVariant* value);

#endif
