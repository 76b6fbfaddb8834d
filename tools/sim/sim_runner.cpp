#include "sim_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "writing/config_file.h"

namespace {

// While nobody holds the slave open the master cannot be polled for the opening (it reports
// POLLHUP at once), so the loop looks again after this pause instead of spinning.
constexpr int64_t kHangupPollNs = 10'000'000;
// Bytes leave in bursts of at least this length, so fast lines do not wake once per byte.
constexpr int64_t kMinBurstNs = 1'000'000;
// Closing the master discards what the program has not read yet; the cut-off reply stays
// readable this long before the port goes away.
constexpr int64_t kUnplugGraceNs = 100'000'000;

int gSignalPipe[2] = {-1, -1};

void OnSignal(int signal) {
  const char byte = static_cast<char>(signal);
  const int saved = errno;
  [[maybe_unused]] ssize_t n = write(gSignalPipe[1], &byte, 1);
  errno = saved;
}

bool InstallSignals() {
  if (pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGUSR1, SIGTERM, SIGINT}) sigaction(signal, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
  return true;
}

const char* ModeName(DeviceMode mode) {
  switch (mode) {
    case DeviceMode::kOff:
      return "off";
    case DeviceMode::kBooting:
      return "booting";
    case DeviceMode::kData:
      return "data";
    case DeviceMode::kSetting:
      return "setting";
  }
  return "";
}

}  // namespace

SimRunner::SimRunner(const SimOptions& options, const DeviceModel& model)
    : options_(options),
      core_(model,
            CoreTimings{options.bootMs, options.idleTimeoutMs, options.latencyMs,
                        options.promptPeriodMs},
            options.strict ? Strictness::kStrict : Strictness::kLenient) {
  startNs_ = NowNs();
}

SimRunner::~SimRunner() {
  RemoveLink();
  if (recordFd_ >= 0) close(recordFd_);
}

int64_t SimRunner::NowNs() const {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec - startNs_;
}

void SimRunner::Print(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

bool SimRunner::Start() {
  if (!options_.configFile.empty()) {
    std::string text;
    std::string error;
    if (!ReadConfigFileFrom(options_.configFile, &text, &error)) {
      std::fprintf(stderr, "dtu-sim: cannot read %s: %s\n", options_.configFile.c_str(),
                   error.c_str());
      return false;
    }
    LoadReport report = core_.config().LoadShowText(text);
    if (!report.found) {
      std::fprintf(stderr, "dtu-sim: %s holds no configuration (no \"Access Point Name:\")\n",
                   options_.configFile.c_str());
      return false;
    }
    for (const std::string& problem : report.problems) {
      std::fprintf(stderr, "dtu-sim: %s: value refused, factory value kept: %s\n",
                   options_.configFile.c_str(), problem.c_str());
    }
  }
  for (const std::string& words : options_.faults) {
    std::string message;
    if (!ApplyFaultCommand(core_.faults(), words, message)) {
      std::fprintf(stderr, "dtu-sim: %s\n", message.c_str());
      return false;
    }
  }
  if (!options_.recordFile.empty()) {
    recordFd_ = open(options_.recordFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (recordFd_ < 0) {
      std::fprintf(stderr, "dtu-sim: cannot open %s: %s\n", options_.recordFile.c_str(),
                   std::strerror(errno));
      return false;
    }
  }
  if (!InstallSignals()) {
    std::fprintf(stderr, "dtu-sim: cannot set up signals: %s\n", std::strerror(errno));
    return false;
  }
  if (!OpenPort()) return false;
  core_.PowerOn(CoreMs(NowNs()));
  return true;
}

bool SimRunner::OpenPort() {
  std::string error;
  if (!port_.Open(error)) {
    std::fprintf(stderr, "dtu-sim: %s\n", error.c_str());
    return false;
  }
  slaveHeld_ = false;
  // The link first: whoever reads the PTY line may use the link at once.
  UpdateLink();
  Print("PTY " + port_.slavePath());
  return true;
}

void SimRunner::UpdateLink() {
  if (options_.linkPath.empty()) return;
  struct stat st {};
  // Replace our own earlier link (or a stale one), never a regular file.
  if (lstat(options_.linkPath.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      std::fprintf(stderr, "dtu-sim: %s exists and is not a symlink; no link made\n",
                   options_.linkPath.c_str());
      return;
    }
    unlink(options_.linkPath.c_str());
  }
  if (symlink(port_.slavePath().c_str(), options_.linkPath.c_str()) != 0) {
    std::fprintf(stderr, "dtu-sim: cannot link %s: %s\n", options_.linkPath.c_str(),
                 std::strerror(errno));
    return;
  }
  linkMade_ = true;
}

void SimRunner::RemoveLink() {
  if (linkMade_) unlink(options_.linkPath.c_str());
  linkMade_ = false;
}

void SimRunner::Reboot(int64_t nowNs) {
  pacer_.Clear();
  writeBuffer_.clear();
  core_.PowerOn(CoreMs(nowNs));
}

void SimRunner::Unplug() {
  unplugAtNs_ = kNoWake;
  // The adapter's link goes with it, as udev removes /dev/serial/by-id entries: a program that
  // opens the link now fails instead of reaching whatever pty takes the freed number next.
  RemoveLink();
  port_.Close();
  pacer_.Clear();
  writeBuffer_.clear();
  slaveHeld_ = false;
  core_.faults().unplugAfterBytes = -1;
  Print("UNPLUGGED");
}

void SimRunner::ApplyLineSettings() {
  int baud = options_.baud > 0 ? options_.baud : 115200;
  LineCode code = options_.line;
  if (options_.baud <= 0 || !options_.lineFixed) {
    int ptyBaud = baud;
    LineCode ptyCode = code;
    if (port_.ReadLineSettings(ptyBaud, ptyCode)) {
      if (options_.baud <= 0) baud = ptyBaud;
      if (!options_.lineFixed) code = ptyCode;
    }
  }
  pacer_.SetByteTime(ByteTimeNs(baud, code));
  pacer_.SetChunking(core_.faults().chunkBytes,
                     static_cast<int64_t>(core_.faults().chunkGapMs) * 1'000'000);
}

void SimRunner::TrackSlave(int64_t nowNs) {
  if (!port_.IsOpen()) return;
  const bool held = port_.SlaveHeld();
  if (held == slaveHeld_) return;
  slaveHeld_ = held;
  if (held) {
    // A program opened the port: like a device powered by the port, or one the user resets
    // while connecting, it boots so that the program sees the boot prompt.
    if (options_.rebootOnOpen) Reboot(nowNs);
  } else {
    // Nobody listens: what was on its way is lost, as on an unplugged cable.
    pacer_.Clear();
    writeBuffer_.clear();
  }
}

void SimRunner::PumpOutput(int64_t nowNs) {
  const int64_t nowMs = CoreMs(nowNs);
  core_.Advance(nowMs);
  std::string out = core_.TakeOutput(nowMs);
  // The device talks to nobody (or to a cable being pulled): the bytes are dropped.
  if (!Listening() || unplugAtNs_ != kNoWake) return;
  if (!out.empty()) {
    if (pacer_.Empty() && writeBuffer_.empty()) ApplyLineSettings();
    pacer_.Push(out, nowNs);
  }
  writeBuffer_ += pacer_.TakeDue(nowNs);
  FlushWrites();
}

void SimRunner::FlushWrites() {
  while (!writeBuffer_.empty() && port_.IsOpen() && unplugAtNs_ == kNoWake) {
    size_t count = writeBuffer_.size();
    const int64_t unplugAfter = core_.faults().unplugAfterBytes;
    if (unplugAfter >= 0) count = std::min<size_t>(count, static_cast<size_t>(unplugAfter));
    if (count > 0) {
      const ssize_t n = write(port_.fd(), writeBuffer_.data(), count);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (errno == EIO) slaveHeld_ = false;  // the program closed the port meanwhile
        return;                                // EAGAIN: the loop waits for POLLOUT
      }
      writeBuffer_.erase(0, static_cast<size_t>(n));
      bytesSent_ += static_cast<uint64_t>(n);
      if (unplugAfter < 0) continue;
      core_.faults().unplugAfterBytes = unplugAfter - n;
      if (unplugAfter - n > 0) continue;
    }
    // The cable comes out here: nothing more is sent, the port closes after a moment.
    writeBuffer_.clear();
    pacer_.Clear();
    unplugAtNs_ = NowNs() + kUnplugGraceNs;
  }
}

void SimRunner::ReadPort(int64_t nowNs) {
  char buffer[4096];
  while (port_.IsOpen()) {
    const ssize_t n = read(port_.fd(), buffer, sizeof buffer);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      return;  // EAGAIN, or EIO once the program has closed the slave
    }
    if (recordFd_ >= 0) {
      for (ssize_t done = 0; done < n;) {
        const ssize_t w = write(recordFd_, buffer + done, static_cast<size_t>(n - done));
        if (w <= 0) break;
        done += w;
      }
    }
    core_.Receive(std::string_view(buffer, static_cast<size_t>(n)), CoreMs(nowNs));
  }
}

void SimRunner::ReadControl(int64_t nowNs) {
  char buffer[1024];
  const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
  if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
    stdinOpen_ = false;
    quit_ = true;  // the controlling test or person is gone
    return;
  }
  if (n < 0) return;
  controlBuffer_.append(buffer, static_cast<size_t>(n));
  size_t end;
  while ((end = controlBuffer_.find('\n')) != std::string::npos) {
    std::string line = controlBuffer_.substr(0, end);
    controlBuffer_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    HandleControl(line, nowNs);
  }
}

void SimRunner::HandleControl(const std::string& line, int64_t nowNs) {
  if (line.empty()) return;
  if (line == "reboot") {
    Reboot(nowNs);
  } else if (line == "unplug") {
    if (port_.IsOpen()) Unplug();
  } else if (line == "replug") {
    port_.Close();
    if (!OpenPort()) {
      Print("ERR cannot create a new pty");
      return;
    }
    Reboot(nowNs);
  } else if (line.rfind("flood ", 0) == 0) {
    size_t count = 0;
    if (!ParseFloodCount(line.substr(6), count)) {
      Print("ERR flood takes a byte count from 1 to 16777216");
      return;
    }
    // Noise on the line, at the wire speed, behind whatever is on its way.
    if (Listening() && unplugAtNs_ == kNoWake) {
      if (pacer_.Empty() && writeBuffer_.empty()) ApplyLineSettings();
      pacer_.Push(NoiseBytes(count, static_cast<uint64_t>(nowNs)), nowNs);
    }
  } else if (line == "status") {
    Print(std::string("STATUS mode=") + ModeName(core_.mode()) +
          " port=" + (port_.IsOpen() ? "open" : "closed") +
          " slave=" + (slaveHeld_ ? "held" : "free") + " sent=" + std::to_string(bytesSent_));
  } else if (line == "quit") {
    quit_ = true;
  } else if (line.rfind("fault ", 0) == 0) {
    std::string message;
    if (!ApplyFaultCommand(core_.faults(), line.substr(6), message)) {
      Print("ERR " + message);
      return;
    }
    pacer_.SetChunking(core_.faults().chunkBytes,
                       static_cast<int64_t>(core_.faults().chunkGapMs) * 1'000'000);
  } else {
    Print("ERR unknown control command: " + line);
    return;
  }
  Print("ACK " + line);
}

int SimRunner::Run() {
  stdinOpen_ = options_.stdinControl;
  while (!quit_) {
    int64_t now = NowNs();
    if (now >= unplugAtNs_) Unplug();
    TrackSlave(now);
    PumpOutput(now);

    int64_t wake = std::min(pacer_.NextWakeNs(kMinBurstNs), kNoWake);
    const int64_t coreNext = core_.NextDeadline();
    if (coreNext != kNoDeadline) wake = std::min(wake, coreNext * 1'000'000 + 999'999);
    if (port_.IsOpen() && !slaveHeld_) wake = std::min(wake, now + kHangupPollNs);
    wake = std::min(wake, unplugAtNs_);

    pollfd fds[3];
    nfds_t count = 0;
    fds[count++] = {gSignalPipe[0], POLLIN, 0};
    const int stdinIndex = stdinOpen_ ? static_cast<int>(count) : -1;
    if (stdinOpen_) fds[count++] = {STDIN_FILENO, POLLIN, 0};
    const int portIndex = Listening() ? static_cast<int>(count) : -1;
    if (Listening()) {
      const short events = static_cast<short>(POLLIN | (writeBuffer_.empty() ? 0 : POLLOUT));
      fds[count++] = {port_.fd(), events, 0};
    }
    timespec timeout{};
    timespec* timeoutPtr = nullptr;
    if (wake != kNoWake) {
      const int64_t wait = std::max<int64_t>(wake - now, 0);
      timeout.tv_sec = wait / 1'000'000'000;
      timeout.tv_nsec = wait % 1'000'000'000;
      timeoutPtr = &timeout;
    }
    if (ppoll(fds, count, timeoutPtr, nullptr) < 0 && errno != EINTR) {
      std::fprintf(stderr, "dtu-sim: poll failed: %s\n", std::strerror(errno));
      return 1;
    }
    now = NowNs();
    if (fds[0].revents & POLLIN) {
      char signals[16];
      const ssize_t n = read(gSignalPipe[0], signals, sizeof signals);
      for (ssize_t i = 0; i < n; ++i) {
        if (signals[i] == SIGUSR1) {
          Reboot(now);
        } else {
          quit_ = true;
        }
      }
    }
    if (stdinIndex >= 0 && (fds[stdinIndex].revents & (POLLIN | POLLHUP | POLLERR))) {
      ReadControl(now);
    }
    if (portIndex >= 0 && port_.IsOpen()) {
      if (fds[portIndex].revents & POLLIN) ReadPort(now);
      if (fds[portIndex].revents & POLLOUT) FlushWrites();
    }
  }
  return 0;
}
