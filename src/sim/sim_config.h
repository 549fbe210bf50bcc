// What a "sim:" device string describes: the memory fitted in the simulated reader, how the
// reader is wired, where its contents and its bus trace go, and the faults it suffers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace keldar::sim {

enum class Wiring : uint8_t {
  Standard,  // Valim, SCL and SDA straight from the port lines
  InSitu,    // transistors invert SCL out and SDA both ways; Valim is not inverted
};

enum class StuckSda : uint8_t { None, Low, High };

// What a part does with a write while its WP pin is high, vendor by vendor.
enum class WriteProtect : uint8_t {
  None,
  Nack,   // ST M24Cxx, onsemi CAT24Cxx: addresses acknowledged, data bytes refused
  Ack,    // Microchip 24LCxx, Atmel AT24C..D/E: everything acknowledged, nothing written
  Upper,  // Microchip 24C02A/04A: the upper half refuses its data bytes, the lower half is written
};

// Where a sequential read wraps: at the end of the memory (most parts) or at the end of the
// 256-byte block its device byte selects (older 24C04A-type parts).
enum class Rollover : uint8_t { Memory, Block };

// The datasheet speed class whose bus timing the memory checks; Unchecked takes any timing.
enum class BusSpeed : uint8_t { Unchecked, Standard100k, Fast400k, FastPlus1m };

// What stands between the program and the reader: the serial port itself, or an FTDI cable
// driven in synchronous bit-bang mode, the program's real bit-bang port over a model of the chip.
enum class Adapter : uint8_t { SerialPort, Ft232r };

// How the fitted part differs from the catalogue's generic type.
struct ChipVariant {
  uint32_t pageSize = 0;  // page=N: the part's own page size; 0 takes the catalogue's
  Rollover rollover = Rollover::Memory;
};

// A native UART takes a few microseconds per control-line ioctl; a USB adapter far more.
inline constexpr uint64_t kDefaultCallCostNs = 4'000;
inline constexpr uint64_t kDefaultWriteCycleNs = 5'000'000;
// A USB full-speed round trip: a bulk packet out to the chip and a packet back.
inline constexpr uint64_t kDefaultUsbRoundTripNs = 1'000'000;

// Faults read by the simulated reader at every event: tests may change them at any time.
struct SimFaults {
  WriteProtect writeProtect = WriteProtect::None;  // wp[=nack|ack|upper]
  bool endlessWriteCycle = false;                  // busy: a started write cycle never ends
  int64_t busyPolls = -1;  // busy-polls=N: each write cycle ends once N polls were refused
  StuckSda stuckSda = StuckSda::None;  // stuck=low|high
  int64_t refusedAddress = -1;         // refuse=ADDR: a data byte aimed at ADDR is refused
  int32_t refusedByte = 0;  // nack=N: the N-th byte after every start is refused (1 = device byte)
  // pullout=N: every port call from the N-th on (counting all calls, sleeps too) fails; behind
  // an adapter, every USB transfer from the N-th after the opening on. 0 never.
  uint64_t pullOutCall = 0;
};

// Another memory on the same bus, as on a board that holds several (board=TYPE@PINS+...).
struct BoardPart {
  int32_t typeIndex;
  int32_t pins;
};

struct SimConfig {
  int32_t typeIndex = 5;  // the memory fitted, an index of kMemoryTypes
  int32_t pins = 0;       // its A2 A1 A0 pins
  Wiring wiring = Wiring::Standard;
  int32_t outputArrangement = 0;  // which physical line carries Valim, SCL, SDA (kReaderWirings)
  int32_t sdaInput = 0;           // which input carries SDA back: 0 CTS, 1 DSR, 2 RING, 3 DCD
  bool absent = false;            // a reader with no memory fitted
  bool noReader = false;          // nothing plugged into the port
  std::string imagePath;          // contents loaded at opening and saved at closing; "" none
  std::string vcdPath;            // bus trace; "" none
  uint64_t callCostNs = kDefaultCallCostNs;  // simulated time taken by each port call
  bool realTime = false;  // pace=real: each call also takes its simulated time on the wall clock
  uint64_t writeCycleNs = kDefaultWriteCycleNs;  // the memory's internal write time
  ChipVariant variant;
  BusSpeed speed = BusSpeed::Unchecked;
  SimFaults faults;
  Adapter adapter = Adapter::SerialPort;             // adapter=ft232r
  uint32_t bitBangRate = 0;                          // bitbang-rate=HZ; 0: the port's own
  uint64_t usbRoundTripNs = kDefaultUsbRoundTripNs;  // usb-latency=US
  // chip-clock=PERCENT: the cable clocks its bytes at this share of the rate its baud divisor
  // gives, as a rate read four times off (400) or a slower clock (50) would.
  uint32_t chipClockPercent = 100;
  // Other memories on the same bus, each with contents of its own; faults touch none of them.
  std::vector<BoardPart> board;
};

// True when the device name selects a simulated reader ("sim:" prefix).
[[nodiscard]] bool IsSimDevice(std::string_view device);

// Parses "sim:TYPE[,key=value...]" into config. On refusal returns false and a French message
// for the user in error; config is then unspecified.
[[nodiscard]] bool ParseSimDevice(std::string_view device, SimConfig& config, std::string& error);

}  // namespace keldar::sim
