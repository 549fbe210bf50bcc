#include "sim/ft232r_model.h"

#include <algorithm>
#include <limits>

namespace keldar::sim {
namespace {

constexpr size_t kStatusBytes = 2;  // modem status and line status, at the head of every packet
constexpr size_t kSamplesPerPacket = 62;            // a 64-byte packet less its status bytes
constexpr uint8_t kLineStatusIdle = 0x60;           // transmitter holding and shift empty
constexpr uint64_t kDefaultLatencyNs = 16'000'000;  // the chip's own default, 16 ms
constexpr uint64_t kReadTimeoutNs = 5'000'000'000;  // libftdi's usb_read_timeout
constexpr uint32_t kPowerOnBaud = 9'600;

// FT232R baud generator (FTDI's US232R-10 cable datasheet, "Baud Rates"; libftdi's
// ftdi_to_clkbits): 3 MHz / (n + x/8), n from 2 to 16383 and x in eighths, plus 3 MHz and 2 MHz
// (divisors 1 and 1.5); the rate asked for is rounded to the nearest divisor, as libftdi does.
// In bit-bang mode a byte is clocked at each tick of the 16x clock (FTDI support, quoted on the
// libftdi list in 2010: "BitBang write tick (baud rate * 16)"): one byte every divisor/48 MHz.
uint64_t TickNs(uint32_t baud) {
  uint64_t eighths = (24'000'000U + baud / 2) / baud;  // 3 MHz x 8 / baud
  if (baud >= 3'000'000) {
    eighths = 8;
  } else if (baud >= 2'000'000) {
    eighths = 12;
  } else if (baud >= 1'500'000) {
    eighths = 16;
  }
  return (eighths * 125 + 24) / 48;  // eighths / (48 MHz x 8), in nanoseconds
}

}  // namespace

Ft232rModel::Ft232rModel(std::unique_ptr<SimulatedReader> reader, uint64_t usbRoundTripNs,
                         uint32_t clockPercent)
    : reader_(std::move(reader)),
      roundTripNs_(usbRoundTripNs),
      clockPercent_(clockPercent),
      tickNs_(TickNs(kPowerOnBaud) * 100 / clockPercent),
      latencyNs_(kDefaultLatencyNs) {}

Ft232rModel::~Ft232rModel() {
  reader_->AdvanceTo(now_);  // the trace ends where the model's time does
}

bool Ft232rModel::Transfer() {
  ++counters_.transfers;
  if (failFrom_ != 0 && counters_.transfers >= failFrom_) pulledOut_ = true;
  return !pulledOut_;
}

bool Ft232rModel::Purge() {
  if (!Transfer()) return false;
  received_.Clear();
  samples_.Clear();
  out_.clear();
  in_.clear();
  host_.clear();
  return true;
}

bool Ft232rModel::SetLatencyTimer(uint8_t ms) {
  if (!Transfer() || ms == 0) return false;
  latencyNs_ = uint64_t{ms} * 1'000'000U;
  return true;
}

bool Ft232rModel::SetBitMode(uint8_t outputs) {
  if (!Transfer()) return false;
  syncMode_ = true;
  outputs_ = outputs;
  latch_ = 0xFF;  // "Pins start at 0xFF"
  DriveReader();
  return true;
}

bool Ft232rModel::SetBaudRate(uint32_t baud) {
  if (!Transfer() || baud < 184 || baud > 3'000'000) return false;  // divisors up to 16383.875
  tickNs_ = std::max<uint64_t>(1, TickNs(baud) * 100 / clockPercent_);
  return true;
}

bool Ft232rModel::Submit(std::span<const uint8_t> bytes) {
  // In UART mode the bytes would leave as characters on TxD: the port sets the mode first.
  if (!Transfer() || !syncMode_) return false;
  written_ += bytes.size();
  mostInFlight_ = std::max(mostInFlight_, written_ - read_);
  for (size_t at = 0; at < bytes.size(); at += kPacketBytes) {
    Packet& packet = out_.emplace_back();
    packet.at = now_ + roundTripNs_ / 2;
    packet.size = std::min(kPacketBytes, bytes.size() - at);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), packet.size, packet.bytes.begin());
    ++counters_.packetsOut;
  }
  return true;
}

bool Ft232rModel::Collect(std::span<uint8_t> samples) {
  if (!Transfer()) return false;
  reading_ = true;
  const uint64_t deadline = now_ + kReadTimeoutNs;
  while (host_.size() < samples.size()) {
    const Next next = NextEvent();
    if (next.event == Event::None || next.at > deadline) {
      now_ = deadline;  // the read times out, as libusb's would
      reading_ = false;
      return false;
    }
    Process(next);
  }
  reading_ = false;
  const auto count = static_cast<std::ptrdiff_t>(samples.size());
  read_ += samples.size();
  std::copy_n(host_.begin(), count, samples.begin());
  host_.erase(host_.begin(), host_.begin() + count);
  return true;
}

void Ft232rModel::Pause(uint32_t milliseconds) {
  // Nobody reads meanwhile: the chip runs until its transmit buffer is full, then waits.
  const uint64_t until = now_ + uint64_t{milliseconds} * 1'000'000U;
  for (Next next = NextEvent(); next.event != Event::None && next.at <= until; next = NextEvent())
    Process(next);
  now_ = until;
  reader_->AdvanceTo(now_);
}

Ft232rModel::Next Ft232rModel::NextEvent() const {
  Next next{std::numeric_limits<uint64_t>::max(), Event::None};
  const auto consider = [&](uint64_t at, Event event) {
    if (at < next.at) next = {at, event};
  };
  // The chip refuses (NAKs) a packet it has no room for; the host sends it again later.
  if (!out_.empty() && received_.room() >= out_.front().size) {
    consider(std::max(out_.front().at, now_), Event::Deliver);
  }
  if (syncMode_ && received_.size() > 0 && samples_.room() > 0) {
    const uint64_t earliest = ticked_ ? std::max(now_, lastTick_ + tickNs_) : now_;
    consider((earliest + tickNs_ - 1) / tickNs_ * tickNs_, Event::Tick);
  }
  if (reading_) {
    // A full packet goes at once; anything less when the latency timer expires.
    consider(
        samples_.size() >= kSamplesPerPacket ? now_ : std::max(lastPacketIn_ + latencyNs_, now_),
        Event::Send);
  }
  if (!in_.empty()) consider(in_.front().at, Event::Arrive);
  return next;
}

void Ft232rModel::Process(const Next& next) {
  now_ = next.at;
  switch (next.event) {
    case Event::Deliver: {
      const Packet& packet = out_.front();
      for (size_t i = 0; i < packet.size; ++i)
        received_.Push(packet.bytes[i]);
      out_.pop_front();
      break;
    }
    case Event::Tick:
      Tick();
      break;
    case Event::Send:
      SendPacket();
      break;
    case Event::Arrive: {
      // libftdi strips the two status bytes of every packet.
      const Packet& packet = in_.front();
      host_.insert(host_.end(), packet.bytes.begin() + kStatusBytes,
                   packet.bytes.begin() + static_cast<std::ptrdiff_t>(packet.size));
      in_.pop_front();
      break;
    }
    case Event::None:
      break;
  }
}

void Ft232rModel::Tick() {
  lastTick_ = now_;
  ticked_ = true;
  // The pins are read first, then the byte just taken is driven: the samples run one byte
  // behind the output. An input pin reads low while its RS-232 line is asserted.
  const InputLevels levels = reader_->InputsAt(now_);
  uint8_t inputs = 0xFF;
  if (levels[InputLine::Cts]) inputs &= static_cast<uint8_t>(~kPinCts);
  if (levels[InputLine::Dsr]) inputs &= static_cast<uint8_t>(~kPinDsr);
  if (levels[InputLine::Ring]) inputs &= static_cast<uint8_t>(~kPinRi);
  if (levels[InputLine::Dcd]) inputs &= static_cast<uint8_t>(~kPinDcd);
  samples_.Push(static_cast<uint8_t>((latch_ & outputs_) | (inputs & ~outputs_)));
  latch_ = received_.Pop();
  DriveReader();
  ++counters_.bytesClocked;
  if (samples_.room() == 0 && received_.size() > 0) ++counters_.stalls;
}

void Ft232rModel::SendPacket() {
  Packet& packet = in_.emplace_back();
  packet.at = now_ + roundTripNs_ / 2;
  // The modem status byte (AN232B-04): bit 0 set, then CTS, DSR, RI and DCD in bits 4 to 7.
  packet.bytes[0] = static_cast<uint8_t>(0x01U | (reader_->Inputs().asserted << 4U));
  packet.bytes[1] = kLineStatusIdle;
  packet.size = kStatusBytes + std::min(kSamplesPerPacket, samples_.size());
  for (size_t i = kStatusBytes; i < packet.size; ++i)
    packet.bytes[i] = samples_.Pop();
  lastPacketIn_ = now_;
  ++counters_.packetsIn;
}

void Ft232rModel::DriveReader() {
  // A pin that is not an output is pulled up: its line negated. Low is asserted.
  const auto asserted = [&](uint8_t pin) { return (outputs_ & pin) != 0 && (latch_ & pin) == 0; };
  reader_->DriveLines(now_, asserted(kPinTxd), asserted(kPinDtr), asserted(kPinRts));
}

}  // namespace keldar::sim
