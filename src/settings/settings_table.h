// The sixteen values the program keeps between runs: one table of name, type, default and
// accepted range, walked in its order by loading and by saving.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "settings/settings_access.h"

namespace keldar {

enum class SettingId {
  PortSerieCom,
  TypeMemoire,
  ModePage,
  BufferAnsi,
  XOrigine,
  YOrigine,
  ConfigurationSorties,
  ConfigurationEntree,
  ComplementerValimOut,
  ComplementerSclOut,
  ComplementerSdaOut,
  ComplementerSdaIn,
  TempsAcces,
  NomFichier,
  TypeFichier,
  AdresseBase,
};

enum class SettingKind { Integer, Boolean, String };

// What a value read outside its range becomes.
enum class OutOfRange {
  None,     // every value is accepted (booleans, text)
  Ignore,   // the value is not applied: the default stays
  Replace,  // replaced by `replacement`
  Limit,    // below the minimum: `replacement`; above the maximum: the maximum
};

// The range of the window position depends on the screen.
enum class RangeBound { Fixed, ScreenWidthLess40, ScreenHeightLess40 };

struct SettingDef {
  SettingId id;
  const char* name;
  SettingKind kind;
  int minimum;
  int maximum;
  RangeBound maximumBound;
  OutOfRange outOfRange;
  int replacement;
};

inline constexpr std::array<SettingDef, 16> kSettings{{
    {SettingId::PortSerieCom, "Port_serie_COM", SettingKind::Integer, 0, 4, RangeBound::Fixed,
     OutOfRange::Ignore, 0},
    {SettingId::TypeMemoire, "Type_Memoire", SettingKind::Integer, 0, 14, RangeBound::Fixed,
     OutOfRange::Replace, 5},
    {SettingId::ModePage, "Mode_Page", SettingKind::Boolean, 0, 0, RangeBound::Fixed,
     OutOfRange::None, 0},
    {SettingId::BufferAnsi, "Buffer_ANSI", SettingKind::Boolean, 0, 0, RangeBound::Fixed,
     OutOfRange::None, 0},
    {SettingId::XOrigine, "X_origine", SettingKind::Integer, -200, 0, RangeBound::ScreenWidthLess40,
     OutOfRange::Limit, 0},
    {SettingId::YOrigine, "Y_origine", SettingKind::Integer, -20, 0, RangeBound::ScreenHeightLess40,
     OutOfRange::Limit, 0},
    {SettingId::ConfigurationSorties, "Configuration_Sorties", SettingKind::Integer, 0, 5,
     RangeBound::Fixed, OutOfRange::Replace, 0},
    {SettingId::ConfigurationEntree, "Configuration_Entree", SettingKind::Integer, 0, 3,
     RangeBound::Fixed, OutOfRange::Replace, 0},
    {SettingId::ComplementerValimOut, "Complementer_VALIM_out", SettingKind::Boolean, 0, 0,
     RangeBound::Fixed, OutOfRange::None, 0},
    {SettingId::ComplementerSclOut, "Complementer_SCL_out", SettingKind::Boolean, 0, 0,
     RangeBound::Fixed, OutOfRange::None, 0},
    {SettingId::ComplementerSdaOut, "Complementer_SDA_out", SettingKind::Boolean, 0, 0,
     RangeBound::Fixed, OutOfRange::None, 0},
    {SettingId::ComplementerSdaIn, "Complementer_SDA_in", SettingKind::Boolean, 0, 0,
     RangeBound::Fixed, OutOfRange::None, 0},
    {SettingId::TempsAcces, "Temps_acces", SettingKind::Integer, 0, 15, RangeBound::Fixed,
     OutOfRange::Replace, 0},
    {SettingId::NomFichier, "Nom_Fichier", SettingKind::String, 0, 0, RangeBound::Fixed,
     OutOfRange::None, 0},
    {SettingId::TypeFichier, "Type_Fichier", SettingKind::Integer, 1, 4, RangeBound::Fixed,
     OutOfRange::Ignore, 0},
    {SettingId::AdresseBase, "Adresse_Base", SettingKind::Integer, 0, 7, RangeBound::Fixed,
     OutOfRange::Replace, 0},
}};

struct ScreenSize {
  int width;
  int height;
};

// A value read and checked: an int for integers, a bool for booleans, UTF-8 text for the file
// name.
using SettingValue = std::variant<int, bool, std::string>;
using ApplySetting = std::function<void(SettingId, const SettingValue&)>;
using SourceSetting = std::function<SettingValue(SettingId)>;

// The range check of one integer row: the value to apply, or nothing when it is ignored.
[[nodiscard]] std::optional<int> CheckRange(const SettingDef& def, int value, ScreenSize screen);

// Walks the table in order and calls apply for each value that exists, has the table's type and
// survives its range check. When the key does not exist nothing is applied.
// A boolean is read as an integer, true for any value but 0.
void LoadSettings(const SettingsReader& store, ScreenSize screen, const ApplySetting& apply);

// Writes the sixteen values in the table's order, each from source (a value of another
// alternative than the row's kind writes as 0 or empty text), booleans as the integers 0 and 1.
void SaveSettings(SettingsWriter& store, const SourceSetting& source);

}  // namespace keldar
