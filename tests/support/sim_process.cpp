#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

SimProcess::SimProcess(std::string binDir) : binDir_(std::move(binDir)) {}

SimProcess::~SimProcess() {
  if (pid_ > 0) Stop(SIGTERM, 5000);
  if (!recordPath_.empty()) unlink(recordPath_.c_str());
  if (!ownLink_.empty()) unlink(ownLink_.c_str());  // left behind when the simulator was killed
  if (!tempDir_.empty()) rmdir(tempDir_.c_str());
}

bool SimProcess::Start(const std::vector<std::string>& args, std::string* error, int timeoutMs) {
  auto fail = [&](const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
  };
  if (pid_ > 0) return fail("already started");
  char dirTemplate[] = "/tmp/dtu-sim-test-XXXXXX";
  if (mkdtemp(dirTemplate) == nullptr) return fail("cannot make a temporary folder");
  tempDir_ = dirTemplate;
  recordPath_ = tempDir_ + "/received.bin";

  std::vector<std::string> argv = {binDir_ + "/dtu-sim", "--record", recordPath_};
  // Tests hold the program to what a device accepts; a test about leniency asks for it.
  if (std::find(args.begin(), args.end(), "--lenient") == args.end()) argv.push_back("--strict");
  // A link of this test's own: pty numbers are reused at once, so after an unplug the old
  // /dev/pts path may already be another test's device; the link goes away instead.
  const auto given = std::find(args.begin(), args.end(), "--link");
  if (given == args.end()) {
    ownLink_ = tempDir_ + "/ttyDTU";
    linkPath_ = ownLink_;
    argv.insert(argv.end(), {"--link", ownLink_});
  } else if (given + 1 != args.end()) {
    linkPath_ = *(given + 1);
  }
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargv;
  for (std::string& arg : argv) cargv.push_back(arg.data());
  cargv.push_back(nullptr);

  int toChild[2];
  int fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0) return fail("pipe failed");
  if (pipe2(fromChild, O_CLOEXEC) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return fail("pipe failed");
  }
  pid_ = fork();
  if (pid_ < 0) return fail("fork failed");
  if (pid_ == 0) {
    dup2(toChild[0], STDIN_FILENO);
    dup2(fromChild[1], STDOUT_FILENO);
    execv(cargv[0], cargv.data());
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  stdinFd_ = toChild[1];
  stdoutFd_ = fromChild[0];
  // Writing to a simulator that has died must fail, not kill the test.
  signal(SIGPIPE, SIG_IGN);
  if (WaitForLine("PTY ", timeoutMs).empty()) return fail("no PTY line from " + argv[0]);
  return true;
}

bool SimProcess::ReadLine(std::string& line, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return true;
    }
    if (stdoutFd_ < 0) return false;
    pollfd p{stdoutFd_, POLLIN, 0};
    const int ready = poll(&p, 1, RemainingMs(deadline));
    if (ready <= 0) return false;
    char buffer[1024];
    const ssize_t n = read(stdoutFd_, buffer, sizeof buffer);
    if (n <= 0) {
      close(stdoutFd_);
      stdoutFd_ = -1;
      return false;
    }
    pending_.append(buffer, static_cast<size_t>(n));
  }
}

std::string SimProcess::WaitForLine(const std::string& prefix, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string line;
  while (ReadLine(line, RemainingMs(deadline))) {
    if (line.rfind("PTY ", 0) == 0) ptyPath_ = line.substr(4);
    if (line.rfind(prefix, 0) == 0) return line;
  }
  return {};
}

bool SimProcess::SendControl(const std::string& line, int timeoutMs) {
  if (stdinFd_ < 0) return false;
  const std::string text = line + "\n";
  if (write(stdinFd_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    return false;
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string reply;
  while (ReadLine(reply, RemainingMs(deadline))) {
    if (reply.rfind("PTY ", 0) == 0) ptyPath_ = reply.substr(4);
    if (reply == "ACK " + line) return true;
    if (reply.rfind("ERR ", 0) == 0) return false;
  }
  return false;
}

std::string SimProcess::Status(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  if (stdinFd_ < 0 || write(stdinFd_, "status\n", 7) != 7) return {};
  std::string line = WaitForLine("STATUS ", RemainingMs(deadline));
  WaitForLine("ACK status", RemainingMs(deadline));
  return line.empty() ? line : line.substr(7);
}

std::string SimProcess::Recording() const {
  std::ifstream in(recordPath_, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int SimProcess::Stop(int signal, int timeoutMs) {
  if (pid_ <= 0) return -1;
  if (signal != 0) {
    kill(pid_, signal);
  } else if (stdinFd_ >= 0) {
    close(stdinFd_);
    stdinFd_ = -1;
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  int result = -1;
  while (true) {
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      result = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    if (done < 0 || Clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    usleep(10000);
  }
  pid_ = -1;
  if (stdinFd_ >= 0) close(stdinFd_);
  if (stdoutFd_ >= 0) close(stdoutFd_);
  stdinFd_ = -1;
  stdoutFd_ = -1;
  return result;
}
