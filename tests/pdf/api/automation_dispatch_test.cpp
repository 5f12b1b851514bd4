// The automation runtime: argument placement and conversion in Invoke, member
// lookup by name, reference counting and the "can unload" answer, the type
// library's tables and the status-to-ErrorType mappings.
#include <gtest/gtest.h>

#include <set>
#include <strings.h>

#include "pdf/api/automation/AutoClasses.h"
#include "pdf/api/automation/ClassFactory.h"
#include "pdf/api/automation/Dispatch.h"

using namespace folian::automation;

namespace {

// A member with every kind of parameter, and one with an out parameter.
const InterfaceInfo kProbeInterface{
    "IProbe",
    *Guid::Parse("{11111111-2222-3333-4444-555555555555}"),
    {
        {"Mix",
         5,
         {{"Name", ParamType::kString, kIn, 0},
          {"Count", ParamType::kInt16, kHasDefault, 7},
          {"Scale", ParamType::kFloat, kOptional, 0},
          {"Flag", ParamType::kBool, kHasDefault, 1}},
         ParamType::kString,
         "res",
         false},
        {"Box", 6, {{"Side", ParamType::kInt32, kIn, 0}, {"Area", ParamType::kInt32, kOut, 0}}, ParamType::kVoid,
         nullptr, false},
    }};
const ClassInfo kProbeClass{"Probe", "Probe Class", *Guid::Parse("{11111111-2222-3333-4444-666666666666}"),
                            "Test.Probe.1", "Test.Probe", &kProbeInterface, "Both", false};

// Mix answers with what it received, so each case can see placement and conversion.
class Probe final : public DispatchObject {
 public:
  Probe() : DispatchObject(kProbeClass) {}
  static int destroyed;

 protected:
  ~Probe() override { ++destroyed; }
  HRESULT Call(int32_t dispid, CallArgs& a, Variant& result) override {
    if (dispid == 6) {
      a.SetOut(1, Variant::Int32(a.Int(0) * a.Int(0)));
      return S_OK;
    }
    std::string s = a.String(0) ? a.String(0) : "<none>";
    s += "|" + std::to_string(a.Short(1));
    s += "|" + (a.Given(2) ? std::to_string(a.Float(2)) : std::string("missing"));
    s += a.Bool(3) ? "|true" : "|false";
    result = Variant::String(s);
    return S_OK;
  }
};
int Probe::destroyed = 0;

struct InvokeCase {
  const char* what;
  std::vector<Variant> args;
  std::vector<int32_t> named;
  HRESULT hr;
  const char* result;  // for S_OK
  uint32_t argError;   // for failures that name an argument
};

TEST(AutomationInvoke, PlacesConvertsAndDefaultsArguments) {
  const std::vector<InvokeCase> cases = {
      {"defaults fill omitted trailing parameters", {Variant::String("a")}, {}, S_OK, "a|7|missing|true", 0},
      {"all positional, numbers converted", {Variant::String("b"), Variant::Double(3.6), Variant::Int32(2), Variant::Int32(0)}, {}, S_OK,
       "b|4|2.000000|false", 0},
      {"missing in the middle takes the default",
       {Variant::String("c"), Variant::Missing(), Variant::Float(1.5f)}, {}, S_OK, "c|7|1.500000|true", 0},
      {"named arguments by parameter position", {Variant::String("d"), Variant::Bool(false), Variant::Int16(3)}, {3, 1}, S_OK,
       "d|3|missing|false", 0},
      {"a number where a string is expected is written out", {Variant::Int32(12)}, {}, S_OK, "12|7|missing|true", 0},
      {"empty string argument is no string", {Variant()}, {}, S_OK, "<none>|7|missing|true", 0},
      {"too many arguments", {Variant::String("e"), Variant::Int32(1), Variant::Int32(1), Variant::Int32(1), Variant::Int32(1)}, {},
       DISP_E_BADPARAMCOUNT, nullptr, 4},
      {"required parameter omitted", {}, {}, DISP_E_BADPARAMCOUNT, nullptr, 0},
      {"required parameter passed as missing", {Variant::Missing()}, {}, DISP_E_PARAMNOTOPTIONAL, nullptr, 0},
      {"string where a number is expected", {Variant::String("f"), Variant::String("x")}, {}, DISP_E_TYPEMISMATCH, nullptr, 1},
      {"byte array where a string is expected", {Variant::Bytes({1, 2})}, {}, DISP_E_TYPEMISMATCH, nullptr, 0},
      {"16-bit overflow", {Variant::String("g"), Variant::Int32(40000)}, {}, DISP_E_OVERFLOW, nullptr, 1},
      {"named position out of range", {Variant::String("h"), Variant::Int32(1)}, {9}, DISP_E_PARAMNOTFOUND, nullptr, 1},
      {"named twice over a positional", {Variant::String("i"), Variant::String("j")}, {0}, DISP_E_PARAMNOTFOUND, nullptr, 1},
  };
  Ref<Probe> probe = MakeObject<Probe>();
  for (const InvokeCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Variant> args = c.args;
    Variant result;
    uint32_t argError = 99;
    HRESULT hr = probe->Invoke(5, FL_DISPATCH_METHOD, args, c.named.data(), c.named.size(), result, &argError);
    EXPECT_EQ(hr, c.hr);
    if (c.hr == S_OK) {
      EXPECT_EQ(result.Text(), c.result);
    } else {
      EXPECT_EQ(argError, c.argError);
      EXPECT_TRUE(result.IsEmpty());
    }
  }
}

TEST(AutomationInvoke, UnknownMembersAndOutParameters) {
  Ref<Probe> probe = MakeObject<Probe>();
  std::vector<Variant> none;
  Variant result;
  EXPECT_EQ(probe->Invoke(77, FL_DISPATCH_METHOD, none, nullptr, 0, result), DISP_E_MEMBERNOTFOUND);

  Variant area = Variant::Int32(-1);
  std::vector<Variant> args = {Variant::Int32(9), Variant::ByRef(&area)};
  ASSERT_EQ(probe->Invoke(6, FL_DISPATCH_METHOD, args, nullptr, 0, result), S_OK);
  EXPECT_EQ(area.Integer(), 81);
  // An out parameter not asked for is skipped rather than refused.
  std::vector<Variant> byValue = {Variant::Int32(3), Variant::Int32(0)};
  EXPECT_EQ(probe->Invoke(6, FL_DISPATCH_METHOD, byValue, nullptr, 0, result), S_OK);
}

TEST(AutomationNames, LookupIgnoresCaseAndNamesParameters) {
  Ref<Probe> probe = MakeObject<Probe>();
  const char* names[] = {"mIX", "flag", "NAME", "nonesuch"};
  int32_t ids[4];
  EXPECT_EQ(probe->GetIDsOfNames(names, 4, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 5);
  EXPECT_EQ(ids[1], 3);
  EXPECT_EQ(ids[2], 0);
  EXPECT_EQ(ids[3], -1);
  const char* unknown[] = {"Mixer"};
  EXPECT_EQ(probe->GetIDsOfNames(unknown, 1, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], -1);
}

TEST(AutomationObjects, ReferencesIdentityAndUnloading) {
  Probe::destroyed = 0;
  uint32_t before = DispatchObject::LiveObjects();
  {
    Ref<Probe> probe = MakeObject<Probe>();
    EXPECT_EQ(DispatchObject::LiveObjects(), before + 1);
    Ref<DispatchObject> same;
    EXPECT_EQ(probe->QueryInterface(IDispatchId(), same), S_OK);
    EXPECT_EQ(same.get(), probe.get());
    EXPECT_EQ(probe->QueryInterface(kProbeInterface.iid, same), S_OK);
    EXPECT_EQ(probe->QueryInterface(IPDocInterface().iid, same), E_NOINTERFACE);
    EXPECT_FALSE(same);
    EXPECT_EQ(DispatchObject::FromFace(probe->Face()), probe.get());
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  }
  EXPECT_EQ(Probe::destroyed, 1);
  EXPECT_EQ(DispatchObject::LiveObjects(), before);
  if (before == 0) {
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
    LockModule();
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    UnlockModule();
    UnlockModule();  // a stray unlock is harmless
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
  }
}

TEST(AutomationFactory, ServesTheFourClassesOnly) {
  for (const ClassInfo& c : Library().classes) {
    SCOPED_TRACE(c.name);
    void* raw = nullptr;
    ASSERT_EQ(DllGetClassObject(&c.clsid.value, nullptr, &raw), S_OK);
    auto* factory = static_cast<FLClassFactory*>(raw);
    FLDispatch* object = nullptr;
    int dummy = 0;
    EXPECT_EQ(factory->vtbl->CreateInstance(factory, &dummy, nullptr, &object), FL_CLASS_E_NOAGGREGATION);
    ASSERT_EQ(factory->vtbl->CreateInstance(factory, nullptr, &c.iface->iid.value, &object), S_OK);
    DispatchObject* made = DispatchObject::FromFace(object);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(&made->Class(), &c);
    FLDispatch* asPDoc = nullptr;
    EXPECT_EQ(factory->vtbl->CreateInstance(factory, nullptr, &IPDocInterface().iid.value, &asPDoc) == S_OK,
              &c == &ClassNamed(kPDocClass));
    if (asPDoc) asPDoc->vtbl->Release(asPDoc);
    made->Release();
  }
  FLGUID unknown = kProbeClass.clsid.value;
  void* raw = &unknown;
  EXPECT_EQ(DllGetClassObject(&unknown, nullptr, &raw), FL_CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(raw, nullptr);
  EXPECT_FALSE(CreateByProgId("Folian.Nothing"));
  EXPECT_TRUE(CreateByProgId("folian.pdoc.1"));
}

TEST(AutomationTypeLibrary, MembersAndEnumerations) {
  const TypeLibrary& lib = Library();
  EXPECT_EQ(lib.libid.ToString(), "{848255C3-8230-11D3-9E6D-0060080C087D}");
  struct Expect {
    const char* cls;
    size_t members;
    int32_t lastDispid;
  };
  // Each interface: its member count, DISPIDs unique, and the last slot.
  for (Expect e : {Expect{"PDoc", 31, 1}, Expect{"IDoc", 20, 11}, Expect{"TToken", 9, 9}, Expect{"Content", 28, 28}}) {
    SCOPED_TRACE(e.cls);
    const InterfaceInfo& i = *ClassNamed(e.cls).iface;
    EXPECT_EQ(i.methods.size(), e.members);
    EXPECT_EQ(i.methods.back().dispid, e.lastDispid);
    std::set<int32_t> ids;
    for (const MethodInfo& m : i.methods) {
      EXPECT_TRUE(ids.insert(m.dispid).second) << m.name;
      std::set<std::string> params;
      for (const ParamInfo& p : m.params) EXPECT_TRUE(params.insert(p.name).second) << m.name << "." << p.name;
    }
  }
  const MethodInfo* merge = IPDocInterface().Find("merge");
  ASSERT_NE(merge, nullptr);
  EXPECT_EQ(merge->dispid, 21);
  const MethodInfo* add = IIDocInterface().Find(12);
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add->params.size(), 14u);
  EXPECT_EQ(add->params[13].defaultValue, -1);

  struct EnumExpect {
    const char* enumName;
    const char* name;
    int32_t value;
  };
  for (EnumExpect e : {EnumExpect{"ErrorType", "pdErrInputOutput", 24}, EnumExpect{"ErrorType", "pdErrOutputNotOpen", 10},
                       EnumExpect{"FLFormFlags", "FLFlagFormMultiline", 4096},
                       EnumExpect{"FLAnnotFlags", "FLFlagAnnotLeaveAsIs", -1},
                       EnumExpect{"FLFormFontType", "FLffCustom2", 15}, EnumExpect{"FLFormFontType", "FLffUndefined", -1},
                       EnumExpect{"FLCurveType", "FLCurveTypeY", 2}, EnumExpect{"ShapeFlags", "doBorder", 2}}) {
    const EnumInfo* info = lib.FindEnum(e.enumName);
    ASSERT_NE(info, nullptr) << e.enumName;
    bool found = false;
    for (auto& [n, v] : info->values)
      if (std::string(n) == e.name) found = v == e.value;
    EXPECT_TRUE(found) << e.name;
  }
  EXPECT_EQ(lib.FindEnum("ErrorType")->values.size(), 25u);
}

TEST(AutomationErrors, StatusCodesMapToErrorTypes) {
  struct Row {
    int32_t status, document, content;
  };
  for (Row r : {Row{0, 0, 0}, Row{2, 21, 23}, Row{1001, 2, 23}, Row{1005, 7, 23}, Row{1008, 12, 12},
                Row{1009, 22, 22}, Row{1011, 24, 23}, Row{1012, 21, 23}, Row{1014, 21, 18}, Row{1015, 21, 20},
                Row{1018, 21, 23}}) {
    EXPECT_EQ(DocumentErrorType(r.status), r.document) << r.status;
    EXPECT_EQ(ContentErrorType(r.status), r.content) << r.status;
  }
}

TEST(AutomationGuid, ParsesAndPrints) {
  auto g = Guid::Parse("848255d4-8230-11d3-9e6d-0060080c087d");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->ToString(), "{848255D4-8230-11D3-9E6D-0060080C087D}");
  for (const char* bad : {"", "{848255D4-8230-11D3-9E6D-0060080C087}", "848255D4x8230-11D3-9E6D-0060080C087D",
                          "{848255D4-8230-11D3-9E6D-0060080C08ZD}", "Folian.PDoc"})
    EXPECT_FALSE(Guid::Parse(bad)) << bad;
}

}  // namespace
