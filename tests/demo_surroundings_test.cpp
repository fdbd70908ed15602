// The built sort_demo where its standard streams fail it: standard input closed,
// standard output the full device /dev/full or closed, or a reader that has gone
// before the first line. Whatever the report says, the program must ignore the
// failed writes, end without a hang, and print nothing on standard error.

#include <signal.h>

#include <chrono>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "tests/run_program.h"

namespace sorting_test {
namespace {

// For reading the output, then again for the exit: within CTest's two minutes.
constexpr std::chrono::milliseconds kDeadline(30000);

using Input = ChildProcess::Input;
using Output = ChildProcess::Output;

struct Surroundings {
  const char* name;
  Input input;
  Output output;
};

std::ostream& operator<<(std::ostream& out, const Surroundings& surroundings) {
  return out << surroundings.name;
}

const Surroundings kSurroundings[] = {
    {"StdinClosed", Input::kClosed, Output::kPipe},
    {"StdoutFull", Input::kDevNull, Output::kDevFull},
    {"StdinClosedStdoutFull", Input::kClosed, Output::kDevFull},
    {"StdoutClosed", Input::kDevNull, Output::kClosed},
};

// How the program ended, for a failure message.
std::string Ending(ChildProcess& demo) {
  if (demo.Running())
    return "still running at the deadline";
  if (demo.Signal() != 0)
    return "ended by signal " + std::to_string(demo.Signal());
  return "exited";
}

class SortDemoSurroundings : public testing::TestWithParam<Surroundings> {};

TEST_P(SortDemoSurroundings, IgnoresFailedWritesAndExitsZero) {
  ChildProcess demo(SORT_DEMO_PATH, GetParam().input, GetParam().output);
  ASSERT_TRUE(demo.started());
  demo.ReadAll(kDeadline);
  EXPECT_EQ(demo.Wait(kDeadline), 0) << Ending(demo);
  EXPECT_EQ(demo.Errors(), "");
}

INSTANTIATE_TEST_SUITE_P(Demo, SortDemoSurroundings, testing::ValuesIn(kSurroundings),
                         [](const testing::TestParamInfo<Surroundings>& info) {
                           return info.param.name;
                         });

// Like `sort_demo | head -n 1` when head is gone before the first line: a
// console program either ends on SIGPIPE, which shells report with no message,
// or ignores the failed write and exits 0.
TEST(SortDemo, EndsQuietlyWhenItsReaderIsGone) {
  ChildProcess demo(SORT_DEMO_PATH, Input::kDevNull);
  ASSERT_TRUE(demo.started());
  demo.CloseOutput();
  const int status = demo.Wait(kDeadline);
  EXPECT_TRUE(status == 0 || demo.Signal() == SIGPIPE)
      << "exit status " << status << ", " << Ending(demo);
  EXPECT_EQ(demo.Errors(), "");
}

}  // namespace
}  // namespace sorting_test
