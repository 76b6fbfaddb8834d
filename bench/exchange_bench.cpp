// How long the UI thread spends receiving a show reply: an 8 KB reply delivered in 64-byte
// chunks through ReceiveData, logging into a sink that drops the text. Printed as milliseconds
// per reply and as a ratio against 20 ms (a frame and a bit: the window must stay responsive).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "exchange/exchange_host.h"
#include "exchange/exchange_state.h"
#include "exchange/receive_path.h"
#include "exchange/work_job.h"

namespace {

class NullHost : public ExchangeHost {
 public:
  size_t WriteToPort(const char*, size_t count) override { return count; }
  void PostLog(const std::string& text) override { logged += text.size(); }
  void PostSetButtons(int, int) override {}
  bool RunOnUiThread(std::function<void()> work) override {
    work();
    return true;
  }
  void AbandonUiHandOvers() override {}
  bool PortIsOpen() const override { return true; }
  bool LoggedIn() const override { return true; }
  int TimeoutFactor() const override { return 1; }
  void SetButtons(int, int) override {}
  void ArmSTimer(int) override {}
  void StopSTimer() override {}
  void ShowReceived(const std::string&) override {}
  ParamTable& Params() override { return params; }
  ListParamTable& ListParams() override { return lists; }
  bool& FiveDioModel() override { return fiveDio; }
  void SaveParams() override {}
  Form* GetForm() override { return nullptr; }
  void ShowMessageBox(const std::string&) override {}

  size_t logged = 0;
  ParamTable params;
  ListParamTable lists;
  bool fiveDio = false;
};

std::string EightKilobyteShowReply() {
  std::string reply = "AT+SHOW\r\n\r\nAccess Point Name:CMNET\r\n";
  for (int i = 0; reply.size() < 8180; ++i) {
    reply += "\r\nParameter " + std::to_string(i) + ":value OK " + std::to_string(i * 7) + "\r\n";
  }
  return reply + "\r\nOK\r\n";
}

}  // namespace

int main() {
  const std::string reply = EightKilobyteShowReply();
  constexpr size_t kChunk = 64;
  constexpr int kRounds = 200;
  NullHost host;
  std::vector<double> perReplyMs;
  for (int round = 0; round < kRounds; ++round) {
    ExchangeState state;
    state.BeginJob(kJobShow, "AT+SHOW\r\n");
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
