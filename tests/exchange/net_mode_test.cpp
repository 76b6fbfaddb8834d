// The net mode query: the value in the device's answer, handed to the UI thread.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "exchange/completions.h"
#include "exchange/enqueue_job.h"
#include "exchange/worker.h"
#include "fake_host.h"

namespace {

TEST(NetModeReply, ValueIsTakenToItsLineEndAndCutTo39Bytes) {
  EXPECT_EQ(ExtractNetMode("AT+FINDNETMODE\r\n+FINDNETMODE:LTE\r\n\r\nOK\r\n"), "LTE");
  EXPECT_EQ(ExtractNetMode("+FINDNETMODE:" + std::string(50, '4') + "\r\nOK\r\n"),
            std::string(39, '4'));
  EXPECT_EQ(ExtractNetMode("AT+FINDNETMODE\r\nOK\r\n"), std::nullopt);
  EXPECT_EQ(ExtractNetMode("+FINDNETMODE:LTE"), std::nullopt) << "no line end yet";
  EXPECT_EQ(ExtractNetMode(std::string(101, 'x') + "+FINDNETMODE:LTE\r\n"), std::nullopt);
}

TEST(NetModeReply, WorkerHandsTheModeToTheUiThread) {
  UseTestLanguageFile();
  ExchangeState state;
  FakeHost host(state);
  host.SetDevice([](FakeHost& h, const std::string& written) {
    if (written == "AT+FINDNETMODE\r\n") {
      h.DeliverLater({"AT+FINDNETMODE\r\n+FINDNETMODE:", "NB-IoT\r\n\r\nOK\r\n"});
    }
  });
  ExchangeWorker worker(state, host);
  worker.Start();
  EnqueueJob(state, host, MakeJob(JobKind::kFindNetMode, "AT+FINDNETMODE\r\n"));
  ASSERT_TRUE(WaitUntil([&] { return host.Count("net-mode:NB-IoT") == 1; }));
  worker.Stop();
}

}  // namespace
