#include "hw/bitbang_port.h"

namespace keldar {
namespace {

// One libusb transfer of libftdi's default write chunk. Two stay in flight ahead of the samples
// being read: 40 ms of stream at 200 kHz, far more than a USB round trip, so the chip never waits
// for bytes, and it never waits for room for its samples either while a read is pending.
constexpr size_t kTransferBytes = 4096;
constexpr size_t kTransfersAhead = 2;
// The chip sends a short packet of samples when its latency timer expires (AN232B-04); 1 ms is
// the shortest, and every status read the caller waits for ends with one.
constexpr uint8_t kLatencyTimerMs = 1;

}  // namespace

BitBangPort::BitBangPort(std::unique_ptr<BitBangLink> link) : link_(std::move(link)) {
  queued_.reserve(kTransferBytes);
}

BitBangPort::~BitBangPort() {
  (void)Flush();
}

bool BitBangPort::Start(uint32_t rate) {
  if (!link_->Purge() || !link_->SetLatencyTimer(kLatencyTimerMs) ||
      !link_->SetBitMode(kReaderOutputs) || !link_->SetBaudRate(rate / kBitBangTicksPerBaud)) {
    failed_ = true;
    return false;
  }
  InputLevels inputs;
  return ReadInputs(inputs);
}

bool BitBangPort::SetLine(OutputLine line, bool asserted) {
  const uint8_t pin = PinOf(line);
  pins_ = static_cast<uint8_t>(asserted ? (pins_ & ~pin) : (pins_ | pin));
  Queue(pins_);
  return !failed_;
}

bool BitBangPort::ReadInputsLater(InputLevels& slot) {
  if (failed_) return false;
  slots_.push_back({submitted_ + queued_.size(), &slot});
  Queue(pins_);  // the outputs stay as they are
  return !failed_;
}

bool BitBangPort::ReadInputs(InputLevels& levels) {
  InputLevels answer;
  if (!ReadInputsLater(answer) || !Flush()) return false;
  levels = answer;
  return true;
}

void BitBangPort::Sleep(uint32_t milliseconds) {
  (void)Flush();
  link_->Pause(milliseconds);
}

bool BitBangPort::Flush() {
  if (!Submit()) return false;
  while (!inFlight_.empty()) {
    if (!CollectOldest()) return false;
  }
  return true;
}

void BitBangPort::Queue(uint8_t byte) {
  if (failed_) return;
  queued_.push_back(byte);
  if (queued_.size() == kTransferBytes) (void)Submit();
}

bool BitBangPort::Submit() {
  if (failed_) return false;
  if (queued_.empty()) return true;
  if (!link_->Submit(queued_)) return Fail();
  inFlight_.push_back(queued_.size());
  submitted_ += queued_.size();
  queued_.clear();
  while (inFlight_.size() > kTransfersAhead) {
    if (!CollectOldest()) return false;
  }
  return true;
}

bool BitBangPort::CollectOldest() {
  const size_t count = inFlight_.front();
  samples_.resize(count);
  if (!link_->Collect(samples_)) return Fail();
  inFlight_.pop_front();
  const uint64_t end = collected_ + count;
  while (!slots_.empty() && slots_.front().index < end) {
    *slots_.front().inputs = InputsFromPins(samples_[slots_.front().index - collected_]);
    slots_.pop_front();
  }
  collected_ = end;
  return true;
}

bool BitBangPort::Fail() {
  // Nothing more will be answered: forget the readers' slots rather than write into them later.
  failed_ = true;
  queued_.clear();
  inFlight_.clear();
  slots_.clear();
  return false;
}

std::unique_ptr<ControlPort> StartBitBangPort(std::unique_ptr<BitBangLink> link, uint32_t rate) {
  auto port = std::make_unique<BitBangPort>(std::move(link));
  if (!port->Start(rate)) return nullptr;
  return port;
}

}  // namespace keldar
