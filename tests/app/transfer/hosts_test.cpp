#include "app/transfer/Hosts.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace orvane {
namespace {

namespace fs = std::filesystem;

TEST(Hosts, missingFileGivesTheDefaults) {
  Hosts h = Hosts::LoadFile("/nonexistent/hosts.txt");
  EXPECT_EQ(h.Get(Hosts::kEspacenet), Hosts().Get(Hosts::kEspacenet));
  EXPECT_FALSE(h.Get(Hosts::kEspacenet).empty());
  EXPECT_EQ(h.ConnectTo(), "");
  EXPECT_TRUE(h.Problems().empty());
}

TEST(Hosts, fileInTheSettingsRootOverridesKeys) {
  fs::path dir = fs::temp_directory_path() / ("orvane-hosts-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "hosts.txt", std::ios::binary)
      << "# test hosts\r\nespacenet = ep.example.test\r\n\r\nconnect_to=127.0.0.1:8123\r\n";
  const char* old = getenv("ORVANE_HOME");
  std::string saved = old ? old : "";
  setenv("ORVANE_HOME", dir.c_str(), 1);
  EXPECT_EQ(Hosts::FilePath(), (dir / "hosts.txt").string());
  Hosts h = Hosts::Load();
  if (old) setenv("ORVANE_HOME", saved.c_str(), 1); else unsetenv("ORVANE_HOME");
  fs::remove_all(dir);
  EXPECT_EQ(h.Get(Hosts::kEspacenet), "ep.example.test");
  EXPECT_EQ(h.ConnectTo(), "127.0.0.1:8123");
  EXPECT_EQ(h.Get(Hosts::kKiprisSearch), Hosts().Get(Hosts::kKiprisSearch));
  EXPECT_TRUE(h.Problems().empty());
}

TEST(Hosts, badLinesAreReportedAndIgnored) {
  Hosts h = Hosts::Parse("nonsense\nfoo=bar\nconnect_to=127.0.0.1\nconnect_to=:80\nipdl=ipdl.example.test\n");
  EXPECT_EQ(h.Problems().size(), 4u);
  EXPECT_EQ(h.ConnectTo(), "");
  EXPECT_EQ(h.Get(Hosts::kIpdl), "ipdl.example.test");
}

TEST(Hosts, addressesJoinHostAndPath) {
  Hosts h = Hosts::Parse("kipris_search=k.test:9005\nuspto_image_domain=.img.test\n");
  EXPECT_EQ(h.Url(Hosts::kKiprisSearch, "/cgi/x"), "http://k.test:9005/cgi/x");
  EXPECT_EQ(h.UsptoImageUrl("patimg1", "/.DImg?a=1"), "http://patimg1.img.test/.DImg?a=1");
}

}  // namespace
}  // namespace orvane
