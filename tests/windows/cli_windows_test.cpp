// keldar-cli.exe started as a user starts it: a UTF-16 command line with names outside the ANSI
// code page, French text back in UTF-8.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "temp_dir.h"

namespace keldar {
namespace {

namespace fs = std::filesystem;

class CliWindowsTest : public ::testing::Test {
 protected:
  // Through cmd, as a user types it; the exit code, the standard output and error in out and
  // err.
  int Cli(const std::wstring& arguments) {
    const int status =
        ::_wsystem((L"\"\"" + fs::path(KELDAR_CLI_PATH).wstring() + L"\" " + arguments + L" >" +
                    Quoted(L"out") + L" 2>" + Quoted(L"err") + L"\"")
                       .c_str());
    out = testing::ReadFile(dir / "out");
    err = testing::ReadFile(dir / "err");
    return status;
  }
  std::wstring Quoted(const wchar_t* name) const {
    return L"\"" + (dir.path() / name).wstring() + L"\"";
  }

  testing::TempDir dir;
  std::string out, err;
};

TEST_F(CliWindowsTest, ProgramsAndReadsA24C256OnAccentedNames) {
  std::string bytes(32768, '\0');
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<char>(i * 7 + i / 256);
  testing::WriteFile(dir.path() / L"données été.bin", bytes);
  const std::wstring port = L"--port \"sim:24C256,image=" +
                            (dir.path() / L"mémoire ∑.bin").wstring() + L"\" --type 24C256 ";

  ASSERT_EQ(Cli(L"program " + port + L"-i " + Quoted(L"données été.bin")), 0) << err;
  EXPECT_EQ(out, "La programmation s'est correctement déroulée...\r\n");
  ASSERT_EQ(Cli(L"read " + port + L"-o " + Quoted(L"relu Ω.bin")), 0) << err;
  const std::u8string name = (dir.path() / L"relu Ω.bin").u8string();
  EXPECT_EQ(out, "Lecture terminée : 32768 octets enregistrés dans " +
                     std::string(name.begin(), name.end()) + "\r\n");
  EXPECT_EQ(testing::ReadFile(dir.path() / L"relu Ω.bin"), bytes);
}

TEST_F(CliWindowsTest, AMissingComPortIsUnavailable) {
  EXPECT_EQ(Cli(L"read --port COM9 --type 24C02 -o " + Quoted(L"x.bin")), 1);
  EXPECT_EQ(err,
            "Le port COM9 est indisponible ! (introuvable : l'adaptateur est-il branché ?)\r\n");
  EXPECT_FALSE(fs::exists(dir / "x.bin"));
}

TEST_F(CliWindowsTest, PortsListsTheMachinesComPortsWithoutOpeningThem) {
  ASSERT_EQ(Cli(L"ports"), 0) << err;
  EXPECT_NE(out.find("COM1 : /nonexistent/keldar-com1 (variable KELDAR_COM1)"), std::string::npos)
      << out;
  EXPECT_NE(out.find("  COM10 (\\Device\\Serial9)\r\n      port série natif"), std::string::npos)
      << out;
}

}  // namespace
}  // namespace keldar
