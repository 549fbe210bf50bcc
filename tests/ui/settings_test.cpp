// The settings between runs: defaults on a first start, every value restored with its range
// check at the next start, written on every close, and the purge on the way out.
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QWindow>

#include "hw/port.h"
#include "program_fixture.h"
#include "ui/Keldaru6.h"
#include "ui/grid/hex_grid_view.h"

namespace keldar::ui::testing {
namespace {

using sim::PortEvent;
using Events = std::vector<std::string>;

class SettingsTest : public ProgramTest {
 protected:
  QSize Screen() const { return QGuiApplication::primaryScreen()->geometry().size(); }
  // Centred on the whole screen, truncated towards zero, by the size the window has before its
  // first showing (the window system adds its frame later).
  QPoint Centred() const {
    return {(Screen().width() - form->width()) / 2, (Screen().height() - form->height()) / 2};
  }
  int GridLines() const { return form->StringGrid1->model()->rowCount(); }
  bool Checked(const char* name) {
    auto* action = form->findChild<QAction*>(QString::fromLatin1(name));
    return action != nullptr && action->isChecked();
  }
};

const char* const kPurgeText =
    "Le programme sauvegarde ses paramètres dans la base de registre de Windows ; si vous "
    "décidez de ne plus l'utiliser, cette option vous permet de le quitter en retirant toutes "
    "les informations qui ont été placées dans la base. En cas d'utilisation ultérieure, le "
    "programme utilisera simplement ses paramètres par défaut (24C16, Buffer ANSI, etc...), "
    "comme lors du premier lancement.\n\nVoulez-vous quitter le programme en purgeant la base de "
    "registre ?";

TEST_F(SettingsTest, AFirstStartTakesTheDefaultsAndItsCloseWritesThem) {
  Start();
  EXPECT_TRUE(ports.events.empty());
  EXPECT_EQ(form->portNumber, 0);
  EXPECT_TRUE(Checked("OptionNoCOM"));
  EXPECT_EQ(form->ComboBox->currentIndex(), 5);
  EXPECT_TRUE(Checked("Option24C16"));
  EXPECT_EQ(GridLines(), 128);
  EXPECT_TRUE(Checked("OptionModePageOui"));
  EXPECT_EQ(form->MenuAdresseBase->title(), QStringLiteral("A&dresse $0"));
  EXPECT_TRUE(Checked("MenuAdrBase0"));
  EXPECT_EQ(form->MenuAdrBase[0]->text(),
            QString::fromUtf8("$&0 : A2=0 ; A1=0 ; A0=0  (par défaut !)"));
  EXPECT_TRUE(form->editorState.charsetAnsi);
  EXPECT_EQ(form->FileName(), QStringLiteral("*.bin"));
  EXPECT_EQ(form->OpenDialog1.filterIndex, 1);
  EXPECT_EQ(form->SaveDialog1.filterIndex, 1);
  const QPoint centred = Centred();
  EXPECT_EQ(form->pos(), centred);

  ASSERT_TRUE(form->close());
  const std::map<std::string, QString> expected{
      {"Port_serie_COM", "0"},
      {"Type_Memoire", "5"},
      {"Mode_Page", "1"},  // booleans as the integers 0 and 1
      {"Buffer_ANSI", "1"},
      {"X_origine", QString::number(centred.x())},
      {"Y_origine", QString::number(centred.y())},
      {"Configuration_Sorties", "0"},
      {"Configuration_Entree", "0"},
      {"Complementer_VALIM_out", "0"},
      {"Complementer_SCL_out", "0"},
      {"Complementer_SDA_out", "0"},
      {"Complementer_SDA_in", "0"},
      {"Temps_acces", "0"},
      {"Nom_Fichier", "*.bin"},
      {"Type_Fichier", "1"},
      {"Adresse_Base", "0"},
  };
  EXPECT_EQ(StoredValues(), expected);
  EXPECT_TRUE(dialogs->prompts().empty());
}

TEST_F(SettingsTest, TheWindowPositionIsLimitedUnevenlyAgainstTheScreen) {
  Store("X_origine", -200);
  Store("Y_origine", -20);
  Start();
  EXPECT_EQ(form->pos(), QPoint(-200, -20));

  Store("X_origine", -201);
  Store("Y_origine", -21);
  Restart();
  EXPECT_EQ(form->pos(), QPoint(0, 0));

  Store("X_origine", Screen().width() - 39);
  Store("Y_origine", Screen().height() + 500);
  Restart();
  EXPECT_EQ(form->pos(), QPoint(Screen().width() - 40, Screen().height() - 40));

  // Only the left edge saved: the top stays centred.
  Raw().clear();
  Store("X_origine", 17);
  Restart();
  EXPECT_EQ(form->pos(), QPoint(17, Centred().y()));
}

TEST_F(SettingsTest, AMemoryTypeOutOfRangeOrOfAnotherTypeGivesThe24C16) {
  for (const QVariant& stored : {QVariant(5), QVariant(15), QVariant(-1), QVariant("24C64")}) {
    Store("Type_Memoire", 7);  // the start before leaves another type behind
    Restart();
    ASSERT_EQ(form->currentMemory.typeIndex, 7);
    Store("Type_Memoire", stored);
    Restart();
    EXPECT_EQ(form->currentMemory.typeIndex, 5) << stored.toString().toStdString();
    EXPECT_EQ(form->currentMemory.capacity, 2048u);
    EXPECT_EQ(form->ComboBox->currentIndex(), 5);
    EXPECT_TRUE(Checked("Option24C16"));
    EXPECT_EQ(GridLines(), 128);
  }

  Store("Type_Memoire", 11);
  Restart();
  EXPECT_EQ(form->currentMemory.capacity, 128u);
  EXPECT_EQ(form->ComboBox->currentText(), QStringLiteral("X24C01 (128 o)"));
  const QAction* x24c01 = form->memoryTypeItems[11];
  EXPECT_TRUE(x24c01->isChecked());
  EXPECT_EQ(x24c01->text(), QStringLiteral("AT24C01 / &X24C01 - (128 octets, pseudo-I2C)"));
  EXPECT_FALSE(Checked("Option24C16"));
  EXPECT_EQ(GridLines(), 8);
}

TEST_F(SettingsTest, A24C256KeepsByteModeOffInItsMenuButWritesBackTheSavedFlag) {
  Store("Type_Memoire", 9);
  Store("Mode_Page", 0);
  Start();
  EXPECT_TRUE(Checked("OptionModePageOui"));
  EXPECT_FALSE(form->OptionModePageNon->isEnabled());
  EXPECT_FALSE(form->currentMemory.pageMode);
  ASSERT_TRUE(form->close());
  EXPECT_EQ(Stored("Mode_Page"), QStringLiteral("0"));
  EXPECT_EQ(Stored("Type_Memoire"), QStringLiteral("9"));

  // A smaller type shows the saved byte mode.
  Store("Type_Memoire", 2);
  Restart();
  EXPECT_TRUE(Checked("OptionModePageNon"));
  EXPECT_TRUE(form->OptionModePageNon->isEnabled());
}

TEST_F(SettingsTest, TheBaseAddressSetsItsMenuCaptionAndCheckMark) {
  Store("Adresse_Base", 5);
  Start();
  EXPECT_EQ(form->currentMemory.baseAddress, 5);
  EXPECT_EQ(form->MenuAdresseBase->title(), QStringLiteral("A&dresse $5"));
  EXPECT_TRUE(Checked("MenuAdrBase5"));
  EXPECT_EQ(form->MenuAdrBase[5]->text(), QStringLiteral("$&5 : A2=1 ; A1=0 ; A0=1"));
  EXPECT_FALSE(Checked("MenuAdrBase0"));

  Store("Adresse_Base", 8);
  Restart();
  EXPECT_EQ(form->currentMemory.baseAddress, 0);
  EXPECT_EQ(form->MenuAdresseBase->title(), QStringLiteral("A&dresse $0"));
  EXPECT_TRUE(Checked("MenuAdrBase0"));
}

TEST_F(SettingsTest, TheFileTypeReachesBothDialogsOnlyWhenOneToFour) {
  Store("Type_Fichier", 3);
  Store("Nom_Fichier", QString::fromUtf8("/données/mémoire 1.hex"));
  Start();
  EXPECT_EQ(form->OpenDialog1.filterIndex, 3);
  EXPECT_EQ(form->SaveDialog1.filterIndex, 3);
  EXPECT_EQ(form->FileName(), QString::fromUtf8("/données/mémoire 1.hex"));

  for (int stored : {0, 5}) {
    Store("Type_Fichier", stored);
    Restart();
    EXPECT_EQ(form->OpenDialog1.filterIndex, 1) << stored;
    EXPECT_EQ(form->SaveDialog1.filterIndex, 1) << stored;
    ASSERT_TRUE(form->close());
    EXPECT_EQ(Stored("Type_Fichier"), QStringLiteral("1"));
  }
}

TEST_F(SettingsTest, APortNumberOutOfRangeOpensNothingAndZeroIsWrittenBack) {
  Store("Port_serie_COM", 7);
  Start();
  EXPECT_TRUE(ports.events.empty());
  EXPECT_EQ(form->portNumber, 0);
  EXPECT_EQ(form->EditMessPort->text(), QString::fromUtf8(" Choisissez le port série..."));
  ASSERT_TRUE(form->close());
  EXPECT_EQ(Stored("Port_serie_COM"), QStringLiteral("0"));
}

TEST_F(SettingsTest, AMissingSavedPortIsReportedAndTheProgramStartsWithoutOne) {
  Store("Port_serie_COM", 3);  // COM3 cannot be had
  Start();
  EXPECT_EQ(ports.events, (Events{"refused 3"}));
  EXPECT_EQ(form->portNumber, 0);
  EXPECT_EQ(form->EditMessPort->text(), QString::fromUtf8(" Le COM3 est indisponible !"));
  EXPECT_TRUE(Checked("OptionNoCOM"));
  EXPECT_FALSE(form->Testduportserie->isEnabled());
  ASSERT_TRUE(form->close());
  EXPECT_EQ(Stored("Port_serie_COM"), QStringLiteral("0"));
}

TEST_F(SettingsTest, TheSavedPortRestsFirstUnderTheDefaultMapThenUnderTheRestoredOne) {
  Store("Port_serie_COM", 1);
  Store("Configuration_Sorties", 3);  // Valim on RTS, SCL on DTR, SDA on TxD
  Store("Complementer_SDA_out", 1);
  Start();
  ASSERT_EQ(ports.events, (Events{"open 1"}));
  ASSERT_NE(ports.lastOpened, nullptr);
  EXPECT_EQ(form->portNumber, 1);
  EXPECT_TRUE(Checked("OptionCOM1"));
  EXPECT_TRUE(form->Testduportserie->isEnabled());
  const std::vector<PortEvent> expected{
      // At the opening: the standard map (Valim on TxD, SCL on RTS, SDA on DTR).
      Off(OutputLine::Txd),
      Off(OutputLine::Rts),
      Off(OutputLine::Dtr),
      sim::SleepEvent(20),
      // The configuration window's creation: the restored map, SDA complemented.
      Off(OutputLine::Rts),
      Off(OutputLine::Dtr),
      On(OutputLine::Txd),
      sim::SleepEvent(20),
  };
  EXPECT_EQ(ports.lastOpened->events(), expected);
  EXPECT_EQ(form->lineMap.Arrangement().sda, OutputLine::Txd);
  EXPECT_EQ(form->lineMap.Arrangement().valim, OutputLine::Rts);
}

TEST_F(SettingsTest, LineMapValuesOutOfRangeGiveTheStandardReader) {
  Store("Configuration_Sorties", 6);
  Store("Configuration_Entree", 4);
  Store("Temps_acces", 16);
  Start();
  EXPECT_EQ(form->lineMap.outputArrangement, 0);
  EXPECT_EQ(form->lineMap.sdaInput, 0);
  EXPECT_EQ(form->lineMap.SdaInputLine(), InputLine::Cts);
  EXPECT_EQ(form->lineMap.accessTime, 0);
  EXPECT_EQ(program->form6().StaticTextTA->text(), QStringLiteral("0"));

  // The highest values are accepted and reach the map and the configuration window.
  Store("Configuration_Sorties", 5);
  Store("Configuration_Entree", 3);
  Store("Temps_acces", 15);
  Store("Complementer_VALIM_out", 1);
  Store("Complementer_SDA_in", 42);  // any value but 0 is true
  Restart();
  const LineMap& map = form->lineMap;
  EXPECT_EQ(map.outputArrangement, 5);
  EXPECT_EQ(map.Arrangement().valim, OutputLine::Dtr);
  EXPECT_EQ(map.Arrangement().scl, OutputLine::Rts);
  EXPECT_EQ(map.Arrangement().sda, OutputLine::Txd);
  EXPECT_EQ(map.SdaInputLine(), InputLine::Dcd);
  EXPECT_EQ(map.accessTime, 15);
  EXPECT_TRUE(map.complementValim);
  EXPECT_FALSE(map.complementScl);
  EXPECT_TRUE(map.complementSdaIn);
  TForm6& form6 = program->form6();
  EXPECT_EQ(form6.ItemIndex(form6.RadioGroup1), 5);
  EXPECT_EQ(form6.ItemIndex(form6.RadioGroup2), 3);
  EXPECT_TRUE(form6.CBcompVALIMout->isChecked());
  EXPECT_TRUE(form6.CBcompSDAin->isChecked());
  EXPECT_EQ(form6.TrackBar1->value(), 15);
  EXPECT_EQ(form6.StaticTextTA->text(), QStringLiteral("15"));
}

TEST_F(SettingsTest, OemCharacterSetIsRestoredAsItsCommandSetsIt) {
  Store("Buffer_ANSI", 0);
  Start();
  EXPECT_FALSE(form->editorState.charsetAnsi);
  EXPECT_TRUE(Checked("OptionCaracDos"));
  EXPECT_TRUE(form->BoutonRadioDos->isChecked());
  EXPECT_FALSE(form->BoutonRadioWin->isChecked());
  ASSERT_TRUE(form->close());
  EXPECT_EQ(Stored("Buffer_ANSI"), QStringLiteral("0"));
}

TEST_F(SettingsTest, PurgeAnsweredCancelChangesNothingAndOkDeletesEverythingAndEnds) {
  Store("Adresse_Base", 6);
  Store("Ports/COM2", "sim:24C16");  // a device override goes with the rest
  Start();
  dialogs->AnswerNextMessage(kIdCancel);
  Trigger("MenuPurgerRegistre");
  ASSERT_EQ(dialogs->prompts().size(), 1u);
  const Prompt& question = dialogs->prompts()[0];
  EXPECT_EQ(question.text, QString::fromUtf8(kPurgeText));
  EXPECT_EQ(question.caption, QStringLiteral(" Purger le registre et quitter..."));
  EXPECT_EQ(question.flags, 0x31u);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->saveSettingsOnClose);

  dialogs->AnswerNextMessage(kIdOk);
  Trigger("MenuPurgerRegistre");
  // No window is left: the program ends.
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
  }
  ASSERT_EQ(dialogs->prompts().size(), 3u);
  EXPECT_EQ(dialogs->prompts()[2].kind, Prompt::Kind::Beep);
  EXPECT_EQ(dialogs->prompts()[2].flags, kSimpleBeep);
  EXPECT_TRUE(Raw().allKeys().isEmpty());

  // The next start is a first start.
  Restart();
  EXPECT_EQ(form->currentMemory.baseAddress, 0);
  EXPECT_TRUE(Raw().allKeys().isEmpty());
}

TEST_F(SettingsTest, PurgeAnsweredCancelStillWritesTheSettingsAtTheLaterClose) {
  Start();
  dialogs->AnswerNextMessage(kIdCancel);
  Trigger("MenuPurgerRegistre");
  Trigger("MenuAdrBase3");
  ASSERT_TRUE(form->close());
  EXPECT_EQ(Stored("Adresse_Base"), QStringLiteral("3"));
  ASSERT_EQ(dialogs->prompts().size(), 1u);  // no beep
}

TEST_F(SettingsTest, EveryRouteOfClosingWritesTheSameSixteenValues) {
  Start();
  Trigger("OptionCOM2");
  Trigger("Option24C64");
  Trigger("OptionModePageNon");
  Trigger("MenuAdrBase6");
  Trigger("OptionCaracDos");
  form->lineMap.accessTime = 4;
  form->move(33, 44);
  const auto closeAndRead = [&] {
    const auto values = StoredValues();
    Raw().clear();
    form->show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form));
    return values;
  };

  // The title bar's close box, and Alt+F4, reach the window as the window system's request.
  QCloseEvent request;
  QCoreApplication::sendEvent(form->windowHandle(), &request);
  ASSERT_FALSE(form->isVisible());
  const auto byTitleBar = closeAndRead();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
  ASSERT_FALSE(form->isVisible());
  const auto byCtrlQ = closeAndRead();
  QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
  ASSERT_FALSE(form->isVisible());
  const auto byButton = closeAndRead();

  ASSERT_EQ(byTitleBar.size(), 16u);
  EXPECT_EQ(byTitleBar.at("Port_serie_COM"), QStringLiteral("2"));
  EXPECT_EQ(byTitleBar.at("Type_Memoire"), QStringLiteral("7"));
  EXPECT_EQ(byTitleBar.at("Mode_Page"), QStringLiteral("0"));
  EXPECT_EQ(byTitleBar.at("Buffer_ANSI"), QStringLiteral("0"));
  EXPECT_EQ(byTitleBar.at("X_origine"), QStringLiteral("33"));
  EXPECT_EQ(byTitleBar.at("Y_origine"), QStringLiteral("44"));
  EXPECT_EQ(byTitleBar.at("Temps_acces"), QStringLiteral("4"));
  EXPECT_EQ(byTitleBar.at("Adresse_Base"), QStringLiteral("6"));
  EXPECT_EQ(byCtrlQ, byTitleBar);
  EXPECT_EQ(byButton, byTitleBar);
  EXPECT_TRUE(dialogs->prompts().empty());
}

TEST_F(SettingsTest, EveryChoiceSurvivesARealCloseAndANewStart) {
  Start();
  Trigger("OptionCOM4");
  Trigger("Option24C08");
  Trigger("OptionModePageNon");
  Trigger("MenuAdrBase2");
  Trigger("OptionCaracDos");
  form->move(-150, 12);
  TForm6& config = program->form6();
  config.findChild<QRadioButton*>(QStringLiteral("RadioGroup1_2"))->click();
  config.findChild<QRadioButton*>(QStringLiteral("RadioGroup2_1"))->click();
  config.CBcompSCLout->click();
  config.TrackBar1->setValue(9);
  form->SetFileName(QStringLiteral("/tmp/image.hex"));
  form->OpenDialog1.filterIndex = form->SaveDialog1.filterIndex = 4;
  ASSERT_TRUE(form->close());

  Restart();
  EXPECT_EQ(ports.events, (Events{"open 4"}));
  EXPECT_EQ(form->portNumber, 4);
  EXPECT_EQ(form->currentMemory.typeIndex, 4);
  EXPECT_EQ(form->ComboBox->currentIndex(), 4);
  EXPECT_TRUE(Checked("Option24C08"));
  EXPECT_EQ(GridLines(), 64);
  EXPECT_TRUE(Checked("OptionModePageNon"));
  EXPECT_EQ(form->currentMemory.baseAddress, 2);
  EXPECT_EQ(form->MenuAdresseBase->title(), QStringLiteral("A&dresse $2"));
  EXPECT_TRUE(Checked("OptionCaracDos"));
  EXPECT_EQ(form->pos(), QPoint(-150, 12));
  EXPECT_EQ(form->FileName(), QStringLiteral("/tmp/image.hex"));
  EXPECT_EQ(form->OpenDialog1.filterIndex, 4);
  EXPECT_EQ(form->SaveDialog1.filterIndex, 4);
  const LineMap& map = form->lineMap;
  EXPECT_EQ(map.outputArrangement, 2);
  EXPECT_EQ(map.Arrangement().scl, OutputLine::Txd);
  EXPECT_EQ(map.SdaInputLine(), InputLine::Dsr);
  EXPECT_TRUE(map.complementScl);
  EXPECT_EQ(map.accessTime, 9);
  TForm6& restored = program->form6();
  EXPECT_EQ(restored.ItemIndex(restored.RadioGroup1), 2);
  EXPECT_EQ(restored.ItemIndex(restored.RadioGroup2), 1);
  EXPECT_TRUE(restored.CBcompSCLout->isChecked());
  EXPECT_EQ(restored.StaticTextTA->text(), QStringLiteral("9"));
}

}  // namespace
}  // namespace keldar::ui::testing
