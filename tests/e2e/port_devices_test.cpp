// Which device a port number names, and what the factory makes of a device string. No real
// device is ever opened: the defaults are only compared, never used.
#include "settings/port_devices.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QSettings>
#include <QTemporaryDir>

#include "devices/open_device.h"
#include "hw/serial_port.h"
#include "settings/settings_store.h"

namespace keldar {
namespace {

class ResolvePortDeviceTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(store_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store_.path());
    for (int port = 1; port <= 4; ++port)
      ::unsetenv(EnvName(port).c_str());
  }
  void TearDown() override {
    for (int port = 1; port <= 4; ++port) {
      ::setenv(EnvName(port).c_str(), ("/nonexistent/keldar-COM" + std::to_string(port)).c_str(),
               1);
    }
  }
  static std::string EnvName(int port) { return "KELDAR_COM" + std::to_string(port); }
  static std::string Resolve(int port) { return ResolvePortDevice(port, SettingsStore()); }
  static void Store(int port, const QVariant& value) {
    QSettings store(QStringLiteral("ZEMBRAX"), QStringLiteral("KELDAR"));
    store.setValue(QStringLiteral("Ports/COM%1").arg(port), value);
  }

  QTemporaryDir store_;
};

TEST_F(ResolvePortDeviceTest, WithNothingConfiguredEachPortNamesThePlatformDefault) {
  EXPECT_EQ(Resolve(1), "/dev/ttyS0");
  EXPECT_EQ(Resolve(4), "/dev/ttyS3");
  EXPECT_EQ(DefaultPortDevice(2), "/dev/ttyS1");
}

TEST_F(ResolvePortDeviceTest, TheEnvironmentBeatsTheStoreWhichBeatsTheDefault) {
  Store(2, QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"));
  Store(3, QStringLiteral("/dev/ttyUSB0"));
  ::setenv("KELDAR_COM2", "sim:24C02,pins=5", 1);
  EXPECT_EQ(Resolve(2), "sim:24C02,pins=5");
  EXPECT_EQ(Resolve(3), "/dev/ttyUSB0");
  EXPECT_EQ(Resolve(1), "/dev/ttyS0");  // each port on its own
}

TEST_F(ResolvePortDeviceTest, EmptyValuesCountAsUnset) {
  Store(1, QString());
  ::setenv("KELDAR_COM1", "", 1);
  EXPECT_EQ(Resolve(1), "/dev/ttyS0");
  Store(1, QStringLiteral("/dev/ttyACM0"));
  EXPECT_EQ(Resolve(1), "/dev/ttyACM0");
}

// The override lives in its own group, beside the program's values, never among them.
TEST_F(ResolvePortDeviceTest, AValueOutsideThePortsGroupIsNotAnOverride) {
  QSettings store(QStringLiteral("ZEMBRAX"), QStringLiteral("KELDAR"));
  store.setValue(QStringLiteral("COM1"), QStringLiteral("/dev/ttyUSB9"));
  store.sync();
  EXPECT_EQ(Resolve(1), "/dev/ttyS0");
}

TEST(OpenDevice, ASimStringOpensASimulatedReader) {
  auto port = OpenDevice("sim:24C16").port;
  ASSERT_NE(port, nullptr);
  EXPECT_TRUE(port->SetLine(OutputLine::Rts, true));
}

TEST(OpenDevice, ARefusedSimStringOrAMissingPathOpensNothing) {
  const PortOpening refused = OpenDevice("sim:24C99");
  EXPECT_EQ(refused.port, nullptr);
  EXPECT_FALSE(refused.refusal.detail.empty());
  QTemporaryDir dir;
  const PortOpening missing = OpenDevice(dir.path().toStdString() + "/ttyNONE");
  EXPECT_EQ(missing.port, nullptr);
  EXPECT_EQ(missing.refusal.reason, PortRefusalReason::Missing);
}

}  // namespace
}  // namespace keldar
