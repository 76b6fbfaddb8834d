// How closely dtu-sim keeps to the wire speed: the time a show reply takes to arrive on the
// pty, divided by its wire time (bytes times bits per byte over the baud rate). 1.00 is exact;
// a loaded machine reads late, so the figure is only meaningful on a quiet one.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string OwnDirectory() {
  char path[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string text(path, static_cast<size_t>(n));
  return text.substr(0, text.rfind('/'));
}

bool ReadUntil(int fd, std::string& received, const std::string& text, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (received.find(text) == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{fd, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) received.append(buffer, static_cast<size_t>(n));
  }
  return true;
}

struct Case {
  int baud;
  speed_t speed;
  const char* line;
  int bitsPerByte;
};

}  // namespace

int main() {
  const Case cases[] = {
      {9600, B9600, "8N1", 10},   {9600, B9600, "8E1", 11},     {19200, B19200, "8N1", 10},
      {57600, B57600, "8N1", 10}, {115200, B115200, "8N1", 10}, {115200, B115200, "8O2", 12},
  };
  std::printf("%8s %5s %7s %9s %9s %6s\n", "baud", "line", "bytes", "wire s", "took s", "ratio");
  for (const Case& c : cases) {
    SimProcess sim(OwnDirectory());
    std::string error;
    // The pty carries the baud rate but not the parity, so the line code is given.
    if (!sim.Start({"--latency-ms", "0", "--line", c.line, "--model", "zr350v4"}, &error)) {
      std::fprintf(stderr, "cannot start dtu-sim: %s\n", error.c_str());
      return 1;
    }
    const int fd = open(sim.PtyPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, c.speed);
    cfsetospeed(&tio, c.speed);
    tcsetattr(fd, TCSANOW, &tio);
    std::string received;
    bool inMenu = false;
    for (int i = 0; i < 100 && !inMenu; ++i) {
      [[maybe_unused]] ssize_t n = write(fd, "s", 1);
      inMenu = ReadUntil(fd, received, "leave the setting menu\r\n", 300);
    }
    if (!inMenu) {
      std::fprintf(stderr, "no setting menu at %d baud\n", c.baud);
      return 1;
    }
    received.clear();
    const auto start = Clock::now();
    [[maybe_unused]] ssize_t n = write(fd, "AT+SHOW\r\n", 9);
    if (!ReadUntil(fd, received, "\r\nOK\r\n", 60000)) {
      std::fprintf(stderr, "no complete show reply at %d baud\n", c.baud);
      return 1;
    }
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    const double wire = static_cast<double>(received.size()) * c.bitsPerByte / c.baud;
    std::printf("%8d %5s %7zu %9.3f %9.3f %6.3f\n", c.baud, c.line, received.size(), wire, took,
                took / wire);
    close(fd);
  }
  return 0;
}
