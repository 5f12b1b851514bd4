#include "pdf/base/Diagnostics.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace folian {
namespace {

TEST(Diagnostics, scopesRouteToTheirSinkAndRestoreTheOuterOne) {
  DiagnosticSink outer;
  DiagnosticSink inner;
  outer.SetEcho(false);
  inner.SetEcho(false);
  testing::internal::CaptureStderr();
  {
    DiagnosticScope first(outer);
    Diag("outer %d\n", 1);
    {
      DiagnosticScope second(inner);
      DiagnosticObjectScope place(12, 345);
      DiagCode(1006, "inner\n");
    }
    Diag("outer again\n");
  }
  Diag("nobody listens\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "nobody listens\n");

  ASSERT_EQ(outer.Records().size(), 2u);
  EXPECT_EQ(outer.Records()[0].text, "outer 1\n");
  EXPECT_EQ(outer.Records()[1].text, "outer again\n");
  EXPECT_EQ(outer.Records()[1].object, 0) << "the object of an inner scope leaked out";
  ASSERT_EQ(inner.Records().size(), 1u);
  EXPECT_EQ(inner.Records()[0].code, 1006);
  EXPECT_EQ(inner.Records()[0].object, 12);
  EXPECT_EQ(inner.Records()[0].offset, 345);
}

TEST(Diagnostics, echoPrintsTheTextUnchangedAndLongTextsAreWhole) {
  DiagnosticSink sink;
  std::string longText(1000, 'x');
  testing::internal::CaptureStderr();
  {
    DiagnosticScope scope(sink);
    Diag("%s\n", longText.c_str());
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), longText + "\n");
  ASSERT_EQ(sink.Records().size(), 1u);
  EXPECT_EQ(sink.Records()[0].text, longText + "\n");
}

TEST(Diagnostics, recordsAreCappedButCounted) {
  DiagnosticSink sink;
  sink.SetEcho(false);
  DiagnosticScope scope(sink);
  for (int i = 0; i < 5000; ++i) Diag("message %d\n", i);
  EXPECT_EQ(sink.Records().size(), DiagnosticSink::kMaxRecords);
  EXPECT_EQ(sink.Count(), 5000);
}

TEST(Diagnostics, eachThreadHasItsOwnDestination) {
  DiagnosticSink main;
  DiagnosticSink other;
  main.SetEcho(false);
  other.SetEcho(false);
  DiagnosticScope scope(main);
  std::thread worker([&other] {
    DiagnosticScope workerScope(other);
    for (int i = 0; i < 100; ++i) Diag("worker\n");
  });
  for (int i = 0; i < 100; ++i) Diag("main\n");
  worker.join();
  EXPECT_EQ(main.Count(), 100);
  EXPECT_EQ(other.Count(), 100);
  for (const Diagnostic& d : other.Records()) EXPECT_EQ(d.text, "worker\n");
}

}  // namespace
}  // namespace folian
