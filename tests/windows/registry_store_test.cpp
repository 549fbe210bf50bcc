// The window's settings as keldar-cli reads them from the registry, written with the registry API
// the way QSettings writes them on Windows (DWORDs, REG_SZ), under a key of the tests' own.
#include "settings/registry_store.h"

#include <gtest/gtest.h>

#include <string>

#include "cli/saved_line_map.h"

// After hw/port.h, whose constants windows.h defines again as macros.
#include <windows.h>

namespace keldar {
namespace {

constexpr wchar_t kKey[] = L"Software\\ZEMBRAX\\KELDAR-tests";

void Set(const wchar_t* name, DWORD value) {
  ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, REG_DWORD, &value, sizeof value);
}
void Set(const wchar_t* name, const std::wstring& text, const std::wstring& key = kKey) {
  ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
  void TearDown() override { SetUp(); }
  RegistryStore store{kKey};
};

TEST_F(RegistryStoreTest, ValuesAsTheWindowWritesThemAreTheLineMapAndThePorts) {
  EXPECT_FALSE(store.Exists());
  Set(L"Configuration_Sorties", 3);
  Set(L"Configuration_Entree", 2);
  Set(L"Complementer_SCL_out", 7);  // any value but 0 is true
  Set(L"Temps_acces", 15);
  Set(L"X_origine", static_cast<DWORD>(-150));
  Set(L"Nom_Fichier", L"C:\\données\\mémoire ∑.bin");
  EXPECT_TRUE(store.Exists());
  const LineMap map = cli::SavedLineMap(store);
  EXPECT_EQ(map.Arrangement().valim, OutputLine::Rts);  // arrangement 3: SDA on TxD
  EXPECT_EQ(map.Arrangement().sda, OutputLine::Txd);
  EXPECT_EQ(map.SdaInputLine(), InputLine::Ring);
  EXPECT_TRUE(map.complementScl);
  EXPECT_FALSE(map.complementSdaIn);  // absent
  EXPECT_EQ(map.accessTime, 15);
  EXPECT_EQ(store.ReadInteger("X_origine"), -150);
  EXPECT_EQ(store.ReadString("Nom_Fichier"), "C:\\données\\mémoire ∑.bin");
  // A group is a subkey: the port overrides' is Ports.
  Set(L"COM2", L"sim:24C02,image=C:\\puce é.bin", std::wstring(kKey) + L"\\Ports");
  Set(L"COM3", L"sim:24C04");
  EXPECT_EQ(store.ReadString("Ports/COM2"), "sim:24C02,image=C:\\puce é.bin");
  EXPECT_EQ(store.ReadString("Ports/COM3"), std::nullopt);
}

TEST_F(RegistryStoreTest, ValuesOutOfRangeOrOfAnotherTypeReadAsDefaults) {
  Set(L"Configuration_Sorties", 6);
  Set(L"Configuration_Entree", L"1");
  Set(L"Nom_Fichier", 1);
  const LineMap map = cli::SavedLineMap(store);
  EXPECT_EQ(map.outputArrangement, 0);
  EXPECT_EQ(map.SdaInputLine(), InputLine::Cts);
  EXPECT_EQ(store.ReadString("Nom_Fichier"), std::nullopt);
}

}  // namespace
}  // namespace keldar
