#ifndef SORTING_TESTS_RUN_PROGRAM_H
#define SORTING_TESTS_RUN_PROGRAM_H

// Runs a program as a child process for end-to-end tests: its standard output
// comes back through a pipe, its standard input is /dev/null or a pipe the test
// writes to. Every wait has a deadline, so a hanging program fails a test
// instead of blocking it.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

extern char** environ;

namespace sorting_test {

class ChildProcess {
 public:
  enum class Input { kDevNull, kPipe };

  ChildProcess(const std::string& path, Input input) {
    // Close-on-exec pipes: the child keeps only the ends duplicated onto its
    // standard streams.
    int out[2];
    int in[2] = {-1, -1};
    if (pipe2(out, O_CLOEXEC) != 0 || (input == Input::kPipe && pipe2(in, O_CLOEXEC) != 0))
      return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input == Input::kPipe) {
      signal(SIGPIPE, SIG_IGN);  // a write after the child has gone must not end the test
      posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    } else {
      posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    output_fd_ = out[0];
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
    if (output_fd_ >= 0)
      close(output_fd_);
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

 private:
  // Reads until the output ends with *suffix (or, with none, until it closes).
  std::string Read(const std::string* suffix, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (suffix == nullptr || !EndsWith(output_, *suffix)) {
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
  int status_ = 0;
  bool exited_ = false;
  std::string output_;
};

}  // namespace sorting_test

#endif  // SORTING_TESTS_RUN_PROGRAM_H
