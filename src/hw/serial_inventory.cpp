#include "hw/serial_inventory.h"

namespace keldar {

AdapterFamily SerialDeviceInfo::family() const {
  if (i2c) return AdapterFamily::I2cAdapter;
  switch (bus) {
    case SerialBus::Native:
      return AdapterFamily::NativeUart;
    case SerialBus::Usb:
      if (bitBang) return AdapterFamily::FtdiBitBang;
      if (driver == "ftdi_sio") return AdapterFamily::Ftdi;
      if (driver == "ch341-uart" || driver == "ch341") return AdapterFamily::Ch341;
      if (driver == "pl2303") return AdapterFamily::Pl2303;
      if (driver == "cp210x") return AdapterFamily::Cp210x;
      if (driver == "cdc_acm") return AdapterFamily::CdcAcm;
      return AdapterFamily::OtherUsb;
    case SerialBus::Unknown:
      break;
  }
  return AdapterFamily::Unknown;
}

}  // namespace keldar
