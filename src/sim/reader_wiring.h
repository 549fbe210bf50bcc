// How a reader is wired to the port, written from the reader's side: the six ways its Valim, SCL
// and SDA can sit on TxD, DTR and RTS (as the reader configuration window names them), and the
// four inputs SDA can come back on. Kept apart from the program's own line map on purpose: a
// wrong row on either side makes the round trip through the simulated reader fail.
#pragma once

#include <array>
#include <cstdint>

#include "hw/port.h"

namespace keldar::sim {

struct ReaderWiring {
  OutputLine valim;
  OutputLine scl;
  OutputLine sda;
};

// "Valim = TxD / SCL = RTS / SDA = DTR" ... "Valim = DTR / SCL = RTS / SDA = TxD", in order.
inline constexpr std::array<ReaderWiring, 6> kReaderWirings{{
    {OutputLine::Txd, OutputLine::Rts, OutputLine::Dtr},
    {OutputLine::Txd, OutputLine::Dtr, OutputLine::Rts},
    {OutputLine::Rts, OutputLine::Txd, OutputLine::Dtr},
    {OutputLine::Rts, OutputLine::Dtr, OutputLine::Txd},
    {OutputLine::Dtr, OutputLine::Txd, OutputLine::Rts},
    {OutputLine::Dtr, OutputLine::Rts, OutputLine::Txd},
}};

// SDA back on CTS, DSR, RING or DCD, in the order of the reader's settings.
inline constexpr std::array<InputLine, 4> kReaderInputs{InputLine::Cts, InputLine::Dsr,
                                                        InputLine::Ring, InputLine::Dcd};

}  // namespace keldar::sim
