// Start-up and the main window as the user first sees it: windows, layout, menus, toolbar.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

#include "main_window_fixture.h"
#include "ui/Keldaru2.h"
#include "ui/Keldaru3.h"
#include "ui/Keldaru4.h"
#include "ui/Keldaru5.h"
#include "ui/Keldaru6.h"
#include "ui/grid/hex_grid_view.h"

namespace keldar::ui::testing {
namespace {

QString Caption(const QAction* action) {
  return action->text();
}

TEST_F(MainWindowTest, FirstRunShowsA24C16FullOfFFWithNoPort) {
  EXPECT_EQ(QCoreApplication::applicationName(), kApplicationTitle);
  EXPECT_EQ(form->windowTitle(),
            QString::fromUtf8(" Programmateur d'eeproms I2C sur port série v1.3"));
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(program->form2().isVisible());
  EXPECT_FALSE(program->form6().isVisible());

  EXPECT_TRUE(Action("Option24C16")->isChecked());
  EXPECT_EQ(Find<QComboBox>("ComboBox")->currentText(), QStringLiteral("24C16 (2 ko)"));
  EXPECT_TRUE(Action("OptionModePageOui")->isChecked());
  EXPECT_TRUE(Action("OptionModePageNon")->isEnabled());
  EXPECT_TRUE(Action("OptionNoCOM")->isChecked());
  EXPECT_FALSE(Action("MenuActionTitre")->isEnabled());
  EXPECT_FALSE(Action("Testduportserie")->isEnabled());
  EXPECT_TRUE(Action("TypeLecteur")->isEnabled());
  for (const char* name : {"BoutonLire", "BoutonProgOctet", "BoutonProgMem", "BoutonComparer"}) {
    EXPECT_FALSE(Find<QToolButton>(name)->isVisible()) << name;
  }
  EXPECT_TRUE(form->EditMessPort->isVisible());
  EXPECT_EQ(form->EditMessPort->text(), QString::fromUtf8(" Choisissez le port série..."));

  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  // Centred up to the frame the window system adds once the window is shown.
  EXPECT_LE((form->frameGeometry().center() - screen.center()).manhattanLength(), 12);

  auto* grid = Find<HexGridView>("StringGrid1");
  EXPECT_EQ(grid->model()->rowCount(), 128);
  for (int row = 0; row < 128; ++row) {
    for (int column = 0; column < 16; ++column) {
      ASSERT_EQ(grid->model()->index(row, 1 + column).data().toString(), QStringLiteral("FF"));
    }
  }
  EXPECT_EQ(grid->model()->headerData(127, Qt::Vertical).toString(), QStringLiteral("07F0"));
  EXPECT_EQ(grid->currentColumn(), 2);
  EXPECT_EQ(grid->currentRow(), 1);
  EXPECT_EQ(form->currentMemory.cursorAddress, 0u);
  EXPECT_EQ(Find<QLabel>("StaticText2")->text(), QStringLiteral("$0000"));
  EXPECT_EQ(Find<QLabel>("StaticText1")->text(), QStringLiteral("$FF = 255"));
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("FF"));
  EXPECT_EQ(QApplication::focusWidget(), grid);
  EXPECT_TRUE(Find<QLabel>("StaticTextInfo")->text().isEmpty());
  EXPECT_EQ(Find<QProgressBar>("ProgressBar")->value(), 0);
  EXPECT_EQ(form->FileName(), QStringLiteral("*.bin"));
  EXPECT_TRUE(std::all_of(form->buffer.begin(), form->buffer.end(),
                          [](uint8_t byte) { return byte == 0xFF; }));
  EXPECT_TRUE(dialogs->prompts().empty());
}

TEST_F(MainWindowTest, TheWindowHasAFixedFrameAndItsControlsTheirPlaces) {
  EXPECT_EQ(form->centralWidget()->size(), QSize(618, 403));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(form->windowFlags() & Qt::WindowCloseButtonHint);

  const struct {
    const char* name;
    QRect geometry;
  } places[] = {
      {"BoutonOuvrir", {2, 4, 39, 34}},     {"BoutonComparer", {250, 4, 51, 34}},
      {"EditMessPort", {96, 8, 201, 24}},   {"BoutonBuffer8", {506, 17, 27, 21}},
      {"BoutonVersion", {578, 21, 37, 17}}, {"StringGrid1", {8, 48, 601, 310}},
      {"ProgressBar", {8, 361, 503, 12}},   {"StaticTextInfo", {8, 376, 198, 25}},
      {"Edit2", {354, 376, 27, 24}},        {"ComboBox", {384, 376, 127, 24}},
      {"BitBtn1", {515, 376, 94, 25}},      {"BoutonRadioWin", {564, 359, 45, 16}},
  };
  for (const auto& place : places) {
    EXPECT_EQ(Find(place.name)->geometry(), place.geometry) << place.name;
  }
  auto* schema = Find<QToolButton>("BoutonSchema");
  EXPECT_TRUE(schema->autoRaise());
  EXPECT_EQ(schema->iconSize(), QSize(29, 30));
  EXPECT_FALSE(schema->icon().isNull());
  EXPECT_EQ(schema->toolTip(), QString::fromUtf8("Afficher le schéma électrique"));
  EXPECT_EQ(Find<QToolButton>("BoutonBuffer1")->toolTip(),
            QStringLiteral("Remplir le buffer avec des $FF"));
  EXPECT_EQ(Find<QToolButton>("BoutonBuffer1")->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(form->EditMessPort->focusPolicy(), Qt::NoFocus);
  EXPECT_TRUE(form->EditMessPort->isReadOnly());
  EXPECT_EQ(Find<QComboBox>("ComboBox")->count(), 15);
  EXPECT_EQ(Find<QComboBox>("ComboBox")->itemText(13), QStringLiteral("24LC1025 (128 ko)"));
  EXPECT_EQ(Find<QComboBox>("ComboBox")->itemText(11), QStringLiteral("X24C01 (128 o)"));
  EXPECT_TRUE(Find<QRadioButton>("BoutonRadioWin")->isChecked());
}

TEST_F(MainWindowTest, TabVisitsTheBottomControlsInOrder) {
  const char* order[] = {"Edit1",          "Edit2",          "ComboBox",   "BitBtn1",
                         "BoutonRadioDos", "BoutonRadioWin", "StringGrid1"};
  ASSERT_EQ(QApplication::focusWidget(), form->StringGrid1);
  for (const char* name : order) {
    Press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
  }
}

TEST_F(MainWindowTest, EveryMenuItemHasItsCaptionShortcutAndPlace) {
  struct Line {
    const char* name;  // nullptr: separator
    const char* caption;
    const char* shortcut;
  };
  const struct {
    const char* menu;
    const char* title;
    std::vector<Line> lines;
  } menus[] = {
      {"MenuFichier",
       "&Fichier",
       {{"OptionOuvrirFichier", "&Ouvrir un fichier", "Ctrl+O"},
        {"OptionSauverFichier", "&Sauvegarder", "Ctrl+S"},
        {nullptr, nullptr, nullptr},
        {"OptionQuitter", "&Quitter", "Ctrl+Q"}}},
      {"MenuAction",
       "&Action",
       {{"OptionLire", "&Lecture", "Ctrl+L"},
        {nullptr, nullptr, nullptr},
        {"OptionProgramOctet", "&Programmer l'octet", "Ctrl+P"},
        {"OptionProgramMem", "Programmer la &Mémoire", "Ctrl+M"},
        {nullptr, nullptr, nullptr},
        {"Comparer1", "&Comparer", "Ctrl+C"}}},
      {"MenuBuffer",
       "&Buffer",
       {{"OptionBuffer00", "T&out à $00", "Ctrl+F1"},
        {"OptionBufferFF", "Tout à $&FF", "Ctrl+F2"},
        {"OptionBufferEspaces", "&Espaces", "Ctrl+F3"},
        {"OptionBufferRandom", "&Aléatoire", "Ctrl+F4"},
        {"OptionBufferIncremente", "&Incrémenté", "Ctrl+F5"},
        {"OptionBufferDecremente", "&Décrémenté", "Ctrl+F6"},
        {"OptionBufferOctet", "Octet &Sélectionné", "Ctrl+F7"},
        {"OptionBufferComplemente", "&Complémenté", "Ctrl+F8"},
        {"OptionBufferInvBits", "[&B7..B0]<->[B0..B7]", "Ctrl+F9"},
        {nullptr, nullptr, nullptr},
        {"OptionCaracWin", "Jeu de caractères ANSI (&Windows)", "Ctrl+W"},
        {"OptionCaracDos", "Jeu de caractères OEM (&Dos)", "Ctrl+D"}}},
      {"MenuMemoire",
       "&Mémoire",
       {{"Option24C00", "24C0&0 - (16 octets)", ""},
        {"Option24C01", "24C0&1 - (128 octets)", ""},
        {"Option24C02", "24C0&2 - (256 octets)", ""},
        {"Option24C04", "24C0&4 - (512 octets)", ""},
        {"Option24C08", "24C0&8 - (1024 octets)", ""},
        {"Option24C16", "24C1&6 - (2048 octets)", ""},
        {"Option24C32", "24C&32 - (4096 octets)", ""},
        {"Option24C64", "24C64 - (81&92 octets) / 24C65", ""},
        {nullptr, nullptr, nullptr},
        {"Option24C128", "24&C128 - (16384 octets)", ""},
        {"Option24C256", "24C256 - (32&768 octets)", ""},
        {"Option24C512", "24C512 - (65536 oc&tets)", ""},
        {nullptr, nullptr, nullptr},
        {"OptionX24C01", "AT24C01 / &X24C01 - (128 octets, pseudo-I2C)", ""},
        {nullptr, nullptr, nullptr},
        {"Option24M01", "24&M01 - (131072 octets) / AT24CM01", ""},
        {"Option24LC1025", "24&LC1025 - (131072 octets)", ""},
        {"Option24M02", "24M02 - (262144 oct&ets) / AT24CM02", ""},
        {nullptr, nullptr, nullptr},
        {"OptionModePageNon", "Ecriture &Octet par octet (lent !)", ""},
        {"OptionModePageOui", "Ecriture en mode &Page (rapide !)", ""},
        {nullptr, nullptr, nullptr},
        {"OptionIdentifier", "&Identifier la mémoire", "Ctrl+N"}}},
      {"MenuAdresseBase",
       "A&dresse $0",
       {{"Questcequecest", "Qu'est ce que c'est ?", ""},
        {nullptr, nullptr, nullptr},
        {"MenuAdrBase0", "$&0 : A2=0 ; A1=0 ; A0=0  (par défaut !)", ""},
        {"MenuAdrBase1", "$&1 : A2=0 ; A1=0 ; A0=1", ""},
        {"MenuAdrBase2", "$&2 : A2=0 ; A1=1 ; A0=0", ""},
        {"MenuAdrBase3", "$&3 : A2=0 ; A1=1 ; A0=1", ""},
        {"MenuAdrBase4", "$&4 : A2=1 ; A1=0 ; A0=0", ""},
        {"MenuAdrBase5", "$&5 : A2=1 ; A1=0 ; A0=1", ""},
        {"MenuAdrBase6", "$&6 : A2=1 ; A1=1 ; A0=0", ""},
        {"MenuAdrBase7", "$&7 : A2=1 ; A1=1 ; A0=1", ""}}},
      {"MenuPortSerie",
       "&Port série",
       {{"OptionCOM1", "Port COM&1", "Shift+F1"},
        {"OptionCOM2", "Port COM&2", "Shift+F2"},
        {"OptionCOM3", "Port COM&3", "Shift+F3"},
        {"OptionCOM4", "Port COM&4", "Shift+F4"},
        {"OptionNoCOM", "&Aucun port", "Shift+F5"},
        {nullptr, nullptr, nullptr},
        {"Testduportserie", "&Test du port", "Ctrl+T"},
        {"TypeLecteur", "T&ype de lecteur", "Ctrl+Y"},
        {"ChoixPeripheriques", "&Choisir les périphériques...", "Shift+F6"}}},
      {"MenuInformations",
       "&Informations",
       {{"MenuPurgerRegistre", "Purger le &Registre et quitter", "Ctrl+R"},
        {nullptr, nullptr, nullptr},
        {"SchemaElectrique", "Schéma &Electrique standard", "Ctrl+E"},
        {"ProgrammationInSitu1", "Schéma &Programmation 'In Situ'", "Ctrl+Z"},
        {"Aide", "&Informations diverses", "Ctrl+I"},
        {nullptr, nullptr, nullptr},
        {"APropos", "A propos (&Version)", "Ctrl+V"}}},
  };
  const QList<QAction*> bar = form->menuBar()->actions();
  ASSERT_EQ(bar.size(), static_cast<qsizetype>(std::size(menus)));
  for (size_t m = 0; m < std::size(menus); ++m) {
    QMenu* menu = Find<QMenu>(menus[m].menu);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(bar[static_cast<qsizetype>(m)], menu->menuAction());
    EXPECT_EQ(menu->title(), QString::fromUtf8(menus[m].title));
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), static_cast<qsizetype>(menus[m].lines.size())) << menus[m].menu;
    for (size_t i = 0; i < menus[m].lines.size(); ++i) {
      const Line& line = menus[m].lines[i];
      QAction* item = items[static_cast<qsizetype>(i)];
      if (line.name == nullptr) {
        EXPECT_TRUE(item->isSeparator()) << menus[m].menu << " " << i;
        continue;
      }
      EXPECT_EQ(item->objectName(), QString::fromLatin1(line.name));
      EXPECT_EQ(Caption(item), QString::fromUtf8(line.caption)) << line.name;
      EXPECT_EQ(item->shortcut(), QKeySequence(QString::fromLatin1(line.shortcut))) << line.name;
    }
  }
}

TEST_F(MainWindowTest, RadioGroupsKeepOneCheckMark) {
  const std::vector<std::vector<const char*>> groups = {
      {"OptionCaracWin", "OptionCaracDos"},
      {"Option24C00", "Option24C01", "Option24C02", "Option24C04", "Option24C08", "Option24C16",
       "Option24C32", "Option24C64", "Option24C128", "Option24C256", "Option24C512", "OptionX24C01",
       "Option24M01", "Option24LC1025", "Option24M02"},
      {"OptionModePageNon", "OptionModePageOui"},
      {"MenuAdrBase0", "MenuAdrBase1", "MenuAdrBase2", "MenuAdrBase3", "MenuAdrBase4",
       "MenuAdrBase5", "MenuAdrBase6", "MenuAdrBase7"},
      {"OptionCOM1", "OptionCOM2", "OptionCOM3", "OptionCOM4", "OptionNoCOM"},
  };
  auto checkedCount = [this](const std::vector<const char*>& group) {
    int checked = 0;
    for (const char* name : group)
      checked += Action(name)->isChecked() ? 1 : 0;
    return checked;
  };
  for (const auto& group : groups)
    EXPECT_EQ(checkedCount(group), 1) << group.front();
  Trigger("MenuAdrBase6");
  Trigger("Option24C02");
  Trigger("OptionCaracDos");
  for (const auto& group : groups)
    EXPECT_EQ(checkedCount(group), 1) << group.front();
  EXPECT_TRUE(Action("MenuAdrBase6")->isChecked());
  EXPECT_EQ(Find<QMenu>("MenuAdresseBase")->title(), QStringLiteral("A&dresse $6"));
  EXPECT_EQ(form->currentMemory.baseAddress, 6);
}

TEST_F(MainWindowTest, AButtonAndItsMenuItemRunOneHandlerWithTheirSource) {
  dialogs->AnswerNextOpenFile(std::nullopt);
  dialogs->AnswerNextOpenFile(std::nullopt);
  std::vector<std::pair<QString, QObject*>> runs;
  QObject::connect(form, &TForm1::commandStarted, [&runs](const QString& handler, QObject* source) {
    runs.emplace_back(handler, source);
  });
  Find<QToolButton>("BoutonBuffer1")->click();
  Trigger("OptionBufferFF");
  Find<QToolButton>("BoutonOuvrir")->click();
  Trigger("OptionOuvrirFichier");
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0], std::make_pair(QStringLiteral("ModifierBuffer"),
                                    static_cast<QObject*>(form->BoutonBuffer1)));
  EXPECT_EQ(runs[1], std::make_pair(QStringLiteral("ModifierBuffer"),
                                    static_cast<QObject*>(form->OptionBufferFF)));
  EXPECT_EQ(runs[2].first, QStringLiteral("OuvrirFichier"));
  EXPECT_EQ(runs[2].second, form->BoutonOuvrir);
  EXPECT_EQ(runs[3].second, form->OptionOuvrirFichier);
}

TEST_F(MainWindowTest, EveryRouteOfClosingEndsWithoutAQuestion) {
  Trigger("OptionQuitter");
  EXPECT_FALSE(form->isVisible());
  form->show();
  Find<QPushButton>("BitBtn1")->click();
  EXPECT_FALSE(form->isVisible());
  form->show();
  EXPECT_TRUE(form->close());
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(dialogs->prompts().empty());
}

TEST_F(MainWindowTest, TheOtherWindowsOpenFromTheirCommands) {
  dialogs->AcceptNextModal();
  Trigger("TypeLecteur");
  dialogs->AcceptNextModal();
  Trigger("Aide");
  ASSERT_EQ(dialogs->prompts().size(), 2u);
  EXPECT_EQ(dialogs->prompts()[0].text, QStringLiteral("Form6"));
  EXPECT_EQ(dialogs->prompts()[0].caption,
            QString::fromUtf8(" Configuration du lecteur sur le port série :"));
  EXPECT_EQ(dialogs->prompts()[1].text, QStringLiteral("Form4"));

  // The diagrams and the about box take the main window's place until their return button.
  Trigger("SchemaElectrique");
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(program->form2().isVisible());
  program->form2().BoutonRetour->click();
  EXPECT_FALSE(program->form2().isVisible());
  EXPECT_TRUE(form->isVisible());
  Find<QToolButton>("BoutonVersion")->click();
  EXPECT_TRUE(program->form3().isVisible());
  program->form3().BoutonRetour2->click();
  EXPECT_TRUE(form->isVisible());
  ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == form; }));
  EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
}

}  // namespace
}  // namespace keldar::ui::testing
