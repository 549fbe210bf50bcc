#include "hw/i2c_transfers.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <vector>

namespace keldar {
namespace {

// The adapter cannot carry a transfer of this shape (too long, too many messages, an empty
// one): i2c-core's quirk checks give EOPNOTSUPP, hid-cp2112 and i2c-dev EINVAL, before anything
// reaches the bus, so a smaller transfer may follow.
bool ShapeRefused(int error) {
  return error == EOPNOTSUPP || error == EINVAL || error == E2BIG || error == EMSGSIZE;
}

// The adapter is gone: a USB bridge pulled out answers ENODEV, or ESHUTDOWN for a transfer in
// flight; i2c-core gives ESHUTDOWN for a suspended adapter.
bool Gone(int error) {
  return error == ENODEV || error == ESHUTDOWN;
}

// The largest power of two below n (n > 1).
size_t Halved(size_t n) {
  return std::bit_floor(n - 1);
}

}  // namespace

I2cTransfers::I2cTransfers(I2cBus& bus)
    : bus_(bus), emptyPolls_((bus.Functions() & kI2cFuncSmbusQuick) != 0) {}

int I2cTransfers::Poll(uint8_t address) {
  uint8_t scratch = 0;
  const I2cMessage message{address, !emptyPolls_,
                           emptyPolls_ ? std::span<uint8_t>{} : std::span<uint8_t>(&scratch, 1)};
  return bus_.Transfer(std::span(&message, 1));
}

// Only an unacknowledged address has its own errno. Otherwise a poll tells whether the memory is
// there: then the refusal came after its address.
I2cReport I2cTransfers::Failure(Phase phase, int error, uint8_t address) {
  if (error == ENXIO) return {I2cResult::NoDeviceAck, error};
  if (Gone(error)) return {I2cResult::PortFailed, error};
  if (ShapeRefused(error)) return {I2cResult::Unsupported, error};
  const int poll = Poll(address);
  if (poll == 0) {
    return {phase == Phase::Read ? I2cResult::AddressRefused : I2cResult::DataRefused, error};
  }
  // A poll carries no data byte: EIO there is the adapter failing, not the memory refusing.
  if (Gone(poll) || poll == EIO) return {I2cResult::PortFailed, poll};
  return {I2cResult::NoDeviceAck, poll};
}

I2cReport I2cTransfers::Read(uint8_t address, std::span<const uint8_t> wordAddress,
                             std::span<uint8_t> destination, const Progress& progress) {
  std::vector<uint8_t> wordBytes(wordAddress.begin(), wordAddress.end());
  size_t done = 0;
  while (done < destination.size()) {
    const size_t count = std::min(destination.size() - done, readChunk_);
    std::vector<I2cMessage> messages;
    if (done == 0 && !wordBytes.empty()) messages.push_back({address, false, wordBytes});
    messages.push_back({address, true, destination.subspan(done, count)});
    if (const int error = bus_.Transfer(messages); error != 0) {
      if (ShapeRefused(error) && count > 1) {
        readChunk_ = Halved(count);
        continue;
      }
      return Failure(Phase::Read, error, address);
    }
    done += count;
    if (done < destination.size() && progress && !progress(done)) break;
  }
  return {};
}

I2cReport I2cTransfers::Write(uint8_t address, std::span<const uint8_t> wordAddress,
                              std::span<const uint8_t> data) {
  if (writePiece_ == 0 || data.size() <= 1) {
    std::vector<uint8_t> bytes(wordAddress.begin(), wordAddress.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    const I2cMessage message{address, false, bytes};
    const int error = bus_.Transfer(std::span(&message, 1));
    if (error == 0) return {};
    if (!ShapeRefused(error) || data.size() <= 1 || wordAddress.empty())
      return Failure(Phase::Write, error, address);
    writePiece_ = Halved(data.size());
  }
  return WritePieces(address, wordAddress, data);
}

I2cReport I2cTransfers::WritePieces(uint8_t address, std::span<const uint8_t> wordAddress,
                                    std::span<const uint8_t> data) {
  const uint8_t low = wordAddress.back();
  size_t offset = 0;
  while (offset < data.size()) {
    // Aligned in the memory's address space: a piece never crosses a multiple of its size.
    const size_t at = (low + offset) % writePiece_;
    const size_t count = std::min(writePiece_ - at, data.size() - offset);
    if (offset > 0) {
      if (const I2cReport ready = WaitReady(address); ready.result != I2cResult::Ok) return ready;
    }
    std::vector<uint8_t> bytes(wordAddress.begin(), wordAddress.end());
    bytes.back() = static_cast<uint8_t>(low + offset);
    bytes.insert(bytes.end(), data.begin() + static_cast<long>(offset),
                 data.begin() + static_cast<long>(offset + count));
    const I2cMessage message{address, false, bytes};
    const int error = bus_.Transfer(std::span(&message, 1));
    if (error != 0) {
      if (!ShapeRefused(error) || count <= 1) return Failure(Phase::Write, error, address);
      writePiece_ = Halved(count);  // nothing of this piece was sent: it goes again, smaller
      continue;
    }
    offset += count;
  }
  return {};
}

I2cReport I2cTransfers::Probe(uint8_t address) {
  for (;;) {
    const int error = Poll(address);
    if (error == 0) return {};
    if (ShapeRefused(error)) {
      // No empty messages on this adapter (I2C_AQ_NO_ZERO_LEN in its quirks): one-byte reads.
      if (!emptyPolls_) return {I2cResult::Unsupported, error};
      emptyPolls_ = false;
      continue;
    }
    if (Gone(error) || error == EIO) return {I2cResult::PortFailed, error};
    return {I2cResult::NoDeviceAck, error};
  }
}

I2cReport I2cTransfers::WaitReady(uint8_t address) {
  const auto deadline = bus_.Now() + kWriteCycleBound;
  // As many polls as the bound holds pauses, however long they took: a program held up by a
  // loaded machine does not give the memory up after a poll or two.
  constexpr auto kLeastPolls = kWriteCycleBound / kPollPause;
  for (int64_t polls = 1;; ++polls) {
    const I2cReport poll = Probe(address);
    // The memory, busy writing, does not acknowledge its address.
    if (poll.result != I2cResult::NoDeviceAck) return poll;
    if (polls >= kLeastPolls && bus_.Now() >= deadline)
      return {I2cResult::WriteCycleTimeout, poll.error};
    bus_.Sleep(kPollPause);
  }
}

}  // namespace keldar
