// The class registry file: what registration writes and unregistration removes,
// and how a damaged, missing or unwritable registry is answered.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "pdf/PdfScan.h"
#include "pdf/api/automation/Dispatch.h"
#include "pdf/api/automation/Registry.h"

using namespace folian::automation;

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Points the registry at a fresh file for one test, and restores the variable.
class RegistryFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = folian::test::OutputPath("registry_" + std::string(
                                                       ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    path_ = dir_ + "/sub/registry";
    const char* old = std::getenv("FOLIAN_REGISTRY");
    if (old) saved_ = old;
    hadOld_ = old != nullptr;
    setenv("FOLIAN_REGISTRY", path_.c_str(), 1);
  }
  void TearDown() override {
    if (hadOld_)
      setenv("FOLIAN_REGISTRY", saved_.c_str(), 1);
    else
      unsetenv("FOLIAN_REGISTRY");
    std::error_code ec;
    std::filesystem::permissions(dir_ + "/sub", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  Registry Load() {
    Registry r;
    std::string error;
    EXPECT_EQ(r.Read(path_, error), Registry::Load::kOk) << error;
    return r;
  }
  std::string dir_, path_, saved_;
  bool hadOld_ = false;
};

TEST_F(RegistryFile, RegistrationWritesEveryClassAndUnregistrationKeepsOthers) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  Registry r = Load();
  const std::string pdoc = "CLSID\\{848255D4-8230-11D3-9E6D-0060080C087D}";
  EXPECT_EQ(r.Get("Folian.PDoc.1"), "PDoc Class");
  EXPECT_EQ(r.Get("folian.pdoc\\clsid"), "{848255D4-8230-11D3-9E6D-0060080C087D}");
  EXPECT_EQ(r.Get(pdoc + "\\ProgID"), "Folian.PDoc.1");
  EXPECT_EQ(r.Get(pdoc + "\\VersionIndependentProgID"), "Folian.PDoc");
  EXPECT_EQ(r.Get(pdoc + "\\InprocServer32", "ThreadingModel"), "Both");
  auto module = r.Get(pdoc + "\\InprocServer32");
  ASSERT_TRUE(module);
  EXPECT_TRUE(std::filesystem::exists(*module)) << *module;
  EXPECT_FALSE(r.Get("Folian.PDoc\\CurVer"));
  const std::string content = "CLSID\\{EF83B484-8ED6-11D3-B928-ECF40F000000}";
  EXPECT_EQ(r.Get("Folian.Content\\CurVer"), "Folian.Content.1");
  EXPECT_EQ(r.Get(content + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_TRUE(r.HasKey(content + "\\Programmable"));
  EXPECT_EQ(r.Get(content + "\\TypeLib"), "{848255C3-8230-11D3-9E6D-0060080C087D}");
  EXPECT_EQ(r.Get("TypeLib\\{848255C3-8230-11D3-9E6D-0060080C087D}\\1.0"), "Folian 2.14 Type Library");
  EXPECT_EQ(ClassIdOfProgId(r, "Folian.TToken"), "{CC3194B1-87C8-11D3-9E72-0060080C087D}");

  // Another program's class stays when this library goes, and registering twice
  // gives the same file.
  r.Set("CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32", "@", "/opt/other\tlib.so");
  std::string error;
  ASSERT_TRUE(r.Write(path_, error)) << error;
  ASSERT_EQ(DllRegisterServer(), S_OK);
  std::string once = ReadAll(path_);
  ASSERT_EQ(DllRegisterServer(), S_OK);
  EXPECT_EQ(ReadAll(path_), once);
  ASSERT_EQ(DllUnregisterServer(), S_OK);
  Registry after = Load();
  EXPECT_FALSE(after.HasKey(pdoc));
  EXPECT_FALSE(after.HasKey("Folian.PDoc.1"));
  EXPECT_FALSE(after.HasKey("TypeLib\\{848255C3-8230-11D3-9E6D-0060080C087D}"));
  EXPECT_EQ(after.Get("CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32"), "/opt/other\tlib.so");
  FLGUID id;
  EXPECT_EQ(FLAutoCLSIDFromProgID("Folian.PDoc", &id), FL_REGDB_E_CLASSNOTREG);
  FLDispatch* object = nullptr;
  EXPECT_EQ(FLAutoCreate("Folian.PDoc", &object), FL_REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
}

TEST_F(RegistryFile, MissingRegistryIsEmptyAndUnregisteringNothingSucceeds) {
  EXPECT_EQ(DllUnregisterServer(), S_OK);
  EXPECT_FALSE(std::filesystem::exists(path_));
  FLDispatch* object = nullptr;
  EXPECT_EQ(FLAutoCreate("{848255D4-8230-11D3-9E6D-0060080C087D}", &object), FL_REGDB_E_CLASSNOTREG);
  EXPECT_EQ(FLAutoCreate("", &object), E_INVALIDARG);
}

TEST_F(RegistryFile, DamagedRegistryIsReportedAndLeftAlone) {
  const std::vector<std::string> damaged = {
      "",                                            // empty
      "not a registry\n",                            // wrong first line
      "folian32 class registry 1\nX\tkey\n",         // unknown entry
      "folian32 class registry 1\nV\tkey\t@\n",      // value without its text
      "folian32 class registry 1\nK\tbad\\qescape\n" // unknown escape
  };
  std::filesystem::create_directories(dir_ + "/sub");
  for (const std::string& text : damaged) {
    SCOPED_TRACE(text);
    std::ofstream(path_, std::ios::binary) << text;
    Registry r;
    std::string error;
    EXPECT_EQ(r.Read(path_, error), Registry::Load::kCorrupt);
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    EXPECT_EQ(DllRegisterServer(), FL_REGDB_E_READREGDB);
    EXPECT_EQ(DllUnregisterServer(), FL_REGDB_E_READREGDB);
    FLDispatch* object = nullptr;
    EXPECT_EQ(FLAutoCreate("Folian.PDoc", &object), FL_REGDB_E_READREGDB);
    EXPECT_EQ(ReadAll(path_), text);
  }
}

TEST_F(RegistryFile, UnwritableRegistryIsReported) {
  // The registry's folder cannot be made: a file stands in its place.
  std::filesystem::create_directories(dir_);
  std::ofstream(dir_ + "/sub") << "in the way";
  EXPECT_EQ(DllRegisterServer(), FL_REGDB_E_WRITEREGDB);
  EXPECT_EQ(ReadAll(dir_ + "/sub"), "in the way");
  std::filesystem::remove(dir_ + "/sub");
  // A folder that refuses writing (permissions do not bind root).
  if (geteuid() != 0) {
    std::filesystem::create_directories(dir_ + "/sub");
    ASSERT_EQ(chmod((dir_ + "/sub").c_str(), 0555), 0);
    EXPECT_EQ(DllRegisterServer(), FL_REGDB_E_WRITEREGDB);
    EXPECT_FALSE(std::filesystem::exists(path_));
  }
}

TEST_F(RegistryFile, RegistryIsAFolder) {
  std::filesystem::create_directories(path_);
  EXPECT_EQ(DllRegisterServer(), FL_REGDB_E_READREGDB);
  EXPECT_TRUE(std::filesystem::is_directory(path_));
}

TEST(RegistryPath, EnvironmentChoosesTheFile) {
  const char* keep[] = {"FOLIAN_REGISTRY", "XDG_DATA_HOME", "HOME"};
  std::vector<std::pair<bool, std::string>> saved;
  for (const char* k : keep) saved.emplace_back(std::getenv(k) != nullptr, std::getenv(k) ? std::getenv(k) : "");
  unsetenv("FOLIAN_REGISTRY");
  setenv("XDG_DATA_HOME", "/data", 1);
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(Registry::DefaultPath(), "/data/folian32/registry");
  setenv("XDG_DATA_HOME", "relative", 1);  // only absolute paths count
  EXPECT_EQ(Registry::DefaultPath(), "/home/u/.local/share/folian32/registry");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(Registry::DefaultPath(), "/home/u/.local/share/folian32/registry");
  setenv("FOLIAN_REGISTRY", "/tmp/r", 1);
  EXPECT_EQ(Registry::DefaultPath(), "/tmp/r");
  unsetenv("FOLIAN_REGISTRY");
  unsetenv("HOME");
  EXPECT_EQ(Registry::DefaultPath(), "");
  EXPECT_EQ(DllRegisterServer(), FL_REGDB_E_WRITEREGDB);
  for (size_t i = 0; i < 3; ++i)
    if (saved[i].first)
      setenv(keep[i], saved[i].second.c_str(), 1);
    else
      unsetenv(keep[i]);
}

}  // namespace
