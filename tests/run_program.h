#ifndef SORTING_TESTS_RUN_PROGRAM_H
#define SORTING_TESTS_RUN_PROGRAM_H

// Runs a program as a child process for end-to-end tests: its standard output
// comes back through a pipe (or goes to /dev/full, or nowhere), its standard
// input is /dev/null, a pipe the test writes to, or closed; its standard error
// is kept for the test. It starts with SIGPIPE at its default action, as a
// shell starts it. Every wait has a deadline, so a hanging program fails a test
// instead of blocking it.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

// POSIX leaves declaring environ to the program; glibc's <unistd.h> declares it
// too, but only under _GNU_SOURCE, which g++ happens to define.
extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace sorting_test {

class ChildProcess {
 public:
  enum class Input { kDevNull, kPipe, kClosed };
  // /dev/full fails every write with ENOSPC; kClosed leaves descriptor 1 closed.
  enum class Output { kPipe, kDevFull, kClosed };

  ChildProcess(const std::string& path, Input input, Output output = Output::kPipe) {
    // Close-on-exec pipes and file: the child keeps only the descriptors
    // duplicated onto its standard streams.
    int out[2] = {-1, -1};
    int in[2] = {-1, -1};
    if ((output == Output::kPipe && pipe2(out, O_CLOEXEC) != 0) ||
        (input == Input::kPipe && pipe2(in, O_CLOEXEC) != 0))
      return;
    errors_ = std::tmpfile();
    if (errors_ == nullptr || fcntl(fileno(errors_), F_SETFD, FD_CLOEXEC) != 0)
      return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input == Input::kPipe) {
      signal(SIGPIPE, SIG_IGN);  // a write after the child has gone must not end the test
      posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    } else if (input == Input::kDevNull) {
      posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    } else {
      posix_spawn_file_actions_addclose(&actions, STDIN_FILENO);
    }
    if (output == Output::kPipe)
      posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    else if (output == Output::kDevFull)
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
    else
      posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fileno(errors_), STDERR_FILENO);
    // The test may ignore SIGPIPE (see above); the child must not inherit that.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    if (posix_spawn(&pid_, path.c_str(), &actions, &attributes, argv, environ) != 0)
      pid_ = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (output == Output::kPipe) {
      close(out[1]);
      output_fd_ = out[0];
    }
    if (input == Input::kPipe) {
      close(in[0]);
      input_fd_ = in[1];
    }
  }

  ~ChildProcess() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    CloseInput();
    CloseOutput();
    if (errors_ != nullptr) {
      // Passed on, so that a sanitizer's report still shows in the test's log.
      std::cerr << Errors();
      std::fclose(errors_);
    }
  }

  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }

  // Reads standard output until it ends with `suffix`, closes, or the deadline
  // passes; returns everything read so far.
  std::string ReadUntil(const std::string& suffix, std::chrono::milliseconds timeout) {
    return Read(&suffix, timeout);
  }

  // Reads standard output until the program closes it or the deadline passes.
  std::string ReadAll(std::chrono::milliseconds timeout) { return Read(nullptr, timeout); }

  void Write(const std::string& text) {
    if (input_fd_ >= 0 && write(input_fd_, text.data(), text.size()) < 0)
      CloseInput();
  }

  void CloseInput() {
    if (input_fd_ >= 0)
      close(input_fd_);
    input_fd_ = -1;
  }

  // Stops reading standard output, as a reader like `head -n 1` does when it quits.
  void CloseOutput() {
    if (output_fd_ >= 0)
      close(output_fd_);
    output_fd_ = -1;
  }

  // Everything the program has written to its standard error so far.
  std::string Errors() const {
    std::string text;
    char buffer[4096];
    while (errors_ != nullptr) {
      const ssize_t n =
          pread(fileno(errors_), buffer, sizeof buffer, static_cast<off_t>(text.size()));
      if (n <= 0)
        break;
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

  bool Running() {
    if (pid_ <= 0 || exited_)
      return false;
    if (waitpid(pid_, &status_, WNOHANG) == 0)
      return true;
    exited_ = true;
    return false;
  }

  // The exit status, or -1 if the program died from a signal or outlived the
  // deadline (it is then killed).
  int Wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Running()) {
      if (std::chrono::steady_clock::now() >= deadline)
        return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return exited_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }

  // The signal that ended the program, or 0 if it exited or is still running.
  int Signal() const { return exited_ && WIFSIGNALED(status_) ? WTERMSIG(status_) : 0; }

 private:
  // Reads until the output ends with *suffix (or, with none, until it closes).
  std::string Read(const std::string* suffix, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (output_fd_ >= 0 && (suffix == nullptr || !EndsWith(output_, *suffix))) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd ready = {output_fd_, POLLIN, 0};
      if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0)
        break;
      char buffer[4096];
      const ssize_t n = read(output_fd_, buffer, sizeof buffer);
      if (n <= 0)
        break;
      output_.append(buffer, static_cast<std::size_t>(n));
    }
    return output_;
  }

  static bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
  }

  pid_t pid_ = -1;
  int output_fd_ = -1;
  int input_fd_ = -1;
  std::FILE* errors_ = nullptr;
  int status_ = 0;
  bool exited_ = false;
  std::string output_;
};

}  // namespace sorting_test

#endif  // SORTING_TESTS_RUN_PROGRAM_H
