// Two figures of the command exchange, printed as ratios:
//  - the UI thread's time to receive an 8 KB show reply delivered in 64-byte chunks through
//    ReceiveData, logging into a sink that drops the text, against 20 ms (a frame and a bit:
//    the window must stay responsive);
//  - a burst of 50 accepted writes against dtu-sim on a pty, through the real serial driver and
//    worker, against the sum of the answers' wire times (echo and "OK" line at 115200 baud 8N1,
//    which the simulator paces) plus its latency per command. Near 1 means the exchange adds
//    next to nothing to what the device itself takes.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "exchange/enqueue_job.h"
#include "exchange/exchange_host.h"
#include "exchange/exchange_state.h"
#include "exchange/receive_path.h"
#include "exchange/worker.h"
#include "fake_host.h"
#include "serial/serial_port.h"
#include "sim_process.h"
#include "writing/work_job.h"

namespace {

class NullHost : public ExchangeHost {
 public:
  size_t WriteToPort(const char*, size_t count) override { return count; }
  void PostLog(const std::string& text) override { logged += text.size(); }
  void PostExchangeEvent(ExchangeEvent) override {}
  bool RunOnUiThread(std::function<void()> work) override {
    work();
    return true;
  }
  void AbandonUiHandOvers() override {}
  bool PortIsOpen() const override { return true; }
  bool LoggedIn() const override { return true; }
  int TimeoutFactor() const override { return 1; }
  void OnExchangeEvent(ExchangeEvent) override {}
  void StopSTimer() override {}
  void AnswerBootPrompt() override {}
  void ShowReceived(const std::string&) override {}
  ParamTable& Params() override { return params; }
  ListParamTable& ListParams() override { return lists; }
  DeviceFacts& Facts() override { return facts; }
  void LoadReadBack(const std::string&, const ShowReplyResult&) override {}
  void NetModeReceived(const std::string&) override {}
  void ShowMessageBox(const std::string&) override {}

  size_t logged = 0;
  ParamTable params;
  ListParamTable lists;
  DeviceFacts facts;
};

std::string EightKilobyteShowReply() {
  std::string reply = "AT+SHOW\r\n\r\nAccess Point Name:CMNET\r\n";
  for (int i = 0; reply.size() < 8180; ++i) {
    reply += "\r\nParameter " + std::to_string(i) + ":value OK " + std::to_string(i * 7) + "\r\n";
  }
  return reply + "\r\nOK\r\n";
}

int ReceiveBench() {
  const std::string reply = EightKilobyteShowReply();
  constexpr size_t kChunk = 64;
  constexpr int kRounds = 200;
  NullHost host;
  std::vector<double> perReplyMs;
  for (int round = 0; round < kRounds; ++round) {
    ExchangeState state;
    BeginTestJob(state, JobKind::kShow, "AT+SHOW\r\n");
    const auto start = std::chrono::steady_clock::now();
    for (size_t at = 0; at < reply.size(); at += kChunk) {
      const size_t n = std::min(kChunk, reply.size() - at);
      ReceiveData(state, host, reply.data() + at, n);
    }
    const auto end = std::chrono::steady_clock::now();
    const bool complete = state.Inspect([](const ReplyCollection& c) { return c.replyReady; });
    if (!complete) {
      std::fprintf(stderr, "the reply did not complete\n");
      return 1;
    }
    perReplyMs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  std::sort(perReplyMs.begin(), perReplyMs.end());
  const double median = perReplyMs[perReplyMs.size() / 2];
  std::printf("receive path: %zu-byte show reply in %zu-byte chunks: median %.3f ms per reply\n",
              reply.size(), kChunk, median);
  std::printf("receive path: ratio to 20 ms: %.4f\n", median / 20.0);
  return 0;
}

// The fake window of the tests with the real port and timer 101 behind it.
class PortHost : public FakeHost {
 public:
  explicit PortHost(ExchangeState& state) : FakeHost(state) {
    sTimer.callOnTimeout([this] { SendSTick(*this); });
  }
  size_t WriteToPort(const char* data, size_t count) override {
    return port.WriteBytes(data, count);
  }
  void PostLog(const std::string&) override {}
  void AnswerBootPrompt() override {
    SendSTick(*this);
    if (!sTimer.isActive()) sTimer.start(500);
  }
  void StopSTimer() override { sTimer.stop(); }

  CSerialPort port;
  QTimer sTimer;
};

// Runs the event loop (dispatching every event as it comes, unlike the tests' polling wait) until
// `done` holds or the deadline passed.
bool RunLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
  QEventLoop loop;
  QTimer check;
  const auto end = std::chrono::steady_clock::now() + deadline;
  check.callOnTimeout([&] {
    if (done() || std::chrono::steady_clock::now() > end) loop.quit();
  });
  check.start(1);
  loop.exec();
  return done();
}

int SimBurstBench() {
  constexpr int kWrites = 50;
  constexpr int kBaud = 115200;
  constexpr double kLatencyMs = 5;
  SimProcess sim;
  std::string error;
  if (!sim.Start({"--latency-ms", "5"}, &error)) {
    std::fprintf(stderr, "dtu-sim did not start: %s\n", error.c_str());
    return 1;
  }
  ExchangeState state;
  PortHost host(state);
  host.loggedIn = false;
  AwaitSettingMenu(state);
  int openError = 0;
  if (!host.port.OpenPort(
          sim.PtyPath(), LineSettings{.baud = kBaud},
          [&](const char* data, size_t count) { ReceiveData(state, host, data, count); },
          [](int) {}, &openError) ||
      !host.port.StartMonitor()) {
    std::fprintf(stderr, "the pty did not open: errno %d\n", openError);
    return 1;
  }
  host.sTimer.start(300);
  if (!WaitUntil([&] { return host.loggedIn; })) {
    std::fprintf(stderr, "no login\n");
    return 1;
  }
  ExchangeWorker worker(state, host);
  worker.Start();
  WaitUntil([&] { return host.Count("event:idle") == 1; });

  double wireMs = 0;
  const double msPerByte = 10.0 * 1000.0 / kBaud;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kWrites; ++i) {
    WorkJob job = MakeJob(JobKind::kWrite, "AT+APN=apn" + std::to_string(100 + i) + "\r\n");
    job.name = "Access Point Name";
    job.value = "apn" + std::to_string(100 + i);
    // What the simulator paces: the echo and "\r\nOK\r\n" back (the command itself crosses the
    // pty unpaced), plus its processing latency.
    wireMs += static_cast<double>(job.command.size() + 6) * msPerByte + kLatencyMs;
    EnqueueJob(state, host, job);
  }
  if (!RunLoopUntil([&] { return host.Count("event:idle") == 2; }, std::chrono::seconds(120))) {
    std::fprintf(stderr, "the burst did not finish\n");
    return 1;
  }
  const double totalMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  worker.Stop();
  host.port.ClosePort();
  std::printf("sim burst: %d accepted writes in %.1f ms; wire time plus latency %.1f ms\n", kWrites,
              totalMs, wireMs);
  std::printf("sim burst: ratio to wire time plus latency: %.2f\n", totalMs / wireMs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int receive = ReceiveBench();
  const int burst = SimBurstBench();
  return receive != 0 ? receive : burst;
}
