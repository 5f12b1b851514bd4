/* The automation entry points as a C client sees them: registration into a
 * private registry, creation by ProgID and class identifier, calls by name with
 * positional, named and out arguments, object references, and the class
 * factory's lock. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "pdf/api/folian32_automation.h"

static int passed, failed;

#define CHECK(cond)                                                              \
  do {                                                                           \
    if (cond) {                                                                  \
      ++passed;                                                                  \
    } else {                                                                     \
      ++failed;                                                                  \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
    }                                                                            \
  } while (0)

static FLVariant Str(const char* s) {
  FLVariant v;
  memset(&v, 0, sizeof v);
  v.type = FLVT_STRING;
  v.bytes = (char*)s;
  v.length = (uint32_t)strlen(s);
  return v;
}

static FLVariant Int(int32_t i) {
  FLVariant v;
  memset(&v, 0, sizeof v);
  v.type = FLVT_I4;
  v.integer = i;
  return v;
}

/* Calls a member by name; the result goes to *result (cleared by the caller). */
static int32_t Call(FLDispatch* object, const char* name, FLVariant* args, uint32_t count, FLVariant* result) {
  int32_t id = -1;
  int32_t hr = FLAutoGetIDsOfNames(object, &name, 1, &id);
  if (hr != FL_S_OK) return hr;
  return FLAutoInvoke(object, id, FL_DISPATCH_METHOD, args, count, NULL, 0, result, NULL);
}

static void createsThroughTheRegistry(void) {
  FLDispatch* doc = NULL;
  CHECK(FLAutoCreate("Folian.PDoc", &doc) == FL_REGDB_E_CLASSNOTREG && doc == NULL);
  CHECK(DllRegisterServer() == FL_S_OK);
  FLGUID id;
  CHECK(FLAutoCLSIDFromProgID("Folian.PDoc", &id) == FL_S_OK);
  FLGUID expected;
  CHECK(FLAutoParseGUID("{848255D4-8230-11D3-9E6D-0060080C087D}", &expected) == FL_S_OK);
  CHECK(memcmp(&id, &expected, sizeof id) == 0);
  CHECK(FLAutoParseGUID("{not a guid}", &id) == FL_CO_E_CLASSSTRING);
  CHECK(FLAutoCreate("Folian.Nothing", &doc) == FL_REGDB_E_CLASSNOTREG);
  CHECK(FLAutoCreate("Folian.PDoc", &doc) == FL_S_OK && doc != NULL);
  CHECK(DllCanUnloadNow() == FL_S_FALSE);
  CHECK(FLAutoRelease(doc) == 0);
  CHECK(FLAutoRelease(doc) == 0); /* no longer held: ignored */
}

static void callsByNameWithNamedArguments(void) {
  FLDispatch* doc = NULL;
  CHECK(FLAutoCreate("{848255D4-8230-11D3-9E6D-0060080C087D}", &doc) == FL_S_OK);
  /* New(PageHeight:=400, PageWidth:=300): both named, the file name omitted. */
  const char* names[] = {"New", "pageheight", "PAGEWIDTH"};
  int32_t ids[3];
  CHECK(FLAutoGetIDsOfNames(doc, names, 3, ids) == FL_S_OK);
  CHECK(ids[0] == 2 && ids[1] == 2 && ids[2] == 1);
  FLVariant args[2] = {Int(400), Int(300)};
  FLVariant result;
  CHECK(FLAutoInvoke(doc, ids[0], FL_DISPATCH_METHOD, args, 2, ids + 1, 2, &result, NULL) == FL_S_OK);
  CHECK(result.type == FLVT_BOOL && result.integer == -1);

  /* Page() hands out an object; it is the caller's, one reference. */
  FLVariant page;
  CHECK(Call(doc, "Page", NULL, 0, &page) == FL_S_OK);
  CHECK(page.type == FLVT_DISPATCH && page.object != NULL);
  FLVariant draw[2] = {Int(10), Int(10)};
  CHECK(Call(page.object, "MoveTo", draw, 2, &result) == FL_S_OK);
  CHECK(FLAutoAddRef(page.object) == 2);
  CHECK(FLAutoRelease(page.object) == 1);

  /* A member the object lacks, a property read of a method, a wrong count. */
  CHECK(FLAutoInvoke(doc, 4, FL_DISPATCH_METHOD, NULL, 0, NULL, 0, &result, NULL) == FL_DISP_E_MEMBERNOTFOUND);
  CHECK(FLAutoInvoke(doc, 9, FL_DISPATCH_PROPERTYGET, NULL, 0, NULL, 0, &result, NULL) == FL_DISP_E_MEMBERNOTFOUND);
  uint32_t argError = 99;
  FLVariant three[3] = {Int(1), Int(2), Int(3)};
  CHECK(FLAutoInvoke(doc, 14, FL_DISPATCH_METHOD, three, 3, NULL, 0, &result, &argError) ==
        FL_DISP_E_BADPARAMCOUNT);
  FLVariant image[5] = {Int(1), Int(1), Int(8), Int(0), Str("not bytes")};
  CHECK(Call(doc, "CreateImage", image, 5, &result) == FL_E_INVALIDARG);

  /* CloseB hands out the file as a byte array from lower bound 0. */
  FLVariant bytes;
  CHECK(Call(doc, "CloseB", NULL, 0, &bytes) == FL_S_OK);
  CHECK(bytes.type == FLVT_BYTES && bytes.lowerBound == 0 && bytes.length > 100);
  CHECK(bytes.bytes && memcmp(bytes.bytes, "%PDF-1.3", 8) == 0);
  CHECK(bytes.bytes && strstr(bytes.bytes, "300 400") != NULL);
  FLVariantClear(&bytes);
  CHECK(bytes.type == FLVT_EMPTY && bytes.bytes == NULL);

  /* The page object lost its stream with the document. */
  CHECK(Call(page.object, "MoveTo", draw, 2, &result) == FL_E_NOT_BOUND);
  FLDispatch* kept = page.object;
  FLVariantClear(&page); /* releases the caller's reference */
  CHECK(page.type == FLVT_EMPTY && page.object == NULL);
  CHECK(Call(kept, "MoveTo", draw, 2, &result) == FL_E_DISCONNECTED);
  CHECK(FLAutoRelease(doc) == 0);
  CHECK(FLAutoInvoke(doc, 1, FL_DISPATCH_METHOD, NULL, 0, NULL, 0, &result, NULL) == FL_E_DISCONNECTED);
}

static void objectsAnswerThroughTheirTable(void) {
  FLDispatch* doc = NULL;
  CHECK(FLAutoCreateLocal("Folian.PDoc.1", &doc) == FL_S_OK);
  FLGUID iid;
  CHECK(FLAutoParseGUID("{848255D3-8230-11D3-9E6D-0060080C087D}", &iid) == FL_S_OK);
  FLDispatch* same = NULL;
  CHECK(doc->vtbl->QueryInterface(doc, &iid, &same) == FL_S_OK && same == doc);
  if (same) doc->vtbl->Release(same);
  CHECK(FLAutoParseGUID("{848255D6-8230-11D3-9E6D-0060080C087D}", &iid) == FL_S_OK); /* IIDoc */
  CHECK(doc->vtbl->QueryInterface(doc, &iid, &same) == FL_E_NOINTERFACE && same == NULL);
  /* InputOpen without its file: the required argument is missing. */
  FLVariant missing;
  memset(&missing, 0, sizeof missing);
  missing.type = FLVT_ERROR;
  missing.integer = FL_DISP_E_PARAMNOTFOUND;
  FLVariant result;
  CHECK(Call(doc, "InputOpen", &missing, 1, &result) == FL_DISP_E_PARAMNOTOPTIONAL);
  CHECK(Call(doc, "InputOpen", NULL, 0, &result) == FL_DISP_E_BADPARAMCOUNT);
  CHECK(FLAutoRelease(doc) == 0);

  CHECK(DllCanUnloadNow() == FL_S_OK);
  FLGUID clsid;
  CHECK(FLAutoParseGUID("{EF83B484-8ED6-11D3-B928-ECF40F000000}", &clsid) == FL_S_OK);
  void* raw = NULL;
  CHECK(DllGetClassObject(&clsid, NULL, &raw) == FL_S_OK && raw != NULL);
  FLClassFactory* factory = (FLClassFactory*)raw;
  CHECK(factory->vtbl->LockServer(factory, 1) == FL_S_OK);
  CHECK(DllCanUnloadNow() == FL_S_FALSE);
  CHECK(factory->vtbl->LockServer(factory, 0) == FL_S_OK);
  FLDispatch* content = NULL;
  CHECK(factory->vtbl->CreateInstance(factory, NULL, NULL, &content) == FL_S_OK && content != NULL);
  /* A content object made on its own is bound to no stream. */
  FLVariant none;
  memset(&none, 0, sizeof none);
  int32_t printLogo = 11;
  CHECK(content->vtbl->Invoke(content, printLogo, FL_DISPATCH_METHOD, NULL, 0, NULL, 0, &none, NULL) ==
        FL_E_NOT_BOUND);
  content->vtbl->Release(content);
  factory->vtbl->Release(factory);
  CHECK(DllCanUnloadNow() == FL_S_OK);
  clsid.data1 ^= 1;
  CHECK(DllGetClassObject(&clsid, NULL, &raw) == FL_CLASS_E_CLASSNOTAVAILABLE && raw == NULL);
}

int main(void) {
  /* A registry of this run's own. */
  static char path[4096];
  snprintf(path, sizeof path, "%s/automation-c.registry", FOLIAN_TEST_OUTPUT);
  remove(path);
  setenv("FOLIAN_REGISTRY", path, 1);
  CHECK(strcmp(FLAutoRegistryPath(), path) == 0);
  createsThroughTheRegistry();
  callsByNameWithNamedArguments();
  objectsAnswerThroughTheirTable();
  CHECK(DllUnregisterServer() == FL_S_OK);
  printf("%d checks passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
