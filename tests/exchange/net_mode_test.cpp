// The net mode query fills the "FINDNETMODE" control of a real form built from a skin file.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "exchange/completions.h"
#include "exchange/enqueue_job.h"
#include "exchange/worker.h"
#include "fake_host.h"
#include "temp_dir.h"
#include "ui/skin_window.h"

namespace {

class NetMode : public testing::Test {
 protected:
  static void SetUpTestSuite() { UseTestLanguageFile(); }
  void SetUp() override {
    dir.Write("skin.xml",
              "<Window size=\"300,200\"><VerticalLayout>"
              "<Edit name=\"FINDNETMODE\" text=\"before\"/>"
              "</VerticalLayout></Window>");
    window = std::make_unique<SkinWindow>(dir.Path(), nullptr, nullptr);
    ASSERT_TRUE(window->Load()) << window->LoadError();
  }
  std::string Shown() { return window->Find("FINDNETMODE")->Text(); }

  TempDir dir;
  std::unique_ptr<SkinWindow> window;
};

TEST_F(NetMode, ReplyValueIsShownAndCutTo39Bytes) {
  EXPECT_TRUE(ReadNetMode(*window, "AT+FINDNETMODE\r\n+FINDNETMODE:LTE\r\n\r\nOK\r\n"));
  EXPECT_EQ(Shown(), "LTE");
  EXPECT_TRUE(ReadNetMode(*window, "+FINDNETMODE:" + std::string(50, '4') + "\r\nOK\r\n"));
  EXPECT_EQ(Shown(), std::string(39, '4'));
  EXPECT_FALSE(ReadNetMode(*window, "AT+FINDNETMODE\r\nOK\r\n"));
  EXPECT_EQ(Shown(), std::string(39, '4'));
}

TEST_F(NetMode, WorkerFillsTheControlOnTheUiThread) {
  ExchangeState state;
  FakeHost host(state);
  host.form = window.get();
  host.SetDevice([](FakeHost& h, const std::string& written) {
    if (written == "AT+FINDNETMODE\r\n") {
      h.DeliverLater({"AT+FINDNETMODE\r\n+FINDNETMODE:", "NB-IoT\r\n\r\nOK\r\n"});
    }
  });
  ExchangeWorker worker(state, host);
  worker.Start();
  EnqueueJob(state, host, MakeJob(kJobFindNetMode, "AT+FINDNETMODE\r\n"));
  ASSERT_TRUE(WaitUntil([&] { return Shown() == "NB-IoT"; }));
  worker.Stop();
}

}  // namespace
