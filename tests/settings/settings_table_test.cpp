#include "settings/settings_table.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <map>
#include <vector>

#include "settings/settings_store.h"

namespace keldar {
namespace {

constexpr ScreenSize kScreen{1920, 1080};

// Every test gets an empty store in a fresh temporary folder: never the user's own settings.
class SettingsTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
  }
  // What loading applies, by value name.
  std::map<std::string, SettingValue> Load() {
    SettingsStore store;
    std::map<std::string, SettingValue> applied;
    LoadSettings(store, kScreen, [&](SettingId id, const SettingValue& value) {
      applied[kSettings[static_cast<size_t>(id)].name] = value;
      order.push_back(id);
    });
    return applied;
  }
  void Write(const char* name, const QVariant& value) {
    QSettings raw(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    raw.setValue(QString::fromLatin1(name), value);
  }

  QTemporaryDir dir;
  std::vector<SettingId> order;
};

TEST_F(SettingsTableTest, TableIsInItsOwnOrder) {
  for (size_t i = 0; i < kSettings.size(); ++i) {
    EXPECT_EQ(static_cast<size_t>(kSettings[i].id), i) << kSettings[i].name;
  }
}

TEST_F(SettingsTableTest, NoKeyAppliesNothing) {
  EXPECT_TRUE(Load().empty());
}

TEST_F(SettingsTableTest, RoundTripWritesIntegersAndReadsInTableOrder) {
  {
    SettingsStore store;
    SaveSettings(store, [](SettingId id) -> SettingValue {
      switch (id) {
        case SettingId::NomFichier:
          return "/tmp/mémoire.hex";
        case SettingId::ModePage:
          return false;
        case SettingId::BufferAnsi:
          return true;
        case SettingId::XOrigine:
          return -150;
        default:
          return static_cast<int>(id) % 4;
      }
    });
  }
  const auto applied = Load();
  EXPECT_EQ(applied.size(), 16U);
  for (size_t i = 0; i < order.size(); ++i)
    EXPECT_EQ(static_cast<size_t>(order[i]), i);
  EXPECT_EQ(std::get<std::string>(applied.at("Nom_Fichier")), "/tmp/mémoire.hex");
  EXPECT_EQ(std::get<bool>(applied.at("Mode_Page")), false);
  EXPECT_EQ(std::get<int>(applied.at("X_origine")), -150);
  EXPECT_EQ(std::get<int>(applied.at("Temps_acces")), 12 % 4);

  QSettings raw(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
  EXPECT_EQ(raw.value("Buffer_ANSI").toString(), QStringLiteral("1")) << "booleans as integers";
}

TEST_F(SettingsTableTest, OutOfRangeValuesAreReplacedLimitedOrIgnored) {
  Write("Port_serie_COM", 7);
  Write("Type_Memoire", 15);
  Write("X_origine", -201);
  Write("Y_origine", 5000);
  Write("Configuration_Sorties", 6);
  Write("Configuration_Entree", 4);
  Write("Temps_acces", 16);
  Write("Type_Fichier", 5);
  Write("Adresse_Base", 8);
  const auto applied = Load();
  EXPECT_EQ(applied.count("Port_serie_COM"), 0U);
  EXPECT_EQ(std::get<int>(applied.at("Type_Memoire")), 5);
  EXPECT_EQ(std::get<int>(applied.at("X_origine")), 0);
  EXPECT_EQ(std::get<int>(applied.at("Y_origine")), 1080 - 40);
  EXPECT_EQ(std::get<int>(applied.at("Configuration_Sorties")), 0);
  EXPECT_EQ(std::get<int>(applied.at("Configuration_Entree")), 0);
  EXPECT_EQ(std::get<int>(applied.at("Temps_acces")), 0);
  EXPECT_EQ(applied.count("Type_Fichier"), 0U);
  EXPECT_EQ(std::get<int>(applied.at("Adresse_Base")), 0);
}

TEST_F(SettingsTableTest, RangeLimitsAreInclusive) {
  const SettingDef& x = kSettings[static_cast<size_t>(SettingId::XOrigine)];
  const SettingDef& y = kSettings[static_cast<size_t>(SettingId::YOrigine)];
  EXPECT_EQ(CheckRange(x, -200, kScreen), -200);
  EXPECT_EQ(CheckRange(x, 1880, kScreen), 1880);
  EXPECT_EQ(CheckRange(x, 1881, kScreen), 1880);
  EXPECT_EQ(CheckRange(y, -20, kScreen), -20);
  EXPECT_EQ(CheckRange(y, -21, kScreen), 0);
  const SettingDef& type = kSettings[static_cast<size_t>(SettingId::TypeMemoire)];
  EXPECT_EQ(CheckRange(type, -1, kScreen), 5);
  EXPECT_EQ(CheckRange(type, 14, kScreen), 14);
  const SettingDef& base = kSettings[static_cast<size_t>(SettingId::AdresseBase)];
  EXPECT_EQ(CheckRange(base, 5, kScreen), 5);
}

TEST_F(SettingsTableTest, ValueOfAnotherTypeReadsAsAbsent) {
  Write("Type_Memoire", QStringLiteral("vingt"));
  Write("Mode_Page", QStringLiteral("true"));
  Write("Temps_acces", QStringLiteral(" 3 "));
  const auto applied = Load();
  EXPECT_EQ(applied.count("Type_Memoire"), 0U);
  EXPECT_EQ(applied.count("Mode_Page"), 0U);
  EXPECT_EQ(std::get<int>(applied.at("Temps_acces")), 3);
}

TEST_F(SettingsTableTest, BooleansAreTrueForAnyIntegerButZero) {
  Write("Complementer_SCL_out", 7);
  Write("Complementer_SDA_in", 0);
  const auto applied = Load();
  EXPECT_TRUE(std::get<bool>(applied.at("Complementer_SCL_out")));
  EXPECT_FALSE(std::get<bool>(applied.at("Complementer_SDA_in")));
}

TEST_F(SettingsTableTest, PurgeLeavesAFirstStart) {
  Write("Type_Memoire", 3);
  Write("Ports/COM1", QStringLiteral("sim:24C02"));
  {
    SettingsStore store;
    ASSERT_TRUE(store.Exists());
    store.Purge();
  }
  SettingsStore store;
  EXPECT_FALSE(store.Exists());
  EXPECT_TRUE(Load().empty());
}

}  // namespace
}  // namespace keldar
