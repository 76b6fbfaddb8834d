// The worker and the receive path against the real dtu-sim over a real pseudo-terminal, opened
// with the program's own serial driver: the login by the "s" stream, writes accepted and
// refused, a show reply, a signal query, and exactly the bytes the device received.
#include <gtest/gtest.h>

#include <QTimer>

#include <memory>
#include <string>

#include "catalogue/show_reply_parser.h"
#include "exchange/enqueue_job.h"
#include "exchange/receive_path.h"
#include "exchange/worker.h"
#include "fake_host.h"
#include "serial/serial_port.h"
#include "sim_process.h"

namespace {

// The fake window with a real port and a real timer 101 behind it.
class PortHost : public FakeHost {
 public:
  explicit PortHost(ExchangeState& state) : FakeHost(state) {
    sTimer.callOnTimeout([this] { SendSTick(*this); });
  }
  size_t WriteToPort(const char* data, size_t count) override {
    FakeHost::WriteToPort(data, count);
    return port.WriteBytes(data, count);
  }
  void AnswerBootPrompt() override {
    FakeHost::AnswerBootPrompt();
    SendSTick(*this);
    if (!sTimer.isActive()) sTimer.start(500);
  }
  void StopSTimer() override {
    FakeHost::StopSTimer();
    sTimer.stop();
  }
  void ShowReceived(const std::string& reply) override {
    FakeHost::ShowReceived(reply);
    ParseShowReply(reply.data(), reply.size(), params, lists, facts.fiveDioModel);
  }

  CSerialPort port;
  QTimer sTimer;
};

WorkJob Write(const std::string& name, const std::string& stem, const std::string& value) {
  WorkJob job = MakeJob(JobKind::kWrite, stem + "=" + value + "\r\n");
  job.name = name;
  job.value = value;
  return job;
}

TEST(ExchangeWithSim, LogsInWritesReadsAndSendsExactlyTheCommands) {
  UseTestLanguageFile();
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--model", "zr350v4", "--boot-ms", "3000"}, &error)) << error;

  ExchangeState state;
  PortHost host(state);
  host.loggedIn = false;
  // Opening the port: the setting menu of the booting device is awaited and the "s" stream runs.
  AwaitSettingMenu(state);
  int openError = 0;
  ASSERT_TRUE(host.port.OpenPort(
      sim.PtyPath(), LineSettings{.baud = 115200},
      [&](const char* data, size_t count) { ReceiveData(state, host, data, count); }, [](int) {},
      &openError))
      << openError;
  ASSERT_TRUE(host.port.StartMonitor());
  host.sTimer.start(300);
  ASSERT_TRUE(WaitUntil([&] { return host.loggedIn; }));
  EXPECT_FALSE(host.sTimer.isActive());

  ExchangeWorker worker(state, host);
  worker.Start();
  ASSERT_TRUE(WaitUntil([&] { return host.Count("event:idle") == 1; }))
      << testing::PrintToString(host.Events());
  EXPECT_EQ(EnqueueJob(state, host, Write("Access Point Name", "AT+APN", "OKNET")),
            EnqueueResult::kQueued);
  EnqueueJob(state, host, Write("Server's Port", "AT+PORT", "99999"));
  EnqueueJob(state, host, Write("Server's Port", "AT+PORT", "1\r\nAT+FACTORY"));
  EnqueueJob(state, host, MakeJob(JobKind::kShow, "AT+SHOW\r\n"));
  EnqueueJob(state, host, MakeJob(JobKind::kSignal, "At+CSQ\r\n"));
  const bool idleAgain = WaitUntil([&] { return host.Count("event:idle") >= 2; });
  if (!idleAgain) {
    for (const std::string& e : host.Events()) ADD_FAILURE() << e;
  }
  ASSERT_TRUE(idleAgain);
  worker.Stop();
  host.port.ClosePort();

  EXPECT_EQ(host.EventsStartingWith("log:Save"),
            (std::vector<std::string>{"log:SaveSuccess\r\n", "log:SaveError\r\n"}));
  EXPECT_EQ(host.Count("log:OutTime\r\n"), 0u);
  ASSERT_EQ(host.EventsStartingWith("show-received:").size(), 1u);
  EXPECT_EQ(host.params["Access Point Name"].value, "OKNET");
  EXPECT_NE(host.params["Server's Port"].value, "99999");
  EXPECT_TRUE(host.facts.fiveDioModel);
  // The signal query's answer reached the log pane (in however many chunks it came).
  std::string logged;
  for (const std::string& line : host.EventsStartingWith("log:")) logged += line.substr(4);
  EXPECT_NE(logged.find("+CSQ: "), std::string::npos);

  // The device received the "s" stream up to its menu, then every accepted job's command once,
  // in order, and nothing of the refused value.
  const std::string recording = sim.Recording();
  const size_t streamEnd = recording.find_first_not_of('s');
  ASSERT_NE(streamEnd, std::string::npos);
  EXPECT_GE(streamEnd, 1u);
  EXPECT_EQ(recording.substr(streamEnd), "AT+APN=OKNET\r\nAT+PORT=99999\r\nAT+SHOW\r\nAt+CSQ\r\n");
}

}  // namespace
