// How a reader is wired to the port, written from the reader's side: the six ways its Valim, SCL
// and SDA can sit on TxD, DTR and RTS (as the reader configuration window names them), and the
// four inputs SDA can come back on. Kept apart from the program's own line map on purpose: a
// wrong row on either side makes the round trip through the simulated reader fail.
#pragma once

#include <array>
#include <cstdint>

#include "hw/port.h"

namespace keldar::sim {

enum class PortLine : uint8_t { TxD = 0, DTR = 1, RTS = 2 };

struct ReaderWiring {
  PortLine valim;
  PortLine scl;
  PortLine sda;
};

// "Valim = TxD / SCL = RTS / SDA = DTR" ... "Valim = DTR / SCL = RTS / SDA = TxD", in order.
inline constexpr std::array<ReaderWiring, 6> kReaderWirings{{
    {PortLine::TxD, PortLine::RTS, PortLine::DTR},
    {PortLine::TxD, PortLine::DTR, PortLine::RTS},
    {PortLine::RTS, PortLine::TxD, PortLine::DTR},
    {PortLine::RTS, PortLine::DTR, PortLine::TxD},
    {PortLine::DTR, PortLine::TxD, PortLine::RTS},
    {PortLine::DTR, PortLine::RTS, PortLine::TxD},
}};

// SDA back on CTS, DSR, RING or DCD: the status bit each input line raises when asserted.
inline constexpr std::array<uint32_t, 4> kReaderInputBits{MS_CTS_ON, MS_DSR_ON, MS_RING_ON,
                                                          MS_RLSD_ON};

}  // namespace keldar::sim
