// The menu bar: every item with its caption, accelerator, shortcut, radio group and handler.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "ui/Keldaru1.h"

namespace keldar::ui {
namespace {

// One menu line; a null name is a separator.
struct Item {
  QAction* TForm1::*member;
  const char* name;
  const char* caption;
  const char* shortcut;
  void (TForm1::*handler)(QObject*);
};

constexpr Item kSeparator{nullptr, nullptr, nullptr, nullptr, nullptr};

}  // namespace

void TForm1::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));

  auto addMenu = [this, bar](QMenu* TForm1::*member, const char* name, const char* title) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(title));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Titre"));
    this->*member = menu;
    return menu;
  };
  auto addItem = [this](QMenu* menu, const char* name, const QString& caption, const char* shortcut,
                        void (TForm1::*handler)(QObject*)) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (shortcut != nullptr) action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    ConnectHandler(action, handler);
    return action;
  };
  auto addItems = [this, &addItem](QMenu* menu, std::initializer_list<Item> items) {
    for (const Item& item : items) {
      if (item.name == nullptr) {
        menu->addSeparator();
        continue;
      }
      this->*item.member =
          addItem(menu, item.name, QString::fromUtf8(item.caption), item.shortcut, item.handler);
    }
  };
  auto radioGroup = [this](const char* name, std::initializer_list<QAction*> actions) {
    auto* group = new QActionGroup(this);
    group->setObjectName(QString::fromLatin1(name));
    group->setExclusive(true);
    for (QAction* action : actions) {
      action->setCheckable(true);
      group->addAction(action);
    }
    return group;
  };

  QMenu* fichier = addMenu(&TForm1::MenuFichier, "MenuFichier", "&Fichier");
  addItems(fichier, {
                        {&TForm1::OptionOuvrirFichier, "OptionOuvrirFichier", "&Ouvrir un fichier",
                         "Ctrl+O", &TForm1::OuvrirFichier},
                        {&TForm1::OptionSauverFichier, "OptionSauverFichier", "&Sauvegarder",
                         "Ctrl+S", &TForm1::SauverFichier},
                        kSeparator,
                        {&TForm1::OptionQuitter, "OptionQuitter", "&Quitter", "Ctrl+Q",
                         &TForm1::QuitterProgramme},
                    });

  QMenu* action = addMenu(&TForm1::MenuAction, "MenuAction", "&Action");
  addItems(action,
           {
               {&TForm1::OptionLire, "OptionLire", "&Lecture", "Ctrl+L", &TForm1::LectureMemoire},
               kSeparator,
               {&TForm1::OptionProgramOctet, "OptionProgramOctet", "&Programmer l'octet", "Ctrl+P",
                &TForm1::ProgrammerMemoire},
               {&TForm1::OptionProgramMem, "OptionProgramMem", "Programmer la &Mémoire", "Ctrl+M",
                &TForm1::ProgrammerMemoire},
               kSeparator,
               {&TForm1::Comparer1, "Comparer1", "&Comparer", "Ctrl+C", &TForm1::Comparer},
           });

  QMenu* tampon = addMenu(&TForm1::MenuBuffer, "MenuBuffer", "&Buffer");
  addItems(tampon,
           {
               {&TForm1::OptionBuffer00, "OptionBuffer00", "T&out à $00", "Ctrl+F1",
                &TForm1::ModifierBuffer},
               {&TForm1::OptionBufferFF, "OptionBufferFF", "Tout à $&FF", "Ctrl+F2",
                &TForm1::ModifierBuffer},
               {&TForm1::OptionBufferEspaces, "OptionBufferEspaces", "&Espaces", "Ctrl+F3",
                &TForm1::ModifierBuffer},
               {&TForm1::OptionBufferRandom, "OptionBufferRandom", "&Aléatoire", "Ctrl+F4",
                &TForm1::ModifierBuffer},
               {&TForm1::OptionBufferIncremente, "OptionBufferIncremente", "&Incrémenté", "Ctrl+F5",
                &TForm1::ModifierBuffer},
               {&TForm1::OptionBufferDecremente, "OptionBufferDecremente", "&Décrémenté", "Ctrl+F6",
                &TForm1::ModifierBuffer},
               {&TForm1::OptionBufferOctet, "OptionBufferOctet", "Octet &Sélectionné", "Ctrl+F7",
                &TForm1::ModifierBuffer},
               {&TForm1::OptionBufferComplemente, "OptionBufferComplemente", "&Complémenté",
                "Ctrl+F8", &TForm1::ModifierBuffer},
               {&TForm1::OptionBufferInvBits, "OptionBufferInvBits", "[&B7..B0]<->[B0..B7]",
                "Ctrl+F9", &TForm1::ModifierBuffer},
               kSeparator,
               {&TForm1::OptionCaracWin, "OptionCaracWin", "Jeu de caractères ANSI (&Windows)",
                "Ctrl+W", &TForm1::CommandeBoutonRadioDosWin},
               {&TForm1::OptionCaracDos, "OptionCaracDos", "Jeu de caractères OEM (&Dos)", "Ctrl+D",
                &TForm1::CommandeBoutonRadioDosWin},
           });
  radioGroup("GroupeCaracteres", {OptionCaracWin, OptionCaracDos});
  OptionCaracWin->setChecked(true);

  QMenu* memoire = addMenu(&TForm1::MenuMemoire, "MenuMemoire", "&Mémoire");
  for (const MemoryType& type : kMemoryTypes) {
    // Separators after the 24C64, around the X24C01 and after the parts above 64 KiB.
    if (type.typeIndex == 8 || type.typeIndex == kX24C01Index ||
        type.typeIndex == kX24C01Index + 1) {
      memoire->addSeparator();
    }
    const QString name =
        QString::fromLatin1(type.menuItem.data(), static_cast<qsizetype>(type.menuItem.size()));
    const QString caption =
        QString::fromUtf8(type.menuCaption.data(), static_cast<qsizetype>(type.menuCaption.size()));
    QAction* item =
        addItem(memoire, name.toLatin1().constData(), caption, nullptr, &TForm1::ChoixMemoire);
    memoryTypeItems[static_cast<size_t>(type.typeIndex)] = item;
  }
  memoire->addSeparator();
  addItems(memoire,
           {
               {&TForm1::OptionModePageNon, "OptionModePageNon",
                "Ecriture &Octet par octet (lent !)", nullptr, &TForm1::OptionModePageClick},
               {&TForm1::OptionModePageOui, "OptionModePageOui",
                "Ecriture en mode &Page (rapide !)", nullptr, &TForm1::OptionModePageClick},
               kSeparator,
               {&TForm1::OptionIdentifier, "OptionIdentifier", "&Identifier la mémoire", "Ctrl+N",
                &TForm1::IdentifierMemoire},
           });
  auto* types = radioGroup("GroupeMemoires", {});
  for (QAction* item : memoryTypeItems) {
    item->setCheckable(true);
    types->addAction(item);
  }
  memoryTypeItems[static_cast<size_t>(currentMemory.typeIndex)]->setChecked(true);
  radioGroup("GroupeModePage", {OptionModePageNon, OptionModePageOui});
  OptionModePageOui->setChecked(true);

  QMenu* adresse = addMenu(&TForm1::MenuAdresseBase, "MenuAdresseBase", "A&dresse $0");
  addItems(adresse, {
                        {&TForm1::Questcequecest, "Questcequecest", "Qu'est ce que c'est ?",
                         nullptr, &TForm1::WhatIsAdrBase},
                        kSeparator,
                    });
  static const char* const kBaseCaptions[8] = {
      "$&0 : A2=0 ; A1=0 ; A0=0  (par défaut !)",
      "$&1 : A2=0 ; A1=0 ; A0=1",
      "$&2 : A2=0 ; A1=1 ; A0=0",
      "$&3 : A2=0 ; A1=1 ; A0=1",
      "$&4 : A2=1 ; A1=0 ; A0=0",
      "$&5 : A2=1 ; A1=0 ; A0=1",
      "$&6 : A2=1 ; A1=1 ; A0=0",
      "$&7 : A2=1 ; A1=1 ; A0=1",
  };
  auto* bases = radioGroup("GroupeAdresseBase", {});
  for (size_t n = 0; n < MenuAdrBase.size(); ++n) {
    const QByteArray name = "MenuAdrBase" + QByteArray::number(static_cast<int>(n));
    MenuAdrBase[n] = addItem(adresse, name.constData(), QString::fromUtf8(kBaseCaptions[n]),
                             nullptr, &TForm1::MenuAdrBaseClick);
    MenuAdrBase[n]->setCheckable(true);
    bases->addAction(MenuAdrBase[n]);
  }
  MenuAdrBase[0]->setChecked(true);

  QMenu* port = addMenu(&TForm1::MenuPortSerie, "MenuPortSerie", "&Port série");
  addItems(
      port,
      {
          {&TForm1::OptionCOM1, "OptionCOM1", "Port COM&1", "Shift+F1", &TForm1::PortCOMactif},
          {&TForm1::OptionCOM2, "OptionCOM2", "Port COM&2", "Shift+F2", &TForm1::PortCOMactif},
          {&TForm1::OptionCOM3, "OptionCOM3", "Port COM&3", "Shift+F3", &TForm1::PortCOMactif},
          {&TForm1::OptionCOM4, "OptionCOM4", "Port COM&4", "Shift+F4", &TForm1::PortCOMactif},
          {&TForm1::OptionNoCOM, "OptionNoCOM", "&Aucun port", "Shift+F5", &TForm1::PortCOMactif},
          kSeparator,
          {&TForm1::Testduportserie, "Testduportserie", "&Test du port", "Ctrl+T",
           &TForm1::TestduportserieClick},
          {&TForm1::TypeLecteur, "TypeLecteur", "T&ype de lecteur", "Ctrl+Y",
           &TForm1::TypeLecteurClick},
          {&TForm1::ChoixPeripheriques, "ChoixPeripheriques", "&Choisir les périphériques...",
           "Shift+F6", &TForm1::ChoisirPeripheriquesClick},
      });
  portGroup_ =
      radioGroup("GroupePorts", {OptionCOM1, OptionCOM2, OptionCOM3, OptionCOM4, OptionNoCOM});
  OptionNoCOM->setChecked(true);

  QMenu* infos = addMenu(&TForm1::MenuInformations, "MenuInformations", "&Informations");
  addItems(
      infos,
      {
          {&TForm1::MenuPurgerRegistre, "MenuPurgerRegistre", "Purger le &Registre et quitter",
           "Ctrl+R", &TForm1::MenuPurgerRegistreClick},
          kSeparator,
          {&TForm1::SchemaElectrique, "SchemaElectrique", "Schéma &Electrique standard", "Ctrl+E",
           &TForm1::VoirSchema},
          {&TForm1::ProgrammationInSitu1, "ProgrammationInSitu1", "Schéma &Programmation 'In Situ'",
           "Ctrl+Z", &TForm1::ProgrammationInSitu1Click},
          {&TForm1::Aide, "Aide", "&Informations diverses", "Ctrl+I", &TForm1::AideClick},
          kSeparator,
          {&TForm1::APropos, "APropos", "A propos (&Version)", "Ctrl+V", &TForm1::AProposClick},
      });

  SetPortCommandsAvailable(false);
}

}  // namespace keldar::ui
