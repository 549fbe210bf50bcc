#include "hw/bitbang_port.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace keldar {
namespace {

// The chip sends a short packet of samples when its latency timer expires (AN232B-04); 1 ms is
// the shortest, and every status read the caller waits for ends with one.
constexpr uint8_t kLatencyTimerMs = 1;
// The clock is measured at this fraction of the rate asked, and no slower than the baud
// generator goes: at 200 kHz asked, 128 bytes in flight then last 20 ms, far longer than a USB
// round trip, so the clock bounds the stream even when it runs several times too fast.
constexpr uint32_t kClockCheckDivider = 32;
constexpr uint32_t kSlowestCheckRate = 3'000;
// Each measure compares two idle streams whose lengths differ by this much time of stream.
constexpr uint32_t kMeasureMs = 20;

}  // namespace

BitBangPort::BitBangPort(std::unique_ptr<BitBangLink> link) : link_(std::move(link)) {
  queued_.reserve(kBitBangTransferBytes);
}

BitBangPort::~BitBangPort() {
  (void)Flush();
}

BitBangPort::StartOutcome BitBangPort::Start(uint32_t rate) {
  askedRate_ = rate;
  if (rate < kSlowestCheckRate || !link_->Purge() || !link_->SetLatencyTimer(kLatencyTimerMs) ||
      !link_->SetBitMode(kReaderOutputs) || !SetRate(rate)) {
    Fail();
    return StartOutcome::NoAnswer;
  }
  InputLevels idle;
  if (!ReadInputs(idle)) return StartOutcome::NoAnswer;

  const uint32_t checkRate = std::max(rate / kClockCheckDivider, kSlowestCheckRate);
  double factor = MeasureRate(checkRate) / checkRate;
  if (factor > kBitBangTooFast) {
    // Slower by the whole factor found, then checked again with the same baud divisor, the
    // baud generator's slowest being near: the clock must now run at the rate asked.
    correction_ = static_cast<uint32_t>(std::lround(factor));
    const uint32_t corrected = checkRate * correction_;
    factor = MeasureRate(corrected) / corrected;
  }
  if (failed_ || factor <= 0) return StartOutcome::NoAnswer;
  if (factor > kBitBangTooFast) return StartOutcome::ClockTooFast;
  const double reached = MeasureRate(rate);
  if (failed_ || reached <= 0) return StartOutcome::NoAnswer;
  if (reached > rate * kBitBangTooFast) return StartOutcome::ClockTooFast;  // whatever the divisor
  measuredRate_ = static_cast<uint32_t>(std::lround(reached));
  return StartOutcome::Started;
}

bool BitBangPort::SetRate(uint32_t rate) {
  const uint32_t baud = std::max<uint32_t>(1, rate / (kBitBangTicksPerBaud * correction_));
  if (!link_->SetBaudRate(baud)) return Fail();
  return true;
}

double BitBangPort::MeasureRate(uint32_t rate) {
  if (!SetRate(rate)) return 0;
  const auto stream = [this](size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
      QueueHold(false);
    return Flush();
  };
  // The round trip that starts and ends each stream is in both times: their difference is the
  // longer stream's extra bytes alone.
  const size_t extra = std::max<size_t>(kBitBangBytesInFlight, size_t{rate} * kMeasureMs / 1000);
  const uint64_t start = link_->NowNs();
  if (!stream(kBitBangBytesInFlight)) return 0;
  const uint64_t middle = link_->NowNs();
  if (!stream(kBitBangBytesInFlight + extra)) return 0;
  const uint64_t end = link_->NowNs();
  const auto shorter = static_cast<double>(middle - start);
  const auto longer = static_cast<double>(end - middle);
  if (longer <= shorter) return 0;
  return static_cast<double>(extra) * 1e9 / (longer - shorter);
}

bool BitBangPort::SetLine(OutputLine line, bool asserted) {
  QueueChange(line, asserted);
  return Submit();
}

bool BitBangPort::ReadInputs(InputLevels& levels) {
  // Nothing of the stream's is left waiting: this read's sample is the next one.
  if (!Flush()) return false;
  ready_.clear();
  QueueHold(true);
  InputLevels answer;
  if (!NextSample(answer)) return false;
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

bool BitBangPort::NextSample(InputLevels& inputs) {
  while (ready_.empty()) {
    if (failed_ || wanted_.empty()) return false;
    // Its byte is still queued: it goes now, in a short transfer.
    if (wanted_.front() >= submitted_ && !Submit()) return false;
    if (!CollectOldest()) return false;
  }
  inputs = ready_.front();
  ready_.pop_front();
  return true;
}

void BitBangPort::Queue(uint8_t byte, bool sampled) {
  if (failed_) return;
  if (sampled) wanted_.push_back(submitted_ + queued_.size());
  queued_.push_back(byte);
  if (queued_.size() == kBitBangTransferBytes) (void)Submit();
}

bool BitBangPort::Submit() {
  if (failed_) return false;
  if (queued_.empty()) return true;
  while (inFlightBytes_ + queued_.size() > kBitBangBytesInFlight) {
    if (!CollectOldest()) return false;
  }
  if (!link_->Submit(queued_)) return Fail();
  inFlight_.push_back(queued_.size());
  inFlightBytes_ += queued_.size();
  submitted_ += queued_.size();
  queued_.clear();
  return true;
}

bool BitBangPort::CollectOldest() {
  const size_t count = inFlight_.front();
  samples_.resize(count);
  if (!link_->Collect(samples_)) return Fail();
  inFlight_.pop_front();
  inFlightBytes_ -= count;
  const uint64_t end = collected_ + count;
  while (!wanted_.empty() && wanted_.front() < end) {
    ready_.push_back(InputsFromPins(samples_[wanted_.front() - collected_]));
    wanted_.pop_front();
  }
  collected_ = end;
  return true;
}

bool BitBangPort::Fail() {
  // Nothing more will be answered.
  failed_ = true;
  queued_.clear();
  inFlight_.clear();
  inFlightBytes_ = 0;
  wanted_.clear();
  ready_.clear();
  return false;
}

PortOpening StartBitBangPort(std::unique_ptr<BitBangLink> link, uint32_t rate) {
  auto port = std::make_unique<BitBangPort>(std::move(link));
  switch (port->Start(rate)) {
    case BitBangPort::StartOutcome::Started:
      return port;
    case BitBangPort::StartOutcome::ClockTooFast:
      return Refusal(PortRefusalReason::BitBangClock);
    case BitBangPort::StartOutcome::NoAnswer:
      break;
  }
  return Refusal(PortRefusalReason::Other, EIO);  // the chip did not answer
}

}  // namespace keldar
