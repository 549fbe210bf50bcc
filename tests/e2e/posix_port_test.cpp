// The real POSIX backend against simulated readers behind the syscall shim: the calls that reach
// the kernel's entry points, exclusive use, failures, and whole transfers checked byte for byte.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "data/buffer.h"
#include "devices/open_device.h"
#include "hw/line_driver.h"
#include "hw/linemap.h"
#include "i2c/catalogue.h"
#include "i2c/line_executor.h"
#include "i2c/operations.h"
#include "shim_session.h"
#include "sim/recording_port.h"

namespace keldar::e2e {
namespace {

constexpr const char* kPort0 = "/dev/ttyKELDAR0";
constexpr const char* kPort1 = "/dev/ttyKELDAR1";

class PosixPortTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ShimSession::ShimLoaded()) << "not running under the syscall shim";
  }

  std::unique_ptr<ControlPort> Open(const char* device) {
    PortOpening opening = OpenDevice(device);
    EXPECT_TRUE(opening.port != nullptr) << static_cast<int>(opening.refusal.reason);
    return std::move(opening.port);
  }
  static PortRefusalReason Refused(const std::string& device) {
    const PortOpening opening = OpenDevice(device);
    EXPECT_EQ(opening.port, nullptr);
    return opening.refusal.reason;
  }
};

// Every trace line but the status reads' answers, which depend on the reader's state.
std::vector<std::string> Calls(const std::vector<std::string>& trace) {
  std::vector<std::string> calls;
  for (const auto& line : trace)
    calls.push_back(line.starts_with("TIOCMGET") ? "TIOCMGET" : line);
  return calls;
}

TEST_F(PosixPortTest, EachLineChangeAndStatusReadIsExactlyOneIoctl) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16");
  {
    auto port = Open(kPort0);
    ASSERT_NE(port, nullptr);
    for (const OutputLine line : {OutputLine::Rts, OutputLine::Dtr, OutputLine::Txd}) {
      EXPECT_TRUE(port->SetLine(line, true));
      EXPECT_TRUE(port->SetLine(line, false));
    }
    InputLevels inputs;
    for (int i = 0; i < 3; ++i)
      EXPECT_TRUE(port->ReadInputs(inputs));
    port->Sleep(20);
  }
  EXPECT_EQ(
      Calls(shim.Trace()),
      (std::vector<std::string>{"open /dev/ttyKELDAR0", "TIOCEXCL", "flock LOCK_EX", "TIOCMGET",
                                "TCGETS", "TIOCMBIS RTS", "TIOCMBIC RTS", "TIOCMBIS DTR",
                                "TIOCMBIC DTR", "TIOCSBRK", "TIOCCBRK", "TIOCMGET", "TIOCMGET",
                                "TIOCMGET", "sleep 20", "close /dev/ttyKELDAR0"}));
  // TIOCEXCL, the status read that proves a UART, the settings read (CLOCAL is already set),
  // six line changes, three status reads.
  EXPECT_EQ(shim.Count("ioctl"), 12U);
  EXPECT_EQ(shim.Count("TCSETS"), 0U);
  EXPECT_EQ(shim.Count("flock"), 1U);
  EXPECT_EQ(shim.Count("ioctl_other"), 0U);
  EXPECT_EQ(shim.Count("other"), 0U);  // no data read or written
  EXPECT_EQ(shim.Count("close"), 1U);
}

// The reader with no memory gives SDA back as DTR drives it, on whichever input it is wired to:
// each input line must come back as itself and no other.
TEST_F(PosixPortTest, StatusBitsMapEachInputLine) {
  const std::vector<std::pair<std::string, InputLine>> inputs{{"cts", InputLine::Cts},
                                                              {"dsr", InputLine::Dsr},
                                                              {"ring", InputLine::Ring},
                                                              {"dcd", InputLine::Dcd}};
  for (const auto& [input, line] : inputs) {
    ShimSession shim(std::string(kPort0) + "=sim:24C16,absent,input=" + input);
    auto port = Open(kPort0);
    ASSERT_NE(port, nullptr);
    InputLevels levels = InputLevels::Of({InputLine::Cts, InputLine::Dsr});
    ASSERT_TRUE(port->SetLine(OutputLine::Dtr, true));
    ASSERT_TRUE(port->ReadInputs(levels));
    EXPECT_EQ(levels, InputLevels::Of({line})) << input;
    ASSERT_TRUE(port->SetLine(OutputLine::Dtr, false));
    ASSERT_TRUE(port->ReadInputs(levels));
    EXPECT_EQ(levels, InputLevels{}) << input;
  }
}

// A whole program, read and compare of a 24C16 through real system-call entry points: the
// memory ends up holding the buffer (its image file proves it), and the shim saw exactly the
// calls the primitives made, one for one.
TEST_F(PosixPortTest, ProgramsReadsAndComparesASimulatedMemory) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16,image={dir}/memory.bin");
  CurrentMemory memory;  // 24C16, page mode
  Buffer written{};
  for (size_t i = 0; i < written.size(); ++i)
    written[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  LineMap map;
  sim::RecordingPort recorder;
  {
    auto port = Open(kPort0);
    ASSERT_NE(port, nullptr);
    sim::RecordingPort counted(port.get());
    LineExecutor lines(map, counted);
    lines.PowerOff();
    ASSERT_TRUE(ProgramMemory(lines, memory, written, nullptr).succeeded());
    Buffer read{};
    read.fill(0x55);
    ASSERT_TRUE(ReadMemory(lines, memory, read, nullptr).succeeded());
    EXPECT_TRUE(std::equal(read.begin(), read.begin() + memory.capacity, written.begin()));
    std::vector<uint8_t> scratch(memory.capacity);
    const CompareOutcome compared = CompareMemory(lines, memory, written, scratch, nullptr);
    EXPECT_TRUE(compared.reachable);
    EXPECT_EQ(compared.differences, 0U);
    EXPECT_FALSE(lines.PortFailed());

    const uint64_t escapes = counted.Count(sim::PortEvent::Kind::Line);
    const uint64_t statusReads = counted.Count(sim::PortEvent::Kind::Read);
    port.reset();
    EXPECT_EQ(shim.Count("TIOCMBIS") + shim.Count("TIOCMBIC") + shim.Count("TIOCSBRK") +
                  shim.Count("TIOCCBRK"),
              escapes);
    EXPECT_EQ(shim.Count("TIOCMGET"), statusReads + 1);         // + the opening's
    EXPECT_EQ(shim.Count("ioctl"), escapes + statusReads + 3);  // + TIOCEXCL, TIOCMGET, TCGETS
    EXPECT_EQ(shim.Count("sleep"), counted.Count(sim::PortEvent::Kind::Sleep));
    EXPECT_EQ(shim.Count("ioctl_failed"), 0U);
  }
  const std::vector<uint8_t> image = shim.ReadFile("memory.bin");
  ASSERT_EQ(image.size(), memory.capacity);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), written.begin()));

  // The memory keeps its contents from one opening to the next.
  auto port = Open(kPort0);
  ASSERT_NE(port, nullptr);
  LineExecutor lines(map, *port);
  Buffer read{};
  ASSERT_TRUE(ReadMemory(lines, memory, read, nullptr).succeeded());
  EXPECT_TRUE(std::equal(read.begin(), read.begin() + memory.capacity, written.begin()));
}

TEST_F(PosixPortTest, ASecondOpeningIsRefusedWhileTheFirstHoldsThePort) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16;" + kPort1 + "=sim:24C02");
  auto first = Open(kPort0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Refused(kPort0), PortRefusalReason::Held);
  EXPECT_TRUE(first->SetLine(OutputLine::Rts, true));  // the holder keeps its port

  auto other = Open(kPort1);  // another device is free
  EXPECT_NE(other, nullptr);

  first.reset();
  EXPECT_NE(Open(kPort0), nullptr);  // free again once released
  EXPECT_EQ(shim.Count("refused"), 1U);
}

// Root is not bound by TIOCEXCL: the lock alone must then keep a second opening out.
TEST_F(PosixPortTest, TheLockRefusesASecondOpeningWhenExclusiveModeDoesNot) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16");
  ::setenv("KELDAR_SHIM_AS_ROOT", "1", 1);
  auto first = Open(kPort0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Refused(kPort0), PortRefusalReason::Held);
  EXPECT_TRUE(first->SetLine(OutputLine::Dtr, true));
  first.reset();
  EXPECT_EQ(shim.Count("open"), 2U);
  EXPECT_EQ(shim.Count("flock_refused"), 1U);
  EXPECT_EQ(shim.Count("close"), 2U);  // the refused opening's descriptor is not leaked
}

TEST_F(PosixPortTest, AMissingDeviceFailsAtOnce) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16;/dev/ttyKELDAR2=sim:24C99");
  EXPECT_EQ(Refused("/dev/ttyKELDAR9"), PortRefusalReason::Missing);  // no such path
  EXPECT_EQ(Refused(shim.dir() + "/no-such-port"), PortRefusalReason::Missing);
  EXPECT_EQ(Refused("/dev/ttyKELDAR2"), PortRefusalReason::Missing);  // the shim makes no reader
  EXPECT_EQ(shim.Count("open"), 0U);
  EXPECT_EQ(shim.Count("refused"), 1U);
}

// A USB adapter pulled out mid-operation: from then on every ioctl fails with EIO.
TEST_F(PosixPortTest, APulledOutAdapterFailsEveryCallFromThenOn) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16");
  ::setenv("KELDAR_SHIM_FAIL_AFTER", "7", 1);  // the opening's three and PowerOff's three pass
  auto port = Open(kPort0);
  ASSERT_NE(port, nullptr);
  LineMap map;
  LineExecutor lines(map, *port);
  lines.PowerOff();
  EXPECT_FALSE(lines.PortFailed());
  lines.lines().SetSclHigh();
  EXPECT_TRUE(lines.PortFailed());
  EXPECT_FALSE(port->SetLine(OutputLine::Rts, true));
  InputLevels inputs = InputLevels::Of({InputLine::Ring});
  EXPECT_FALSE(port->ReadInputs(inputs));
  EXPECT_EQ(inputs, InputLevels::Of({InputLine::Ring}));  // left as it was

  CurrentMemory memory;
  Buffer buffer{};
  buffer.fill(0xA5);
  lines.ClearPortFailure();
  const ReadOutcome outcome = ReadMemory(lines, memory, buffer, nullptr);
  EXPECT_FALSE(outcome.succeeded());
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0xA5; }));
  port.reset();
  EXPECT_EQ(shim.Count("ioctl_failed"), shim.Count("ioctl") - 6);
}

// A signal during the 20 ms rest must not cut it short: the backend sleeps the remainder.
TEST_F(PosixPortTest, ASleepInterruptedByASignalStillLastsItsTime) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16");
  auto port = Open(kPort0);
  ASSERT_NE(port, nullptr);
  struct sigaction action {};
  action.sa_handler = [](int) {};  // no SA_RESTART: nanosleep returns EINTR
  struct sigaction previous {};
  ASSERT_EQ(::sigaction(SIGALRM, &action, &previous), 0);
  const itimerval fireOnce{{0, 0}, {0, 5000}};
  ASSERT_EQ(::setitimer(ITIMER_REAL, &fireOnce, nullptr), 0);
  const auto start = std::chrono::steady_clock::now();
  port->Sleep(40);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ::sigaction(SIGALRM, &previous, nullptr);
  EXPECT_GE(elapsed, std::chrono::milliseconds(40));
  port.reset();
  EXPECT_GE(shim.Count("sleep"), 2U);  // interrupted, then resumed
}

TEST_F(PosixPortTest, AFailingExclusiveModeIsAFailedOpening) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16");
  ::setenv("KELDAR_SHIM_FAIL_AFTER", "1", 1);
  EXPECT_EQ(Refused(kPort0), PortRefusalReason::Other);
  EXPECT_EQ(shim.Count("close"), 1U);
}

std::string Pid10(pid_t pid) {
  char text[16];
  std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
  return text;
}

// Most PCs have /dev/ttyS1..3 with no UART behind them: the port opens, its status cannot be read.
TEST_F(PosixPortTest, APortWithNoUartIsRefusedAfterOneStatusReadAndLeavesNoLock) {
  ShimSession shim(std::string(kPort0) + "=phantom");
  const std::string locks = shim.UseLockFolder();
  EXPECT_EQ(Refused(kPort0), PortRefusalReason::NoUart);
  EXPECT_EQ(shim.Trace(),
            (std::vector<std::string>{"open /dev/ttyKELDAR0", "TIOCEXCL", "flock LOCK_EX",
                                      "TIOCMGET EIO", "close /dev/ttyKELDAR0"}));
  EXPECT_TRUE(std::filesystem::is_empty(locks));
}

// minicom and its kin hold a port with a lock file only: the port is not even opened. A lock
// whose process is gone, or that holds no number, is replaced by ours for as long as we hold it.
TEST_F(PosixPortTest, UucpLocksAreHonouredWhenLiveAndReplacedWhenStale) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);
  for (const std::string& held : {Pid10(::getppid()).substr(0, 10) + " minicom user\n",
                                  Pid10(child), std::string("not a number\n")}) {
    ShimSession shim(std::string(kPort0) + "=sim:24C16");
    const std::string lock = shim.UseLockFolder() + "/LCK..ttyKELDAR0";
    std::ofstream(lock) << held;
    PortOpening opening = OpenDevice(kPort0);
    std::unique_ptr<ControlPort>& port = opening.port;
    if (held.find("minicom") != std::string::npos) {
      EXPECT_EQ(port, nullptr);
      EXPECT_EQ(opening.refusal.reason, PortRefusalReason::Locked);
      EXPECT_EQ(opening.refusal.pid, ::getppid());
      EXPECT_TRUE(shim.Trace().empty());
      continue;
    }
    ASSERT_NE(port, nullptr);
    std::ifstream ours(lock);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(ours), {}), Pid10(::getpid()));
    port.reset();
    EXPECT_FALSE(std::filesystem::exists(lock));
  }
}

// An earlier program cleared CLOCAL (stty -clocal, a getty); the setting outlives its opening,
// and a falling DCD then hangs the port up. Our opening sets CLOCAL and puts it back at closing.
TEST_F(PosixPortTest, ClocalIsSetWhileOpenSoDcdCanCarrySdaAndTheSettingsComeBack) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16,input=dcd");
  const int fd = ::open(kPort0, O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  termios settings{};
  ASSERT_EQ(::tcgetattr(fd, &settings), 0);
  settings.c_cflag &= ~static_cast<tcflag_t>(CLOCAL);
  ASSERT_EQ(::tcsetattr(fd, TCSANOW, &settings), 0);
  int dtr = TIOCM_DTR;  // SDA low through DTR: DCD falls
  EXPECT_EQ(::ioctl(fd, TIOCMBIC, &dtr), 0);
  EXPECT_EQ(::ioctl(fd, TIOCMBIS, &dtr), -1);
  EXPECT_EQ(errno, EIO);
  ::close(fd);
  EXPECT_EQ(shim.Count("hangup"), 1U);

  LineMap map;
  map.SetSdaInput(3);
  CurrentMemory memory;
  Buffer buffer{};
  {
    auto port = Open(kPort0);
    ASSERT_NE(port, nullptr);
    LineExecutor lines(map, *port);
    EXPECT_TRUE(ReadMemory(lines, memory, buffer, nullptr).succeeded());
  }
  EXPECT_EQ(shim.Count("hangup"), 1U);
  const std::vector<std::string> trace = shim.Trace();
  const auto at = [&](const std::string& line) {
    return std::find(trace.begin(), trace.end(), line) - trace.begin();
  };
  EXPECT_LT(at("TCSETS clocal"), at("TIOCSBRK"));  // before the first line change
  ASSERT_GE(trace.size(), 2U);
  EXPECT_EQ(trace[trace.size() - 2], "TCSETS -clocal");  // put back, then closed
}

}  // namespace
}  // namespace keldar::e2e
