// The log pane's share of the UI thread: an 8 KB show reply arriving in 64-byte chunks,
// appended to the real window's log (coloured, with the status line counting the bytes) and
// drawn once, against 20 ms (a frame and a bit: the window must stay responsive). Measured with
// the pane nearly full (200 KB), with and without time stamps, in the UI thread's processor time;
// the skin's plain text pane appended to directly is printed beside it for reference.
//
//   build/bin/log_pane_bench
#include <QApplication>
#include <QTemporaryDir>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/log_pane.h"
#include "app/main_window.h"
#include "test_program.h"
#include "ui/skin_window.h"

namespace {

constexpr size_t kReplyBytes = 8 * 1024;
constexpr size_t kChunk = 64;

// The UI thread's own time, so that other programs sharing the processor do not count.
double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::string ShowLikeReply() {
  std::string reply;
  for (int i = 0; reply.size() < kReplyBytes; ++i)
    reply += "Parameter number " + std::to_string(i) + ":value " + std::to_string(i * 7) + "\r\n";
  reply.resize(kReplyBytes);
  return reply;
}

// `plainPane`: the skin's text pane appended to directly, without kinds, as a reference.
double MedianMs(CZR350FrameWnd& window, const std::string& reply, bool paint,
                bool plainPane = false) {
  RichEditControl* pane = window.form().FindRichEdit("richedit");
  std::vector<double> runs;
  for (int run = 0; run < 15; ++run) {
    window.logStatus().Clear();
    // 200 KB already in the pane.
    const std::string filler(1000, 'x');
    for (int i = 0; i < 200; ++i) window.OnSessionLogOfKind(filler + "\r\n", LogKind::kReceived);
    QApplication::processEvents();
    const double start = ThreadCpuMs();
    if (plainPane) {
      pane->AppendText("send:AT+SHOW\r\n");
      for (size_t at = 0; at < reply.size(); at += kChunk) {
        pane->AppendText(reply.substr(at, kChunk));
        pane->ScrollToEnd();
      }
    } else {
      window.OnSessionLogOfKind("send:AT+SHOW\r\n", LogKind::kSent);
      for (size_t at = 0; at < reply.size(); at += kChunk)
        window.OnSessionLogOfKind(reply.substr(at, kChunk), LogKind::kReceived);
    }
    if (paint) QApplication::processEvents();  // the repaint
    runs.push_back(ThreadCpuMs() - start);
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  std::string error;
  auto window = MakeTestWindow(dir.path().toStdString() + "/", 0, &error);
  if (!window) {
    std::fprintf(stderr, "log_pane_bench: %s\n", error.c_str());
    return 1;
  }
  window->window()->resize(1100, 680);
  window->window()->show();
  const std::string reply = ShowLikeReply();
  MedianMs(*window, reply, true);  // the window settles: its first layouts and timers
  const double appendOnly = MedianMs(*window, reply, false);
  const double reference = MedianMs(*window, reply, false, true);
  const double plain = MedianMs(*window, reply, true);
  window->logStatus().pane()->SetTimestamps(true);
  const double stamped = MedianMs(*window, reply, true);
  std::printf("log pane: appending alone (no repaint): %.2f ms; plain text pane: %.2f ms\n",
              appendOnly, reference);
  std::printf("log pane: 8 KB in 64-byte chunks: %.2f ms; ratio to 20 ms: %.4f\n", plain,
              plain / 20.0);
  std::printf("log pane with time stamps: %.2f ms; ratio to 20 ms: %.4f\n", stamped,
              stamped / 20.0);
  return 0;
}
