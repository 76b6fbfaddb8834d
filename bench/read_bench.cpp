// Reading a device: the time from "Load" to the parsed values, against the wire time of the
// bytes exchanged at the chosen baud rate. Runs the real window (offscreen) against dtu-sim,
// which sends at wire speed.
//
//   build/bin/read_bench            prints one line per baud rate
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include "app/main_window.h"
#include "event_loop.h"
#include "exchange/receive_path.h"
#include "sim_process.h"
#include "test_program.h"
#include "texts/language.h"

namespace {

constexpr double kBitsPerByte8N1 = 10.0;

struct Result {
  double elapsedMs = 0;
  double wireMs = 0;
  size_t bytes = 0;
};

bool ReadOnce(int baud, Result* result) {
  SimProcess sim;
  std::string error;
  if (!sim.Start({"--boot-ms", "1000"}, &error)) {
    std::fprintf(stderr, "read_bench: %s\n", error.c_str());
    return false;
  }
  QTemporaryDir dir;
  std::unique_ptr<CZR350FrameWnd> made = MakeTestWindow(dir.path().toStdString() + "/", 0, &error);
  if (!made || !made->StartWorker()) return false;
  CZR350FrameWnd& window = *made;
  bool applied = false;
  window.hooks().showApplied = [&] { applied = true; };
  PumpFor(20);
  window.device().ports().Preselect(sim.PtyPath());
  window.form().FindCombo("BaudRate1")->SelectItem(0);
  ComboControl* rates = window.form().FindCombo("BaudRate1");
  for (int i = 0; i < rates->ItemCount(); ++i) {
    if (rates->ItemText(i) == std::to_string(baud)) rates->SelectItem(i);
  }
  window.device().ToggleConnection();
  if (!PumpUntil([&] { return window.session().LoggedIn(); }, 20000)) return false;
  PumpUntil([&] { return window.form().Find("Load")->IsEnabled(); }, 5000);
  // Let the rest of the setting menu arrive so that only the show reply is measured.
  PumpFor(600);

  QElapsedTimer timer;
  timer.start();
  window.Notify({"click", window.form().Find("Load"), 0, 0});
  if (!PumpUntil([&] { return applied; }, 120000)) return false;
  result->elapsedMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  result->bytes = window.session().Exchange().Received().size() + std::string("AT+SHOW\r\n").size();
  result->wireMs = static_cast<double>(result->bytes) * kBitsPerByte8N1 * 1000.0 / baud;
  return true;
}

// The UI thread's own time for an 8 KB show reply arriving in 64-byte chunks while the reply
// is awaited: the receive path, the log lines it posts and their appending to the log pane.
double ReceiveTimeMs(const std::string& reply) {
  QTemporaryDir dir;
  std::string error;
  std::unique_ptr<CZR350FrameWnd> made = MakeTestWindow(dir.path().toStdString() + "/", 0, &error);
  if (!made) return -1;
  CZR350FrameWnd& window = *made;
  PumpFor(150);  // windowinit, caption texts
  WorkJob show = MakeJob(JobKind::kShow, "AT+SHOW\r\n");
  show.epoch = window.session().Epoch();
  window.session().Exchange().BeginJob(show);
  QElapsedTimer timer;
  timer.start();
  for (size_t at = 0; at < reply.size(); at += 64) {
    const std::string chunk = reply.substr(at, 64);
    ReceiveData(window.session().Exchange(), window.session(), chunk.data(), chunk.size());
  }
  QCoreApplication::processEvents();  // the posted log lines
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::printf("%-8s %8s %10s %10s %12s %8s\n", "baud", "bytes", "wire ms", "load ms", "budget ms",
              "ratio");
  for (int baud : {9600, 115200}) {
    Result r;
    if (!ReadOnce(baud, &r)) {
      std::printf("%-8d failed\n", baud);
      continue;
    }
    // The aim: no more than 1.05 x the wire time plus 20 ms.
    const double budget = 1.05 * r.wireMs + 20.0;
    std::printf("%-8d %8zu %10.1f %10.1f %12.1f %8.3f\n", baud, r.bytes, r.wireMs, r.elapsedMs,
                budget, r.elapsedMs / r.wireMs);
  }

  std::string reply = "AT+SHOW\r\nAccess Point Name:CMNET\r\n";
  while (reply.size() < 8192 - 6) reply += "Some Parameter Label:some value 0123456789\r\n";
  reply += "OK\r\n";
  double best = 1e9;
  for (int i = 0; i < 5; ++i) best = std::min(best, ReceiveTimeMs(reply));
  std::printf(
      "\nreceive %zu bytes in 64-byte chunks, logging included: %.2f ms (ratio to 20 ms: "
      "%.3f)\n",
      reply.size(), best, best / 20.0);
  return 0;
}
