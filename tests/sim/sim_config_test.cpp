// Device strings: what each key sets, and a French refusal for everything else.
#include "sim/sim_config.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/sim_port.h"

namespace keldar::sim {
namespace {

SimConfig Parsed(const std::string& device) {
  SimConfig config;
  std::string error;
  EXPECT_TRUE(ParseSimDevice(device, config, error)) << device << ": " << error;
  EXPECT_TRUE(error.empty()) << error;
  return config;
}

std::string Refusal(const std::string& device) {
  SimConfig config;
  std::string error;
  EXPECT_FALSE(ParseSimDevice(device, config, error)) << device;
  EXPECT_FALSE(error.empty()) << device;
  return error;
}

TEST(SimDeviceTest, TypeAloneGivesTheStandardReaderWithDefaults) {
  const SimConfig c = Parsed("sim:24c256");
  EXPECT_EQ(c.typeIndex, 9);
  EXPECT_EQ(c.pins, 0);
  EXPECT_EQ(c.wiring, Wiring::Standard);
  EXPECT_EQ(c.outputArrangement, 0);
  EXPECT_EQ(c.sdaInput, 0);
  EXPECT_FALSE(c.absent);
  EXPECT_FALSE(c.noReader);
  EXPECT_TRUE(c.imagePath.empty());
  EXPECT_TRUE(c.vcdPath.empty());
  EXPECT_EQ(c.callCostNs, kDefaultCallCostNs);
  EXPECT_EQ(c.writeCycleNs, 5'000'000U);
  EXPECT_EQ(c.faults.pullOutCall, 0U);
  EXPECT_EQ(Parsed("sim:X24C01").typeIndex, 11);
  EXPECT_EQ(Parsed("sim:24C00").typeIndex, 0);
  EXPECT_EQ(Parsed("sim:24m02").writeCycleNs, 10'000'000U);  // M24M02, AT24CM02: 10 ms at most
}

TEST(SimDeviceTest, EveryKeySetsItsField) {
  const SimConfig c = Parsed(
      "sim:24C16,pins=5,wiring=insitu,arrangement=3,input=ring,image=/tmp/a b.bin,vcd=t.vcd,"
      "absent,noreader,wp,busy,busy-polls=2499,stuck=low,refuse=0x7FF,nack=3,pullout=1000,"
      "cost=250,cycle=10");
  EXPECT_EQ(c.typeIndex, 5);
  EXPECT_EQ(c.pins, 5);
  EXPECT_EQ(c.wiring, Wiring::InSitu);
  EXPECT_EQ(c.outputArrangement, 3);
  EXPECT_EQ(c.sdaInput, 2);
  EXPECT_EQ(c.imagePath, "/tmp/a b.bin");
  EXPECT_EQ(c.vcdPath, "t.vcd");
  EXPECT_TRUE(c.absent);
  EXPECT_TRUE(c.noReader);
  EXPECT_EQ(c.faults.writeProtect, WriteProtect::Nack);
  EXPECT_TRUE(c.faults.endlessWriteCycle);
  EXPECT_EQ(c.faults.busyPolls, 2499);
  EXPECT_EQ(c.faults.stuckSda, StuckSda::Low);
  EXPECT_EQ(c.faults.refusedAddress, 0x7FF);
  EXPECT_EQ(c.faults.refusedByte, 3);
  EXPECT_EQ(c.faults.pullOutCall, 1000U);
  EXPECT_EQ(c.callCostNs, 250U);
  EXPECT_EQ(c.writeCycleNs, 10'000'000U);
}

TEST(SimDeviceTest, VendorDifferencesAndTheSpeedClass) {
  const SimConfig c = Parsed("sim:24C04,page=8,wp=ack,rollover=block,speed=1M");
  EXPECT_EQ(c.variant.pageSize, 8U);
  EXPECT_EQ(c.faults.writeProtect, WriteProtect::Ack);
  EXPECT_EQ(c.variant.rollover, Rollover::Block);
  EXPECT_EQ(c.speed, BusSpeed::FastPlus1m);
  EXPECT_EQ(Parsed("sim:24C02,wp=upper").faults.writeProtect, WriteProtect::Upper);
  // The page buffer is a power of two that fits the memory and at most 256 bytes.
  for (const char* device : {"sim:24C04,page=12", "sim:24C00,page=32", "sim:24M02,page=512",
                             "sim:24C02,wp=yes", "sim:24C02,rollover=page", "sim:24C02,speed=2m"})
    Refusal(device);
}

TEST(SimDeviceTest, TheFtdiCableAndItsUsbTiming) {
  const SimConfig c = Parsed("sim:24C02,adapter=FT232R,bitbang-rate=100000,usb-latency=250");
  EXPECT_EQ(c.adapter, Adapter::Ft232r);
  EXPECT_EQ(c.bitBangRate, 100'000U);
  EXPECT_EQ(c.usbRoundTripNs, 250'000U);
  EXPECT_EQ(Parsed("sim:24C02").adapter, Adapter::SerialPort);
  EXPECT_EQ(Parsed("sim:24C02").usbRoundTripNs, 1'000'000U);
  for (const char* device : {"sim:24C02,adapter=ch341", "sim:24C02,bitbang-rate=2999",
                             "sim:24C02,bitbang-rate=1000001", "sim:24C02,usb-latency=0"})
    Refusal(device);
}

TEST(SimDeviceTest, KeysAndWordsIgnoreCase) {
  const SimConfig c = Parsed("sim:24C02,Wiring=InSitu,INPUT=DCD,stuck=High");
  EXPECT_EQ(c.wiring, Wiring::InSitu);
  EXPECT_EQ(c.sdaInput, 3);
  EXPECT_EQ(c.faults.stuckSda, StuckSda::High);
  EXPECT_EQ(Parsed("sim:24C02,input=cts").sdaInput, 0);
  EXPECT_EQ(Parsed("sim:24C02,input=dsr").sdaInput, 1);
  EXPECT_EQ(Parsed("sim:24C02,wiring=standard").wiring, Wiring::Standard);
}

TEST(SimDeviceTest, RefusalsNameTheFaultInFrench) {
  EXPECT_EQ(Refusal("/dev/ttyS0"),
            "« /dev/ttyS0 » n'est pas un lecteur simulé : le nom doit commencer par « sim: ».");
  EXPECT_EQ(Refusal("sim:"), "Type de mémoire manquant dans « sim: ».");
  EXPECT_EQ(Refusal("sim:,pins=1"), "Type de mémoire manquant dans « sim:,pins=1 ».");
  EXPECT_EQ(Refusal("sim:24C03"), "Type de mémoire inconnu « 24C03 » dans « sim:24C03 ».");
  EXPECT_EQ(Refusal("sim:24C02,foo=1"), "Clé inconnue « foo » dans « sim:24C02,foo=1 ».");
  EXPECT_EQ(Refusal("sim:24C02,pins=8"),
            "Valeur incorrecte « 8 » pour « pins » (attendu : 0 à 7) dans « sim:24C02,pins=8 ».");
  EXPECT_EQ(
      Refusal("sim:24LC1025,pins=4"),
      "Valeur incorrecte « 4 » pour « pins » (attendu : 0 à 3) dans « sim:24LC1025,pins=4 ».");
  EXPECT_EQ(Refusal("sim:24C02,absent=1"),
            "La clé « absent » ne prend pas de valeur dans « sim:24C02,absent=1 ».");
  EXPECT_EQ(Refusal("sim:24C02,pins"),
            "La clé « pins » demande une valeur dans « sim:24C02,pins ».");
  EXPECT_EQ(Refusal("sim:24C02,image="),
            "La clé « image » demande une valeur dans « sim:24C02,image= ».");
  EXPECT_EQ(Refusal("sim:24C02,pins=1,pins=2"),
            "Clé « pins » donnée deux fois dans « sim:24C02,pins=1,pins=2 ».");
  EXPECT_EQ(Refusal("sim:24C02,"), "Élément vide dans « sim:24C02, ».");
  EXPECT_EQ(Refusal("sim:24C02,wiring=inverse"),
            "Valeur incorrecte « inverse » pour « wiring » (attendu : standard ou insitu) dans "
            "« sim:24C02,wiring=inverse ».");
}

TEST(SimDeviceTest, ValuesOutOfRangeOrMalformedAreRefused) {
  for (const char* device : {"sim:24C02,pins=-1",
                             "sim:24C02,pins=abc",
                             "sim:24C02,pins=1x",
                             "sim:24C02,pins=0x",
                             "sim:24C02,arrangement=6",
                             "sim:24C02,input=rts",
                             "sim:24C02,stuck=middle",
                             "sim:24C02,refuse=256",
                             "sim:24C02,refuse=0x100",
                             "sim:24C512,refuse=65536",
                             "sim:24C02,nack=0",
                             "sim:24C02,pullout=0",
                             "sim:24C02,cost=0",
                             "sim:24C02,cycle=60001",
                             "sim:24C02,busy-polls=-3",
                             "sim:24C02,pins=99999999999999999999999",
                             "SIM:24C02",
                             "sim:24C02,=5",
                             "sim:24C02,wp=",
                             "sim:24C02,,absent"}) {
    Refusal(device);
  }
  EXPECT_EQ(Parsed("sim:24C02,refuse=255").faults.refusedAddress, 255);
  EXPECT_EQ(Parsed("sim:24C512,refuse=65535").faults.refusedAddress, 65535);
  EXPECT_EQ(Parsed("sim:24C02,cycle=0").writeCycleNs, 0U);
}

TEST(SimDeviceTest, OpenSimulatedPortRefusesWhatTheParserRefuses) {
  std::string error;
  EXPECT_EQ(OpenSimulatedPort("sim:24C99", error), nullptr);
  EXPECT_EQ(error, "Type de mémoire inconnu « 24C99 » dans « sim:24C99 ».");
  error.clear();
  const auto reader = OpenSimulatedPort("sim:24C64,pins=3,cost=100", error);
  ASSERT_NE(reader, nullptr) << error;
  EXPECT_EQ(reader->eeprom().capacity(), 8192U);
  EXPECT_EQ(reader->config().pins, 3);
  EXPECT_EQ(reader->config().callCostNs, 100U);
  EXPECT_TRUE(IsSimDevice("sim:24C02"));
  EXPECT_FALSE(IsSimDevice("COM1:"));
}

}  // namespace
}  // namespace keldar::sim
