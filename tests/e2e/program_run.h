// Runs a program of the build as a child (fork and exec, no QProcess: its fork beside the
// window's threads confuses the thread checker) and collects its stdout and stderr,
// calling `tick` about every 20 ms while it runs, so that a test can act on the device meanwhile.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct ProgramRun {
  int status = -1;  // the exit status; -1 when it did not end within the limit (it was killed)
  std::string err;
  std::string out;
};

inline ProgramRun RunProgram(std::vector<std::string> argv, int limitMs,
                             const std::function<void()>& tick = {}) {
  ProgramRun run;
  int errPipe[2];
  if (pipe2(errPipe, O_CLOEXEC) != 0) return run;
  int outPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) {
    close(errPipe[0]);
    close(errPipe[1]);
    return run;
  }
  std::vector<char*> cargv;
  for (std::string& arg : argv) cargv.push_back(arg.data());
  cargv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return run;
  if (pid == 0) {
    dup2(errPipe[1], STDERR_FILENO);
    dup2(outPipe[1], STDOUT_FILENO);
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    execv(cargv[0], cargv.data());
    _exit(127);
  }
  close(errPipe[1]);
  close(outPipe[1]);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  int status = 0;
  bool exited = false;
  while (!exited) {
    pollfd fds[2] = {{errPipe[0], POLLIN, 0}, {outPipe[0], POLLIN, 0}};
    if (poll(fds, 2, 20) > 0) {
      char buffer[4096];
      if (fds[0].revents != 0) {
        const ssize_t n = read(errPipe[0], buffer, sizeof buffer);
        if (n > 0) run.err.append(buffer, static_cast<size_t>(n));
      }
      if (fds[1].revents != 0) {
        const ssize_t n = read(outPipe[0], buffer, sizeof buffer);
        if (n > 0) run.out.append(buffer, static_cast<size_t>(n));
      }
    }
    if (tick) tick();
    exited = waitpid(pid, &status, WNOHANG) == pid;
    if (!exited && std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      close(errPipe[0]);
      close(outPipe[0]);
      return run;
    }
  }
  for (;;) {
    char buffer[4096];
    const ssize_t n = read(errPipe[0], buffer, sizeof buffer);
    if (n <= 0) break;
    run.err.append(buffer, static_cast<size_t>(n));
  }
  for (;;) {
    char buffer[4096];
    const ssize_t n = read(outPipe[0], buffer, sizeof buffer);
    if (n <= 0) break;
    run.out.append(buffer, static_cast<size_t>(n));
  }
  close(errPipe[0]);
  close(outPipe[0]);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
