// The Win32 backend on the ports of the test prefix (tools/wine-run.sh): Wine gives COM1..COM4
// and COM10 a device that opens but whose modem lines cannot be read; no other port exists.
#include <gtest/gtest.h>

#include <string>

#include "hw/serial_port.h"

// After hw/port.h, whose constants windows.h defines again as macros.
#include <windows.h>

namespace keldar {
namespace {

DWORD HandleCount() {
  DWORD count = 0;
  ::GetProcessHandleCount(::GetCurrentProcess(), &count);
  return count;
}

// A bare COM10 would be a file of the current folder: only \\.\COM10 reaches the device. It
// opens, its status read fails, it is closed again: every time, with no handle left behind.
TEST(Win32Port, COM10IsReachedAndAPortWithoutStatusIsClosedAgain) {
  const DWORD before = HandleCount();
  for (int i = 0; i < 20; ++i) {
    const PortOpening opening = OpenSerialDevice("COM10");
    EXPECT_EQ(opening.port, nullptr);
    EXPECT_EQ(opening.refusal.reason, PortRefusalReason::NoUart);
  }
  EXPECT_EQ(HandleCount(), before);
}

}  // namespace
}  // namespace keldar
