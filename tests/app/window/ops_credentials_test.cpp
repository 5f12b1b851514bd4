// The EPO OPS key pair in the settings root: private file, environment first.
#include "app/window/OpsCredentials.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

namespace orvane {
namespace {

namespace fs = std::filesystem;

class OpsCredentialsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = fs::temp_directory_path() / ("ops_cred_" + std::to_string(::getpid()) + "_" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_root);
    ::unsetenv("ORVANE_OPS_KEY");
    ::unsetenv("ORVANE_OPS_SECRET");
  }
  void TearDown() override {
    fs::remove_all(m_root);
    ::unsetenv("ORVANE_OPS_KEY");
    ::unsetenv("ORVANE_OPS_SECRET");
  }
  static unsigned Mode(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 0777;
  }
  fs::path m_root;
};

TEST_F(OpsCredentialsTest, writtenPrivateAndReadBack) {
  OpsCredentialFile file(m_root);
  std::string error;
  ASSERT_TRUE(file.write({"my-key", "my=secret"}, error)) << error;
  EXPECT_EQ(Mode(file.path()), 0600u);
  const OpsCredentials read = file.read();
  EXPECT_EQ(read.key, "my-key");
  EXPECT_EQ(read.secret, "my=secret");

  // A file others could read is made private again, by writing and by reading.
  ::chmod(file.path().c_str(), 0644);
  ASSERT_TRUE(file.write({"k2", "s2"}, error));
  EXPECT_EQ(Mode(file.path()), 0600u);
  ::chmod(file.path().c_str(), 0664);
  EXPECT_EQ(file.read().key, "k2");
  EXPECT_EQ(Mode(file.path()), 0600u);
}

TEST_F(OpsCredentialsTest, lineBreaksAreRefusedAndTheOldPairKept) {
  OpsCredentialFile file(m_root);
  std::string error;
  ASSERT_TRUE(file.write({"k", "s"}, error));
  EXPECT_FALSE(file.write({"k\nsecret=x", "s"}, error));
  EXPECT_FALSE(file.write({"k", "s\r"}, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(file.read().key, "k");
  EXPECT_EQ(file.read().secret, "s");
}

TEST_F(OpsCredentialsTest, missingFileAndCrLfLines) {
  EXPECT_FALSE(OpsCredentialFile(m_root).read().complete());
  fs::create_directories(m_root);
  std::ofstream(m_root / OpsCredentialFile::kFileName) << "key=a\r\nsecret=b\r\n";
  const OpsCredentials read = OpsCredentialFile(m_root).read();
  EXPECT_EQ(read.key, "a");
  EXPECT_EQ(read.secret, "b");
}

TEST_F(OpsCredentialsTest, environmentPairWinsOnlyWhenComplete) {
  std::string error;
  ASSERT_TRUE(OpsCredentialFile(m_root).write({"file-key", "file-secret"}, error));
  ::setenv("ORVANE_OPS_KEY", "env-key", 1);
  EXPECT_EQ(LoadOpsCredentials(m_root).key, "file-key");  // a key alone is not a pair
  ::setenv("ORVANE_OPS_SECRET", "env-secret", 1);
  EXPECT_EQ(LoadOpsCredentials(m_root).key, "env-key");
  EXPECT_EQ(LoadOpsCredentials(m_root).secret, "env-secret");
}

TEST_F(OpsCredentialsTest, unwritableRootIsReported) {
  fs::create_directories(m_root);
  std::ofstream(m_root / "blocker") << "x";
  OpsCredentialFile file(m_root / "blocker");
  std::string error;
  EXPECT_FALSE(file.write({"k", "s"}, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace orvane
