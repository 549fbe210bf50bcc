// libftdi1's asynchronous transfers: writes are submitted ahead and run while the samples of
// earlier ones are read, so the chip is never short of bytes nor of room for its samples.
#include <libusb.h>

#include <ftdi.h>

#include <cerrno>
#include <chrono>
#include <deque>
#include <thread>
#include <vector>

#include "hw/ftdi_inventory.h"
#include "hw/ftdi_link.h"
#include "hw/lock_holder.h"

namespace keldar {
namespace {

class LibFtdiLink final : public BitBangLink {
 public:
  explicit LibFtdiLink(ftdi_context* ftdi) : ftdi_(ftdi) {}
  ~LibFtdiLink() override {
    for (Write& write : writes_)
      (void)ftdi_transfer_data_done(write.control);
    // A serial port again, then the interface released: libusb attaches ftdi_sio once more.
    (void)ftdi_set_bitmode(ftdi_, 0, BITMODE_RESET);
    (void)ftdi_usb_close(ftdi_);
    ftdi_free(ftdi_);
  }
  LibFtdiLink(const LibFtdiLink&) = delete;
  LibFtdiLink& operator=(const LibFtdiLink&) = delete;

  bool Purge() override { return ftdi_tcioflush(ftdi_) == 0; }
  bool SetLatencyTimer(uint8_t ms) override { return ftdi_set_latency_timer(ftdi_, ms) == 0; }
  bool SetBitMode(uint8_t outputs) override {
    return ftdi_set_bitmode(ftdi_, outputs, BITMODE_SYNCBB) == 0;
  }
  bool SetBaudRate(uint32_t baud) override {
    // In bit-bang mode libftdi multiplies the rate it is given by 4 ("bitbang baudrates are
    // automatically multiplied by 4", ftdi_set_baudrate): a quarter gives the chip the divisor
    // of `baud`.
    const uint32_t asked = ftdi_->bitbang_enabled ? baud / 4 : baud;
    return asked > 0 && ftdi_set_baudrate(ftdi_, static_cast<int>(asked)) == 0;
  }

  bool Submit(std::span<const uint8_t> bytes) override {
    Write& write = writes_.emplace_back();
    write.bytes.assign(bytes.begin(), bytes.end());
    write.control =
        ftdi_write_data_submit(ftdi_, write.bytes.data(), static_cast<int>(write.bytes.size()));
    if (write.control == nullptr) {
      writes_.pop_back();
      return false;
    }
    return true;
  }

  bool Collect(std::span<uint8_t> samples) override {
    // One read at a time: libftdi reads every transfer through its context's own buffer, and
    // keeps what a packet brought beyond this read for the next one.
    ftdi_transfer_control* read =
        ftdi_read_data_submit(ftdi_, samples.data(), static_cast<int>(samples.size()));
    if (read == nullptr) return false;
    const int received = ftdi_transfer_data_done(read);
    bool ok = received == static_cast<int>(samples.size());
    while (!writes_.empty() && writes_.front().control->completed) {
      ok = ftdi_transfer_data_done(writes_.front().control) >= 0 && ok;
      writes_.pop_front();
    }
    return ok;
  }

  void Pause(uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  uint64_t NowNs() override {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now() - opened_)
                                     .count());
  }

 private:
  struct Write {
    std::vector<uint8_t> bytes;  // kept until the transfer is done
    ftdi_transfer_control* control = nullptr;
  };
  ftdi_context* ftdi_;
  std::deque<Write> writes_;  // oldest first; elements never move
  std::chrono::steady_clock::time_point opened_ = std::chrono::steady_clock::now();
};

// The first cable of the list with this serial number (any when none is asked for).
libusb_device* Find(ftdi_context* ftdi, ftdi_device_list* list, const std::string& serial) {
  for (ftdi_device_list* item = list; item != nullptr; item = item->next) {
    if (serial.empty()) return item->dev;
    char found[128] = {};
    if (ftdi_usb_get_strings(ftdi, item->dev, nullptr, 0, nullptr, 0, found, sizeof found) == 0 &&
        serial == found) {
      return item->dev;
    }
  }
  return nullptr;
}

// What ftdi_usb_open_dev's failure means: -4, libusb_open failed (the USB device's node is not
// ours); -5, the interface is claimed (another libftdi program holds the cable).
PortRefusal OpenDevFailure(int result) {
  if (result == -4) return Refusal(PortRefusalReason::UsbAccess);
  if (result == -5) return Refusal(PortRefusalReason::Held);
  return Refusal(PortRefusalReason::Other, EIO);
}

}  // namespace

FtdiLinkOpening OpenFtdiLink(const FtdiDeviceSpec& spec, const SystemPaths& paths) {
  // With USB off (the tests), no cable can be seen.
  if (!paths.usb) return {nullptr, Refusal(PortRefusalReason::NoFtdiCable)};
  ftdi_context* ftdi = ftdi_new();
  if (ftdi == nullptr) return {nullptr, Refusal(PortRefusalReason::Other, ENOMEM)};
  // libusb detaches ftdi_sio when the interface is claimed and attaches it again when it is
  // released (libusb_set_auto_detach_kernel_driver): the /dev/ttyUSBn comes back at close.
  ftdi->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
  ftdi_device_list* list = nullptr;
  if (ftdi_usb_find_all(ftdi, &list, spec.vendor, spec.product) < 0) {
    ftdi_free(ftdi);
    return {nullptr, Refusal(PortRefusalReason::Other, EIO)};
  }
  libusb_device* device = Find(ftdi, list, spec.serial);
  std::string tty;
  if (device != nullptr) {
    tty = FtdiTtyName(paths, libusb_get_bus_number(device), libusb_get_device_address(device));
  }
  // Detaching the driver would pull the tty from under minicom and its kin: a UUCP lock is
  // honoured as the serial backend honours it.
  const std::optional<LockHolder> holder =
      tty.empty() ? std::nullopt : FindLockHolder(paths.dev + "/" + tty, paths);
  const int opened = device == nullptr || holder ? 0 : ftdi_usb_open_dev(ftdi, device);
  ftdi_list_free(&list);
  FtdiLinkOpening result;
  if (device == nullptr) {
    result.refusal = Refusal(PortRefusalReason::NoFtdiCable);
  } else if (holder) {
    result.refusal = Refusal(PortRefusalReason::Locked);
    result.refusal.pid = holder->pid;
    result.refusal.program = holder->program;
  } else if (opened < 0) {
    result.refusal = OpenDevFailure(opened);
  } else if (ftdi->type != TYPE_R) {
    result.refusal = Refusal(PortRefusalReason::NotFt232r);
    (void)ftdi_usb_close(ftdi);
  } else {
    result.link = std::make_unique<LibFtdiLink>(ftdi);
    return result;
  }
  ftdi_free(ftdi);
  return result;
}

}  // namespace keldar
