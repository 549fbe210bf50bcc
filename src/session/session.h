// What one user works on for the whole run: the buffer, the selected memory, the reader's line
// map, the open port and the current file. The program owns one and hands it to each window; a
// keldar-cli command makes its own. Operations run on a request taken from it and come back
// through ApplyOutcome.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/buffer.h"
#include "hw/linemap.h"
#include "hw/port.h"
#include "i2c/catalogue.h"
#include "i2c/reader_device.h"
#include "session/operation_service.h"

namespace keldar {

struct Session {
  Buffer buffer{};
  CurrentMemory currentMemory;
  LineMap lineMap;
  int32_t portNumber = 0;       // 0: none; 1..4: COM1..COM4 (keldar-cli: 1 when a port is open)
  ReaderDevice portHandle;      // a port, or an I2C adapter
  std::string currentFileName;  // UTF-8

  // A port or an I2C adapter is open.
  [[nodiscard]] bool deviceOpen() const { return portNumber != 0 && portHandle.IsOpen(); }
  // The open port whose lines drive the reader, or nullptr (none, or an I2C adapter).
  [[nodiscard]] ControlPort* port() const {
    return portNumber != 0 ? portHandle.port.get() : nullptr;
  }
  // The open I2C adapter, or nullptr.
  [[nodiscard]] I2cBus* i2cAdapter() const {
    return portNumber != 0 ? portHandle.i2c.get() : nullptr;
  }

  // A copy of what the operation needs, taken now: it may run while the session changes.
  [[nodiscard]] OperationRequest Request(OperationKind kind) const;
  // A read that succeeded replaces the bytes it read (the first capacity bytes, or its range) in
  // the buffer; nothing else changes the session.
  void ApplyOutcome(const OperationOutcome& outcome);
};

}  // namespace keldar
