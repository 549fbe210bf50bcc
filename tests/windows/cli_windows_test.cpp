// keldar-cli.exe started as a user starts it: a UTF-16 command line with names outside the ANSI
// code page, French text back in UTF-8.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "data/buffer.h"
#include "data/intelhex.h"
#include "temp_dir.h"

// After hw/port.h, whose constants windows.h defines again as macros.
#include <windows.h>

namespace keldar {
namespace {

namespace fs = std::filesystem;

class CliWindowsTest : public ::testing::Test {
 protected:
  // The exit code; the standard output and error in out and err.
  DWORD Cli(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const auto file = [&](const char* name) {
      return ::CreateFileW((dir / name).c_str(), GENERIC_WRITE, 0, &inherited, CREATE_ALWAYS, 0,
                           nullptr);
    };
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file("out");
    startup.hStdError = file("err");
    std::wstring command = L"\"" + fs::path(KELDAR_CLI_PATH).wstring() + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    DWORD status = 255;
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &process)) {
      ::WaitForSingleObject(process.hProcess, INFINITE);
      ::GetExitCodeProcess(process.hProcess, &status);
      ::CloseHandle(process.hThread);
      ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(startup.hStdOutput);
    ::CloseHandle(startup.hStdError);
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
  std::mt19937 random(256);
  std::string bytes(32768, '\0');
  for (char& byte : bytes)
    byte = static_cast<char>(random());
  testing::WriteFile(dir.path() / L"données été.bin", bytes);
  const std::wstring port =
      L"--port \"sim:24C256,image=" + (dir.path() / L"mémoire ∑.bin").wstring() + L"\"";

  ASSERT_EQ(Cli(L"program " + port + L" --type 24C256 -i " + Quoted(L"données été.bin")), 0U)
      << err;
  EXPECT_EQ(out, "La programmation s'est correctement déroulée...\r\n");
  EXPECT_EQ(testing::ReadFile(dir.path() / L"mémoire ∑.bin"), bytes);

  ASSERT_EQ(Cli(L"read " + port + L" --type 24C256 -o " + Quoted(L"relu Ω.hex")), 0U) << err;
  const std::u8string hex = (dir.path() / L"relu Ω.hex").u8string();
  EXPECT_EQ(out, "Lecture terminée : 32768 octets enregistrés dans " +
                     std::string(hex.begin(), hex.end()) + "\r\n");
  auto buffer = std::make_unique<Buffer>();
  ASSERT_EQ(ReadIntelHex(dir.path() / L"relu Ω.hex", *buffer, kBufferBytes).code, IntelHexCode::Ok);
  EXPECT_EQ(std::string(buffer->begin(), buffer->begin() + 32768), bytes);

  // The simulated reader's trace, on a name of the same kind.
  ASSERT_EQ(Cli(L"read --port \"sim:24C00,vcd=" + (dir.path() / L"trace é.vcd").wstring() +
                L"\" --type 24C00 -o " + Quoted(L"24C00.bin")),
            0U)
      << err;
  EXPECT_EQ(testing::ReadFile(dir.path() / L"trace é.vcd").rfind("$version keldar", 0), 0U);
}

TEST_F(CliWindowsTest, AMissingComPortIsUnavailable) {
  EXPECT_EQ(Cli(L"read --port COM9 --type 24C02 -o " + Quoted(L"x.bin")), 1U);
  EXPECT_EQ(err.rfind("Le port COM9 est indisponible ! (COM9: CreateFileW: ", 0), 0U) << err;
  EXPECT_FALSE(fs::exists(dir / "x.bin"));
}

TEST_F(CliWindowsTest, PortsListsTheMachinesComPortsWithoutOpeningThem) {
  ASSERT_EQ(Cli(L"ports"), 0U) << err;
  EXPECT_NE(out.find("COM1 : C:/nonexistent/keldar-com1 (variable KELDAR_COM1)"), std::string::npos)
      << out;
  EXPECT_NE(out.find("  COM10 (\\Device\\Serial9)\r\n      port série natif"), std::string::npos)
      << out;
}

}  // namespace
}  // namespace keldar
