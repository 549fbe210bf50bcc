// keldar-cli run as a user runs it, against simulated memories kept in image files.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "fixtures/machine_tree.h"
#include "i2c/catalogue.h"

namespace {

namespace fs = std::filesystem;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("keldar-cli-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    // No real device can ever be named, and the settings live in the test's own folder.
    for (int n = 1; n <= 4; ++n) {
      const std::string name = "KELDAR_COM" + std::to_string(n);
      ::setenv(name.c_str(), (dir / ("no-such-device-" + std::to_string(n))).c_str(), 1);
    }
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("KELDAR_DEV_ROOT", (dir / "no-dev").c_str(), 1);
    ::setenv("KELDAR_SYSFS_ROOT", (dir / "no-sys").c_str(), 1);
    ::setenv("KELDAR_LOCK_DIRS", "", 1);
  }
  void TearDown() override { fs::remove_all(dir); }

  // environment: "NAME=value ..." put before the command.
  CliRun Cli(const std::string& arguments, const std::string& environment = "") {
    const fs::path out = dir / "stdout.txt";
    const fs::path err = dir / "stderr.txt";
    const std::string command = environment + KELDAR_CLI_PATH + " " + arguments + " >" +
                                out.string() + " 2>" + err.string() + " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Text(out), Text(err)};
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  static std::string Text(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static std::vector<uint8_t> Bytes(const fs::path& file) {
    const std::string text = Text(file);
    return {text.begin(), text.end()};
  }
  void WriteRandom(const std::string& name, size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::ofstream out(dir / name, std::ios::binary);
    for (size_t i = 0; i < size; ++i)
      out.put(static_cast<char>(random() & 0xFF));
  }

  fs::path dir;
};

TEST_F(CliTest, ProgramThenReadBackEveryFormat) {
  struct Case {
    const char* type;
    size_t capacity;
    const char* extra;  // reader options
    const char* sim;    // simulated reader options
    const char* programOnly = "";
  };
  for (const Case& c : {Case{"24C02", 256, "", ""}, Case{"24C16", 2048, "", "", "--byte-mode"},
                        Case{"X24C01", 128, "", ""},
                        Case{"24C64", 8192, "--insitu --base 5", ",wiring=insitu,pins=5"},
                        Case{"24C512", 65536, "", ""}}) {
    SCOPED_TRACE(c.type);
    const std::string image = Path(std::string(c.type) + ".mem");
    const std::string port = "--port sim:" + std::string(c.type) + ",image=" + image + c.sim;
    WriteRandom("in.bin", c.capacity, static_cast<unsigned>(c.capacity));

    CliRun run = Cli("program " + port + " --type " + c.type + " -i " + Path("in.bin") + " " +
                     c.extra + " " + c.programOnly);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "La programmation s'est correctement déroulée...\n");
    EXPECT_EQ(Bytes(image), Bytes(dir / "in.bin")) << "the simulated memory holds the file";

    run = Cli("read " + port + " --type " + c.type + " -o " + Path("out.hex") + " " + c.extra);
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli("convert --type " + std::string(c.type) + " -i " + Path("out.hex") + " -o " +
              Path("out.bin"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Bytes(dir / "out.bin"), Bytes(dir / "in.bin"));

    run = Cli("compare " + port + " --type " + c.type + " -i " + Path("out.hex") + " " + c.extra);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Aucune différence entre le buffer et l'EEPROM...\n");
  }
}

// A part whose sequential read wraps at each 256-byte block reads right; a 24C02 read as a
// 24C04 repeats itself and the CLI says so, a blank memory does not.
TEST_F(CliTest, BlockWrappingPartsReadRightAndARepeatingReadIsPointedOut) {
  WriteRandom("16.bin", 2048, 7);
  CliRun run = Cli("read --port sim:24C16,rollover=block,image=" + Path("16.bin") +
                   " --type 24C16 -o " + Path("out16.bin"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Bytes(dir / "out16.bin"), Bytes(dir / "16.bin"));
  EXPECT_EQ(run.err.find("se répète"), std::string::npos);

  WriteRandom("02.bin", 256, 8);
  run = Cli("read --port sim:24C02,image=" + Path("02.bin") + " --type 24C04 -o " +
            Path("out04.bin"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("La mémoire lue se répète tous les 256 octets : le type choisi est "
                         "peut-être plus grand que la mémoire."),
            std::string::npos)
      << run.err;

  run = Cli("read --port sim:24C02 --type 24C04 -o " + Path("blank.bin"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.find("se répète"), std::string::npos) << run.err;
}

// The type's name alone on the output and 0 when one type fits; 1 when the contents cannot tell
// (a blank part) or nothing answers; 2 for --type, which identify does not take.
TEST_F(CliTest, IdentifyPrintsTheTypeFoundAndSaysHowSure) {
  WriteRandom("32.bin", 4096, 32);
  CliRun run = Cli("identify --port sim:24C32,image=" + Path("32.bin"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "24C32\n");
  EXPECT_NE(run.err.find("Adresse de mot sur deux octets."), std::string::npos) << run.err;
  run = Cli("identify --port sim:24C32");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("vierge"), std::string::npos) << run.err;
  EXPECT_EQ(Cli("identify --port sim:24C32,absent").status, 1);
  EXPECT_EQ(Cli("identify --port sim:24C32 --type 24C32").status, 2);
}

TEST_F(CliTest, CompareCountsAndListsDifferences) {
  WriteRandom("in.bin", 1024, 7);
  const std::string port = "--port sim:24C08,image=" + Path("mem.bin");
  ASSERT_EQ(Cli("program " + port + " --type 24C08 -i " + Path("in.bin")).status, 0);
  {
    std::fstream file(dir / "in.bin", std::ios::in | std::ios::out | std::ios::binary);
    for (std::streamoff at : {0x10, 0x11, 0x12, 0x3FF}) {
      file.seekg(at);
      const char c = static_cast<char>(file.get() ^ 0x5A);
      file.seekp(at);
      file.put(c);
    }
  }
  const CliRun run = Cli("compare " + port + " --type 24C08 -i " + Path("in.bin") + " --list");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Attention : 4 octet(s) différent(s) sur un total de 1024 !\n$0010-$0012\n$03FF\n");
}

// Ranges on a 24C16: an Intel HEX file's bytes inside the range are programmed and the rest of
// the file ignored; a binary file holds the range alone, and one of another size is refused.
TEST_F(CliTest, ARangeTakesItsBytesFromTheFileAndSavesThemWhereTheyBelong) {
  WriteRandom("in.bin", 2048, 9);
  ASSERT_EQ(Cli("convert --type 24C16 -i " + Path("in.bin") + " -o " + Path("in.hex")).status, 0);
  const std::string port = "--port sim:24C16,image=" + Path("mem.bin") + " --type 24C16 ";
  CliRun run = Cli("program " + port + "--from 0x123 --to 0x2F0 -i " + Path("in.hex"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("Seuls les octets de $0123 à $02F0 sont pris"), std::string::npos);
  const std::vector<uint8_t> file = Bytes(dir / "in.bin");
  std::vector<uint8_t> expected(2048, 0xFF);
  std::copy(file.begin() + 0x123, file.begin() + 0x2F1, expected.begin() + 0x123);
  EXPECT_EQ(Bytes(dir / "mem.bin"), expected);

  ASSERT_EQ(Cli("read " + port + "--from 0x123 --to 0x2F0 -o " + Path("r.bin")).status, 0);
  EXPECT_EQ(Bytes(dir / "r.bin"), std::vector<uint8_t>(file.begin() + 0x123, file.begin() + 0x2F1));

  run = Cli("compare " + port + "--from 0x120 --to 0x12F --list -i " + Path("in.hex"));
  EXPECT_EQ(run.out, "Attention : 3 octet(s) différent(s) sur un total de 16 !\n$0120-$0122\n");
  run = Cli("program " + port + "--from 0x123 --to 0x2F0 -i " + Path("in.hex") + " --format bin");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("la plage $0123 à $02F0 en compte 462"), std::string::npos) << run.err;
}

TEST_F(CliTest, RefusedByteStopsProgrammingAndSaysSo) {
  WriteRandom("in.bin", 2048, 3);
  const std::string image = Path("mem.bin");
  const CliRun run = Cli("program --port sim:24C16,refuse=300,image=" + image +
                         " --type 24C16 -i " + Path("in.bin"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Programmation interrompue : "), std::string::npos) << run.err;
  const std::vector<uint8_t> memory = Bytes(image);
  const std::vector<uint8_t> file = Bytes(dir / "in.bin");
  ASSERT_EQ(memory.size(), 2048U);
  // Pages of 16 before the refused one are written, none after it.
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + 288, memory.begin()));
  EXPECT_TRUE(std::all_of(memory.begin() + 304, memory.end(), [](uint8_t b) { return b == 0xFF; }));
}

TEST_F(CliTest, AMemoryThatAcknowledgesButWritesNothingFailsUnlessVerifyingIsLeftToTheScript) {
  std::ofstream(dir / "zeros.bin", std::ios::binary) << std::string(256, '\0');
  const std::string args = "--port sim:24C02,wp=ack --type 24C02 -i " + Path("zeros.bin");
  CliRun run = Cli("program " + args);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("sur 256 octet(s)\nsur un total de 256, le premier à l'adresse $0000 !"),
            std::string::npos);
  run = Cli("program --no-verify " + args);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "La programmation s'est correctement déroulée...\n");
}

TEST_F(CliTest, MissingMemoryOrReaderFailsWithTheWindowsTexts) {
  CliRun run = Cli("read --port sim:24C02,absent --type 24C02 -o " + Path("x.bin"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Lecture impossible :"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "x.bin")) << "nothing is saved after a failed read";

  run = Cli("compare --port sim:24C02,noreader --type 24C02 -i " + Path("x.bin"));
  EXPECT_EQ(run.status, 1);

  WriteRandom("in.bin", 256, 1);
  run = Cli("compare --port sim:24C02,noreader --type 24C02 -i " + Path("in.bin"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, Path("in.bin") +
                         " : 256 octets chargés, de $0000 à $00FF\n"
                         "Erreur de communication avec la mémoire...\n");

  run = Cli("program --port sim:24C02,pins=3 --type 24C02 -i " + Path("in.bin"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Programmation impossible ou erronée: "), std::string::npos);
}

TEST_F(CliTest, PortsAndFilesThatCannotBeHad) {
  WriteRandom("in.bin", 256, 1);
  CliRun run = Cli("read --port 1 --type 24C02 -o " + Path("x.bin"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("est indisponible"), std::string::npos);

  run = Cli("read --port sim:24C02,colour=blue --type 24C02 -o " + Path("x.bin"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("colour"), std::string::npos) << run.err;

  run = Cli("program --port sim:24C02 --type 24C02 -i " + Path("missing.hex"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("est introuvable !"), std::string::npos);

  std::ofstream(dir / "bad.hex") << ":10000000000102030405060708090A0B0C0D0E0F78\n:0100\n";
  const std::string image = Path("mem.bin");
  run = Cli("program --port sim:24C02,image=" + image + " --type 24C02 -i " + Path("bad.hex"));
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(fs::exists(image)) << "a faulty file is never half programmed";
}

TEST_F(CliTest, AnIntelHexFileWithoutDataIsNeverProgrammed) {
  const std::string image = Path("mem.bin");
  std::ofstream(dir / "end.hex") << ":0400000500001234B1\n:00000001FF\n";
  const CliRun run =
      Cli("program --port sim:24C02,image=" + image + " --type 24C02 -i " + Path("end.hex"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, Path("end.hex") + " : Le fichier ne contient aucun octet ! \n");
  EXPECT_TRUE(run.out.empty());
  EXPECT_FALSE(fs::exists(image)) << "no memory is touched";
}

TEST_F(CliTest, UsageErrorsAndHelp) {
  EXPECT_EQ(Cli("").status, 2);
  EXPECT_EQ(Cli("read --type 24C02").status, 2);
  EXPECT_EQ(Cli("read --port 1 --type 24C02 -o x --base 9").status, 2);
  const CliRun help = Cli("program --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--byte-mode"), std::string::npos);
  EXPECT_TRUE(help.err.empty()) << "no progress bar or noise without a terminal";
}

TEST_F(CliTest, IntelHexWrittenByObjcopyReadsBackIdentically) {
  if (std::system("command -v objcopy >/dev/null 2>&1") != 0) GTEST_SKIP() << "no objcopy";
  WriteRandom("in.bin", 4096, 11);
  ASSERT_EQ(
      std::system(("objcopy -I binary -O ihex " + Path("in.bin") + " " + Path("gnu.hex")).c_str()),
      0);
  const std::string image = Path("mem.bin");
  CliRun run =
      Cli("program --port sim:24C32,image=" + image + " --type 24C32 -i " + Path("gnu.hex"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Bytes(image), Bytes(dir / "in.bin"));
  run = Cli("convert --type 24C32 -i " + Path("gnu.hex") + " -o " + Path("back.bin"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Bytes(dir / "back.bin"), Bytes(dir / "in.bin"));
}

TEST_F(CliTest, SavedLineMapIsUsedWithoutOptions) {
  // The window saved an in-situ reader on arrangement 0.
  fs::create_directories(dir / "config" / "ZEMBRAX");
  std::ofstream(dir / "config" / "ZEMBRAX" / "KELDAR.conf")
      << "[General]\nComplementer_SCL_out=1\nComplementer_SDA_out=1\nComplementer_SDA_in=1\n";
  WriteRandom("in.bin", 256, 5);
  const std::string port = "--port sim:24C02,wiring=insitu,image=" + Path("mem.bin");
  EXPECT_EQ(Cli("program " + port + " --type 24C02 -i " + Path("in.bin")).status, 0);
  EXPECT_EQ(Cli("program " + port + " --type 24C02 --standard -i " + Path("in.bin")).status, 1);
}

// Output with every run of blanks and line ends as one space: the listing wraps long lines.
std::string Flat(const std::string& text) {
  std::string flat;
  for (const char c : text) {
    const bool blank = c == ' ' || c == '\n';
    if (!blank || (!flat.empty() && flat.back() != ' ')) flat.push_back(blank ? ' ' : c);
  }
  return flat;
}

using keldar::testing::MachineTree;

#ifdef KELDAR_SHIM_LIBRARY
std::string UnderShim(const std::string& devices, const std::string& more = "") {
  return std::string("LD_PRELOAD=") + KELDAR_SHIM_LIBRARY +
         " ASAN_OPTIONS=verify_asan_link_order=0 KELDAR_SHIM_DEVICES='" + devices + "' " + more +
         " ";
}

// The listing reads the fixture machine and opens nothing: every device path of it is a shim
// device, and the shim writes its log at the first opening (or refusal) of one.
TEST_F(CliTest, PortsListsEachDeviceWithItsDriverAndAdviceWithoutOpeningAny) {
  const MachineTree machine{dir / "sys", dir / "dev"};
  machine.Native();
  machine.Usb("ttyUSB0", "1-1", "0403:6001", "FTDI", "FT232R USB UART", "ftdi_sio");
  machine.Usb("ttyUSB1", "1-2", "1a86:7523", "QinHeng", "USB Serial", "ch341-uart");
  machine.Usb("ttyUSB2", "1-3", "067b:2303", "Prolific", "USB-Serial Controller", "pl2303");
  machine.Usb("ttyUSB3", "1-4", "10c4:ea60", "Silicon_Labs", "CP2102", "cp210x");
  machine.Usb("ttyACM0", "1-5", "2341:0043", "Arduino", "Uno", "cdc_acm");
  machine.Usb("", "1-6", "0403:6001", "FTDI", "FT232R USB UART", "");
  fs::create_directories(dir / "config" / "ZEMBRAX");
  std::ofstream(dir / "config" / "ZEMBRAX" / "KELDAR.conf")
      << "[Ports]\nCOM3=" << (dir / "dev" / "ttyS1").string() << "\n";
  MachineTree::Text(dir / "locks/LCK..ttyUSB1", "         1");  // init: always alive
  std::string shim;
  for (const auto& entry : fs::recursive_directory_iterator(dir / "dev")) {
    if (!entry.is_directory()) shim += entry.path().string() + "=sim:24C02;";
  }
  const std::string ftdi = (dir / "dev/serial/by-id/usb-FTDI_SN1-1-if00-port0").string();
  const CliRun run =
      Cli("ports",
          UnderShim(shim, "KELDAR_SHIM_LOG=" + Path("counts") + " KELDAR_DEV_ROOT=" + Path("dev") +
                              " KELDAR_SYSFS_ROOT=" + Path("sys") +
                              " KELDAR_LOCK_DIRS=" + Path("locks") + " KELDAR_COM1=" + ftdi +
                              " KELDAR_COM2=sim:24C02 KELDAR_COM3="));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(fs::exists(dir / "counts")) << Text(dir / "counts");
  const std::string out = Flat(run.out);
  for (const std::string& expected : std::initializer_list<std::string>{
           "COM1 : " + ftdi + " (variable KELDAR_COM1) adaptateur USB, pilote ftdi_sio",
           "COM2 : sim:24C02 (variable KELDAR_COM2) lecteur simulé",
           "COM3 : " + Path("dev/ttyS1") + " (réglage Ports/COM3) port série natif",
           "(variable KELDAR_COM4) introuvable",
           ftdi + " (ttyUSB0) adaptateur USB, pilote ftdi_sio, 0403:6001 FTDI FT232R USB UART, n° "
                  "SN1-1 Environ 1 à 2 ms par appel",
           "pilote ch341-uart, 1a86:7523 QinHeng USB Serial, n° SN1-2 occupé par le processus 1 "
           "(verrou LCK..ttyUSB1)",
           "octet nul à 46 bauds", "pilote pl2303, 067b:2303", "jusqu'à son premier message",
           "pilote cp210x, 10c4:ea60", "attend d'abord la fin de",
           "(ttyACM0) adaptateur USB, pilote cdc_acm, 2341:0043", "CTS ne peut pas être l'entrée",
           Path("dev/ttyS0") + " port série natif, pilote serial, UART 16550A",
           Path("dev/ttyS1") + " port série natif, pilote serial8250, aucun UART derrière ce port "
                               "(port fantôme) Aucun UART ne répond",
           "ftdi:0403:6001:SN1-1 (ttyUSB0) câble FTDI en bit-bang synchrone, 0403:6001 FTDI "
           "FT232R USB UART, n° SN1-1, libre, pilote ftdi_sio (/dev/ttyUSB0)",
           "ftdi:0403:6001:SN1-6 câble FTDI en bit-bang synchrone, 0403:6001 FTDI FT232R USB UART, "
           "n° SN1-6, en service : son pilote noyau est détaché"}) {
    EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << run.out;
  }
  // Stable names first, then the ports no stable name leads to; ttyUSB0 is listed once.
  EXPECT_LT(out.find("by-id/usb-Silicon_Labs"), out.find(Path("dev/ttyS0") + " port"));
  EXPECT_LT(out.find(Path("dev/ttyS0") + " port"), out.find(Path("dev/ttyS1") + " port"));
  EXPECT_EQ(out.find(Path("dev/ttyUSB0")), std::string::npos);
}

// The I2C adapters, by name, each with why it is refused; COM1 names one. Nothing is opened.
TEST_F(CliTest, PortsListsTheI2cAdaptersByNameAndSaysWhyThePcsAreRefused) {
  const MachineTree machine{dir / "sys", dir / "dev"};
  machine.I2cMachine();
  std::string shim;
  for (const auto& node : fs::directory_iterator(dir / "dev"))
    shim += node.path().string() + "=sim:24C02;";
  const CliRun run =
      Cli("ports",
          UnderShim(shim, "KELDAR_SHIM_LOG=" + Path("counts") + " KELDAR_DEV_ROOT=" + Path("dev") +
                              " KELDAR_SYSFS_ROOT=" + Path("sys") + " KELDAR_COM1=i2c:7"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(fs::exists(dir / "counts")) << Text(dir / "counts");
  const std::string out = Flat(run.out);
  const std::string i2c = "i2c:" + Path("dev") + "/i2c-";
  for (const std::string& expected : std::initializer_list<std::string>{
           "COM1 : i2c:7 (variable KELDAR_COM1) adaptateur I2C « MCP2221 usb-i2c bridge », pilote "
           "mcp2221",
           "Adaptateurs I2C de cette machine (i2c-dev) : " + i2c +
               "0 adaptateur I2C « SMBus I801 adapter at efa0 », pilote i801_smbus Refusé : « "
               "SMBus I801 adapter at efa0 » est le bus SMBus de la carte mère ; il porte les "
               "EEPROM SPD des barrettes mémoire",
           i2c + "1 adaptateur I2C « i915 gmbus dpb », pilote i915 Refusé : « i915 gmbus dpb » est "
                 "un bus d'affichage de la carte graphique",
           i2c + "2 adaptateur I2C « AUX A/DDI A/PHY A », pilote i915 Refusé",
           i2c + "7 adaptateur I2C « MCP2221 usb-i2c bridge », pilote mcp2221 L'adaptateur mène "
                 "le bus lui-même",
           "Adresses tenues par un pilote du noyau : 0x50 (at24) ; une mémoire qui y répond est "
           "refusée.",
           i2c + "8 adaptateur I2C « i2c-tiny-usb at bus 001 device 005 », pilote i2c-tiny-usb, "
                 "sans nœud i2c-dev « i2c-tiny-usb at bus 001 device 005 » n'a pas de nœud dans "
                 "/dev : le module i2c-dev n'est pas chargé (sudo modprobe i2c-dev"}) {
    EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << run.out;
  }
}

// COM1 names an I2C adapter: a 24C256 at pins 3 programmed and read back through i2c-dev alone.
TEST_F(CliTest, AnI2cAdapterProgramsAndReadsBackAMemory) {
  MachineTree{dir / "sys", dir / "dev"}.I2cMachine();
  WriteRandom("in.bin", 32768, 29);
  const std::string shim =
      UnderShim(Path("dev/i2c-7") + "=sim:24C256,pins=3,cycle=1,image=" + Path("memory.bin"),
                "KELDAR_SHIM_LOG=" + Path("counts") + " KELDAR_DEV_ROOT=" + Path("dev") +
                    " KELDAR_SYSFS_ROOT=" + Path("sys") + " KELDAR_COM1=i2c:/dev/i2c-7");
  for (const std::string& command :
       {"program -i " + Path("in.bin"), "read -o " + Path("out.bin")}) {
    const CliRun run = Cli(command + " --port 1 --type 24C256 --base 3", shim);
    ASSERT_EQ(run.status, 0) << command << "\n" << run.err;
  }
  EXPECT_EQ(Bytes(dir / "out.bin"), Bytes(dir / "in.bin"));
  EXPECT_EQ(Bytes(dir / "memory.bin"), Bytes(dir / "in.bin"));
  EXPECT_NE(Text(dir / "counts").find("I2C_SMBUS 0"), std::string::npos);
}

// Opened as the window opens it, measured, and closed; the memory is never powered.
TEST_F(CliTest, PortsProbeMeasuresAShimDeviceAndEstimatesEveryType) {
  const std::string trace = Path("trace");
  CliRun run =
      Cli("ports --probe 1", UnderShim("/dev/ttyKELDAR0=sim:24C16",
                                       "KELDAR_COM1=/dev/ttyKELDAR0 KELDAR_SHIM_TRACE=" + trace));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string out = Flat(run.out);
  EXPECT_NE(out.find("lecture d'état"), std::string::npos) << run.out;
  EXPECT_NE(out.find("Valim = TxD / SCL = RTS / SDA = DTR, entrée CTS"), std::string::npos);
  for (const keldar::MemoryType& type : keldar::kMemoryTypes)
    EXPECT_NE(out.find(" " + std::string(type.name) + " "), std::string::npos) << type.name;
  const std::string calls = Text(trace);
  EXPECT_EQ(calls.rfind("open /dev/ttyKELDAR0\nTIOCEXCL\nflock LOCK_EX\nTIOCMGET", 0), 0U) << calls;
  EXPECT_EQ(calls.find("TIOCSBRK"), std::string::npos) << "Valim was raised";
  EXPECT_TRUE(
      calls.ends_with("TIOCCBRK\nTIOCMBIC RTS\nTIOCMBIC DTR\nsleep 20\nclose "
                      "/dev/ttyKELDAR0\n"))
      << calls;

  // An FTDI cable in bit-bang mode (here its model): the rate its stream reached at opening, and
  // estimates counted in bytes of the stream.
  run = Cli("ports --probe 1", "KELDAR_COM1=sim:24C16,adapter=ft232r ");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(Flat(run.out).find("Câble en bit-bang synchrone"), std::string::npos) << run.out;
  EXPECT_NE(Flat(run.out).find("Débit du flot mesuré à l'ouverture : "), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Durées estimées"), std::string::npos) << run.out;

  // A serial port with no UART behind it is unavailable, as in the window.
  run = Cli("ports --probe 2", UnderShim("/dev/ttyKELDAR1=phantom", "KELDAR_COM2=/dev/ttyKELDAR1"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Le port /dev/ttyKELDAR1 est indisponible !"), std::string::npos)
      << run.err;
}

// The real POSIX backend on a device path that the syscall shim answers with a simulated
// reader: what a user does with --port 1 and a serial adapter.
TEST_F(CliTest, ProgramsAndReadsThroughThePosixBackendOnTheShim) {
  WriteRandom("in.bin", 2048, 21);
  const std::string image = Path("shim.mem");
  const std::string shim =
      UnderShim("/dev/ttyKELDAR0=sim:24C16,image=" + image, "KELDAR_COM1=/dev/ttyKELDAR0");
  CliRun run = Cli("program --port 1 --type 24C16 -i " + Path("in.bin"), shim);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Bytes(image), Bytes(dir / "in.bin"));
  run = Cli("read --port 1 --type 24C16 -o " + Path("out.bin"), shim);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Bytes(dir / "out.bin"), Bytes(dir / "in.bin"));
  run = Cli("compare --port 1 --type 24C16 -i " + Path("in.bin"), shim);
  EXPECT_EQ(run.status, 0) << run.err;

  // Without the shim the same name is a missing device.
  run = Cli("read --port /dev/ttyKELDAR0 --type 24C16 -o " + Path("x.bin"));
  EXPECT_EQ(run.status, 1);
}

// A stop signal during a programming: the page being written is finished and nothing after it
// is sent, the port is put back (its lock file removed, the simulated memory saved) and the
// shell sees 128 and the signal's number.
TEST_F(CliTest, AStopSignalEndsTheProgrammingAtAPageAndPutsThePortBack) {
  WriteRandom("in.bin", 32768, 5);
  const std::vector<uint8_t> file = Bytes(dir / "in.bin");
  fs::create_directories(dir / "lock");
  const struct {
    int signal;
    int status;
    int at;  // about 3000 ioctls a page
  } cases[] = {{SIGINT, 130, 40'000}, {SIGTERM, 143, 100'000}, {SIGHUP, 129, 7'000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.signal);
    const std::string image = Path("shim-" + std::to_string(c.signal) + ".mem");
    const std::string shim =
        UnderShim("/dev/ttyKELDAR0=sim:24C256,image=" + image,
                  "KELDAR_COM1=/dev/ttyKELDAR0 KELDAR_LOCK_DIRS=" + Path("lock") +
                      " KELDAR_SHIM_SIGNAL=" + std::to_string(c.signal) +
                      " KELDAR_SHIM_SIGNAL_AT=" + std::to_string(c.at));
    const CliRun run = Cli("program --port 1 --type 24C256 -i " + Path("in.bin"), shim);
    EXPECT_EQ(run.status, c.status) << run.err;
    const std::vector<uint8_t> cells = Bytes(image);
    ASSERT_EQ(cells.size(), file.size());
    size_t written = 0;
    while (written < cells.size() && cells[written] == file[written])
      ++written;
    written -= written % 64;  // the next page's first data may equal the blank memory by chance
    ASSERT_GT(written, 0u);
    EXPECT_TRUE(std::all_of(cells.begin() + static_cast<long>(written), cells.end(), [](uint8_t b) {
      return b == 0xFF;
    })) << "whole pages only";
    char last[8];
    std::snprintf(last, sizeof last, "$%04zX", written - 1);
    EXPECT_NE(run.err.find(std::string("Programmation interrompue : les octets $0000 à ") + last +
                           " sont programmés"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(fs::is_empty(dir / "lock")) << "the lock file is removed";
  }
}

// Why a port or a file cannot be had, through the real backend, the shim and real folders.
TEST_F(CliTest, ARefusedPortOrFileSaysWhy) {
  const group* uucp = ::getgrnam("uucp");
  ASSERT_NE(uucp, nullptr) << "no uucp group on this machine";
  const std::string pid = std::to_string(::getpid());  // alive: its lock is honoured
  fs::create_directories(dir / "locks");
  std::ofstream(dir / "locks/LCK..ttyKELDAR3") << pid << " minicom\n";
  fs::create_directories(dir / "proc" / pid);
  std::ofstream(dir / "proc" / pid / "comm") << "minicom\n";
  const std::string environment = UnderShim(
      "/dev/ttyKELDAR0=errno=EACCES,group=" + std::to_string(uucp->gr_gid) +
          ";/dev/ttyKELDAR1=errno=EACCES;/dev/ttyKELDAR2=errno=EBUSY;/dev/ttyKELDAR4=phantom;"
          "/dev/ttyKELDAR5=errno=EIO;" +
          Path("locked.bin") + "=errno=EACCES;" + Path("full") + "/=errno=ENOSPC",
      "KELDAR_LOCK_DIRS=" + Path("locks") + " KELDAR_PROC_ROOT=" + Path("proc"));
  WriteRandom("in.bin", 256, 2);
  WriteRandom("locked.bin", 256, 2);
  WriteRandom("read-only.bin", 256, 2);
  fs::permissions(dir / "read-only.bin", fs::perms::owner_read);
  fs::create_directories(dir / "full");
  fs::create_directory_symlink("loop", dir / "loop");
  const std::string gone = "Le fichier ne contient aucun octet ! (";
  const std::string unsaved = "L'enregistrement n'a pas pu être effectué (";
  const std::pair<std::string, std::string> cases[] = {
      {"/dev/ttyKELDAR9", "introuvable : l'adaptateur est-il branché ?"},
      {"/dev/ttyKELDAR0",
       "accès refusé : ajoutez votre compte au groupe uucp : sudo usermod -aG "
       "uucp $USER, puis reconnectez-vous"},
      {"/dev/ttyKELDAR1",
       "accès refusé : ajoutez votre compte au groupe dialout : sudo usermod "
       "-aG dialout $USER, puis reconnectez-vous"},
      {"/dev/ttyKELDAR3", "utilisé par minicom (processus " + pid + ")"},
      {"/dev/ttyKELDAR2", "utilisé par un autre programme"},
      {"/dev/ttyKELDAR4", "aucun UART ne répond derrière ce port (port fantôme)"},
      {"/dev/ttyKELDAR5", "erreur d'entrée-sortie"},
      {"ftdi:", KELDAR_WITH_FTDI ? "aucun câble FTDI branché ne correspond"
                                 : "ce programme a été construit sans libftdi1 : passez par le "
                                   "port série du câble"},
      {"-i " + Path("missing.bin"), gone + "fichier ou dossier introuvable"},
      {"-i " + Path("locked.bin"), gone + "accès refusé : vos droits ne permettent pas de lire ce "
                                          "fichier ou d'écrire dans ce dossier"},
      {"-i " + Path("loop"), gone + "trop de liens symboliques (une boucle ?)"},
      {"-o " + Path("read-only.bin"), unsaved + "fichier ou support en lecture seule"},
      {"-o " + Path("full"), unsaved + "c'est un dossier, pas un fichier"},
      {"-o " + Path("full/out.bin"), unsaved + "disque plein : libérez de la place ou choisissez "
                                               "un autre disque"},
      {"-o " + Path("no-folder/out.bin"), unsaved + "fichier ou dossier introuvable"},
  };
  for (const auto& [what, why] : cases) {
    std::string command = "read --type 24C02 -o " + Path("x.bin") + " --port " + what;
    std::string expected = "Le port " + what + " est indisponible ! (" + why + ")\n";
    if (what.starts_with("-")) {
      const bool load = what.starts_with("-i");
      command = "convert --type 24C02 " + what + (load ? " -o " : " -i ") + Path("in.bin");
      expected = what.substr(3) + " : " + why + ")\n";
    }
    const CliRun run = Cli(command, environment);
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_TRUE(run.err.ends_with(expected)) << command << "\n" << run.err;
  }
}

#endif

}  // namespace
