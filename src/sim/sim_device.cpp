#include "sim/sim_device.h"

#include "hw/bitbang_port.h"
#include "sim/ft232r_model.h"
#include "sim/sim_port.h"

namespace keldar::sim {

SimulatedDevice OpenSimulatedDevice(std::string_view device, std::string& error) {
  SimulatedDevice opened;
  std::unique_ptr<SimulatedReader> reader = OpenSimulatedPort(device, error);
  if (!reader) return opened;
  opened.reader = reader.get();
  const SimConfig config = reader->config();
  if (config.adapter == Adapter::SerialPort) {
    opened.port = std::move(reader);
    return opened;
  }
  auto model = std::make_unique<Ft232rModel>(std::move(reader), config.usbRoundTripNs,
                                             config.chipClockPercent);
  opened.model = model.get();
  const uint32_t rate = config.bitBangRate != 0 ? config.bitBangRate : kDefaultBitBangRate;
  PortOpening started = StartBitBangPort(std::move(model), rate);
  opened.port = std::move(started.port);
  // A cable pulled out once it is open: the opening's own transfers are not counted.
  if (opened.port) opened.model->PullOutAt(config.faults.pullOutCall);
  if (!opened.port) {
    error = started.refusal.reason == PortRefusalReason::BitBangClock
                ? "le câble simulé cadence le flux plus vite que demandé, même corrigé"
                : "le câble simulé ne répond pas en bit-bang synchrone";
    opened = {};
  }
  return opened;
}

}  // namespace keldar::sim
