// The main window's widgets at their fixed pixel positions: toolbar, grid, bottom strip.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "ui/Keldaru1.h"
#include "ui/grid/entry_field.h"
#include "ui/grid/hex_grid_model.h"
#include "ui/grid/hex_grid_view.h"
#include "ui/status_texts.h"
#include "ui/toolbar_pictures.h"
#include "ui/window_fonts.h"

namespace keldar::ui {
namespace {

const QColor kNavy(0, 0, 128);

QFrame* AddLine(QWidget* client, const char* name, QRect geometry, QFrame::Shape shape) {
  auto* line = new QFrame(client);
  line->setObjectName(QString::fromLatin1(name));
  line->setFrameShape(shape);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(geometry);
  return line;
}

}  // namespace

QToolButton* TForm1::AddPictureButton(QWidget* client, const char* name, QRect geometry,
                                      const char* picture, QSize pictureSize, const QString& hint,
                                      Handler handler) {
  auto* button = new QToolButton(client);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->setIcon(QIcon(ToolbarPicture(QString::fromLatin1(picture), pictureSize)));
  button->setIconSize(pictureSize);
  button->setToolTip(hint);
  ConnectHandler(button, handler);
  return button;
}

void TForm1::BuildToolbar(QWidget* client) {
  AddLine(client, "Bevel1", QRect(0, 0, 618, 2), QFrame::HLine);
  AddLine(client, "Bevel2", QRect(0, 40, 618, 2), QFrame::HLine);
  AddLine(client, "Bevel3", QRect(86, 2, 2, 38), QFrame::VLine);
  AddLine(client, "Bevel4", QRect(304, 2, 2, 38), QFrame::VLine);
  AddLine(client, "Bevel5", QRect(536, 2, 2, 38), QFrame::VLine);

  struct Row {
    QToolButton* TForm1::*member;
    const char* name;
    QRect geometry;
    const char* picture;
    QSize pictureSize;
    const char* hint;
    Handler handler;
  };
  const Row rows[] = {
      {&TForm1::BoutonOuvrir,
       "BoutonOuvrir",
       {2, 4, 39, 34},
       "ouvrir",
       {35, 30},
       "Charger le buffer depuis un fichier",
       &TForm1::OuvrirFichier},
      {&TForm1::BoutonSauver,
       "BoutonSauver",
       {44, 4, 39, 34},
       "sauver",
       {35, 30},
       "Sauvegarder le contenu du buffer dans un fichier",
       &TForm1::SauverFichier},
      {&TForm1::BoutonLire,
       "BoutonLire",
       {91, 4, 51, 34},
       "lire",
       {47, 30},
       "Lire le contenu de la mémoire",
       &TForm1::LectureMemoire},
      {&TForm1::BoutonProgOctet,
       "BoutonProgOctet",
       {144, 4, 51, 34},
       "prog_octet",
       {47, 30},
       "Programmer l'octet sélectionné",
       &TForm1::ProgrammerMemoire},
      {&TForm1::BoutonProgMem,
       "BoutonProgMem",
       {197, 4, 51, 34},
       "prog_memoire",
       {47, 30},
       "Programmer la totalité de la mémoire",
       &TForm1::ProgrammerMemoire},
      {&TForm1::BoutonComparer,
       "BoutonComparer",
       {250, 4, 51, 34},
       "comparer",
       {47, 30},
       "Comparer les contenus du buffer et de la mémoire",
       &TForm1::Comparer},
      {&TForm1::BoutonBuffer1,
       "BoutonBuffer1",
       {310, 17, 27, 21},
       "buffer_ff",
       {25, 17},
       "Remplir le buffer avec des $FF",
       &TForm1::ModifierBuffer},
      {&TForm1::BoutonBuffer2,
       "BoutonBuffer2",
       {338, 17, 27, 21},
       "buffer_00",
       {25, 17},
       "Remplir le buffer avec des $00",
       &TForm1::ModifierBuffer},
      {&TForm1::BoutonBuffer3,
       "BoutonBuffer3",
       {366, 17, 27, 21},
       "buffer_espace",
       {25, 17},
       "Remplir le buffer avec des espaces",
       &TForm1::ModifierBuffer},
      {&TForm1::BoutonBuffer4,
       "BoutonBuffer4",
       {394, 17, 27, 21},
       "buffer_aleatoire",
       {25, 17},
       "Remplir le buffer avec des valeurs aléatoires",
       &TForm1::ModifierBuffer},
      {&TForm1::BoutonBuffer5,
       "BoutonBuffer5",
       {422, 17, 27, 21},
       "buffer_inc",
       {25, 17},
       "Remplir le buffer avec des valeurs croissantes",
       &TForm1::ModifierBuffer},
      {&TForm1::BoutonBuffer6,
       "BoutonBuffer6",
       {450, 17, 27, 21},
       "buffer_dec",
       {25, 17},
       "Remplir le buffer avec des valeurs décroissantes",
       &TForm1::ModifierBuffer},
      {&TForm1::BoutonBuffer7,
       "BoutonBuffer7",
       {478, 17, 27, 21},
       "buffer_octet",
       {25, 17},
       "Remplir le buffer avec la valeur sélectionnée dans la grille",
       &TForm1::ModifierBuffer},
      {&TForm1::BoutonBuffer8,
       "BoutonBuffer8",
       {506, 17, 27, 21},
       "buffer_complement",
       {25, 17},
       "Complémenter le buffer",
       &TForm1::ModifierBuffer},
      {&TForm1::BoutonSchema,
       "BoutonSchema",
       {542, 4, 33, 34},
       "schema",
       {29, 30},
       "Afficher le schéma électrique",
       &TForm1::VoirSchema},
      {&TForm1::BoutonInfos,
       "BoutonInfos",
       {578, 3, 37, 18},
       "infos",
       {33, 12},
       "Affichage d'un texte d'aide et d'informations diverses",
       &TForm1::AideClick},
      {&TForm1::BoutonVersion,
       "BoutonVersion",
       {578, 21, 37, 17},
       "version",
       {33, 12},
       "Auteur / version du programme",
       &TForm1::AProposClick},
  };
  for (const Row& row : rows) {
    this->*row.member = AddPictureButton(client, row.name, row.geometry, row.picture,
                                         row.pictureSize, QString::fromUtf8(row.hint), row.handler);
  }
  for (QToolButton* button : {BoutonLire, BoutonProgOctet, BoutonProgMem, BoutonComparer}) {
    button->hide();
  }

  // The port message lies over the four memory buttons while they are hidden.
  EditMessPort = new QLineEdit(client);
  EditMessPort->setObjectName(QStringLiteral("EditMessPort"));
  EditMessPort->setGeometry(96, 8, 201, 24);
  EditMessPort->setReadOnly(true);
  EditMessPort->setFocusPolicy(Qt::NoFocus);
  EditMessPort->setContextMenuPolicy(Qt::NoContextMenu);
  QFont bold = EditMessPort->font();
  bold.setBold(true);
  EditMessPort->setFont(bold);
  QPalette message = EditMessPort->palette();
  message.setColor(QPalette::Base, kNavy);
  message.setColor(QPalette::Text, Qt::yellow);
  EditMessPort->setPalette(message);
  EditMessPort->setText(kPortPrompt);

  // The stop button takes the place of the memory buttons while an operation runs: where the
  // user just clicked, and with Échap as its key.
  BoutonArreter = new QPushButton(kStopCaption, client);
  BoutonArreter->setObjectName(QStringLiteral("BoutonArreter"));
  BoutonArreter->setGeometry(92, 5, 208, 32);
  BoutonArreter->setFont(bold);
  BoutonArreter->setToolTip(QString::fromUtf8("Arrêter l'opération en cours (Échap)"));
  BoutonArreter->setFocusPolicy(Qt::NoFocus);
  BoutonArreter->hide();
  connect(BoutonArreter, &QPushButton::clicked, this, &TForm1::StopOperation);

  Label1 = new QLabel(QStringLiteral("Remplissage du buffer"), client);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(320, 1, 201, 16);
  Label1->setAlignment(Qt::AlignCenter);
}

void TForm1::BuildGrid(QWidget* client) {
  model_ = new HexGridModel(buffer, charset_, this);
  StringGrid1 = new HexGridView(*model_, client);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setGeometry(8, 48, 601, 310);
  StringGrid1->setFont(CourierFont(13, true));
  StringGrid1->SetSelectCellHandler(
      [this](int column, int row) { return StringGrid1SelectCell(column, row); });
  StringGrid1->SetKeyPressHandler([this](QChar key) { StringGrid1KeyPress(key); });
  StringGrid1->SetDoubleClickHandler([this] { StringGrid1DblClick(); });
}

void TForm1::BuildBottomStrip(QWidget* client) {
  ProgressBar = new QProgressBar(client);
  ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
  ProgressBar->setGeometry(8, 361, 503, 12);
  ProgressBar->setRange(0, 2047);
  ProgressBar->setValue(0);
  ProgressBar->setTextVisible(false);

  // Beside the bar, which makes room for it while an operation runs.
  StaticTextReste = new QLabel(client);
  StaticTextReste->setObjectName(QStringLiteral("StaticTextReste"));
  StaticTextReste->setGeometry(430, 358, 81, 18);
  StaticTextReste->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  StaticTextReste->hide();

  BoutonRadioDos = new QRadioButton(QStringLiteral("&Dos"), client);
  BoutonRadioDos->setObjectName(QStringLiteral("BoutonRadioDos"));
  BoutonRadioDos->setGeometry(516, 359, 45, 16);
  BoutonRadioDos->setToolTip(QString::fromUtf8("Buffer avec le jeu de caractères OEM (Dos)"));
  ConnectHandler(BoutonRadioDos, &TForm1::CommandeBoutonRadioDosWin);
  BoutonRadioWin = new QRadioButton(QStringLiteral("&Win"), client);
  BoutonRadioWin->setObjectName(QStringLiteral("BoutonRadioWin"));
  BoutonRadioWin->setGeometry(564, 359, 45, 16);
  BoutonRadioWin->setToolTip(QString::fromUtf8("Buffer avec le jeu de caractères ANSI (Windows)"));
  BoutonRadioWin->setChecked(true);
  ConnectHandler(BoutonRadioWin, &TForm1::CommandeBoutonRadioDosWin);
  for (QRadioButton* radio : {BoutonRadioDos, BoutonRadioWin}) {
    // Both are tab stops: an exclusive pair would let Tab reach only the checked one. Their
    // handler checks one and clears the other itself.
    radio->setAutoExclusive(false);
  }
  // Alt+D is the "A&dresse" menu's: a menu bar's letter opens its menu wherever the focus is,
  // and the OEM set stays one key away (Ctrl+D). The radio's letter stays underlined as drawn.
  BoutonRadioDos->setShortcut(QKeySequence());

  StaticTextInfo = new QLabel(client);
  StaticTextInfo->setObjectName(QStringLiteral("StaticTextInfo"));
  StaticTextInfo->setGeometry(8, 376, 198, 25);
  StaticTextInfo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StaticTextInfo->setAlignment(Qt::AlignCenter);
  StaticTextInfo->setAutoFillBackground(true);
  QFont status = StaticTextInfo->font();
  status.setPixelSize(17);
  StaticTextInfo->setFont(status);
  QPalette idle = StaticTextInfo->palette();
  idle.setColor(QPalette::Window, idle.color(QPalette::Button));
  idle.setColor(QPalette::WindowText, Qt::yellow);
  StaticTextInfo->setPalette(idle);

  frame_ = AddLine(client, "Bevel6", QRect(209, 376, 112, 24), QFrame::Box);
  StaticText2 = new QLabel(QStringLiteral("$0000"), client);
  StaticText2->setObjectName(QStringLiteral("StaticText2"));
  StaticText2->setToolTip(QStringLiteral("Adresse HEXA"));
  StaticText1 = new QLabel(QStringLiteral("$FF = 255"), client);
  StaticText1->setObjectName(QStringLiteral("StaticText1"));
  StaticText1->setToolTip(QString::fromUtf8("Donnée : $[HEXA] = [Décimal]"));

  LayOutAddressFields(false);

  Edit1 = new EntryField(client);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(324, 376, 27, 24);
  Edit1->setFont(CourierFont(17));
  Edit1->setText(QStringLiteral("FF"));
  Edit1->SetKeyPressHandler([this](QChar key) { EditKeyPress(key); });
  Edit1->SetEnterHandler([this] { Edit1Enter(); });
  Edit1->SetKeyUpHandler([this] { Edit1KeyUp(); });
  Edit2 = new EntryField(client);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setGeometry(354, 376, 27, 24);
  Edit2->setFont(CourierFont(17));
  Edit2->setMaxLength(1);
  Edit2->setText(QStringLiteral("?"));
  Edit2->SetKeyPressHandler([this](QChar key) { EditKeyPress(key); });
  Edit2->SetEnterHandler([this] { Edit2Enter(); });
  Edit2->SetKeyUpHandler([this] { Edit2KeyUp(); });
  for (EntryField* field : {Edit1, Edit2})
    field->setTextMargins(0, 0, 0, 0);

  ComboBox = new QComboBox(client);
  ComboBox->setObjectName(QStringLiteral("ComboBox"));
  ComboBox->setGeometry(384, 376, 127, 24);
  ComboBox->setToolTip(QString::fromUtf8("Type de mémoire I2C"));
  for (const MemoryType& type : kMemoryTypes) {
    ComboBox->addItem(
        QString::fromUtf8(type.comboText.data(), static_cast<qsizetype>(type.comboText.size())));
  }
  ComboBox->setMaxVisibleItems(static_cast<int>(kMemoryTypes.size()));
  connect(ComboBox, &QComboBox::activated, this,
          [this] { RunHandler(&TForm1::ChoixMemoire, ComboBox); });

  BitBtn1 = new QPushButton(QStringLiteral("&Quitter"), client);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(515, 376, 94, 25);
  BitBtn1->setIcon(QIcon(ToolbarPicture(QStringLiteral("porte"), QSize(25, 19))));
  BitBtn1->setIconSize(QSize(25, 19));
  // The door stands to the right of the caption.
  BitBtn1->setLayoutDirection(Qt::RightToLeft);
  ConnectHandler(BitBtn1, &TForm1::QuitterProgramme);

  setTabOrder(StringGrid1, Edit1);
  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, ComboBox);
  setTabOrder(ComboBox, BitBtn1);
  setTabOrder(BitBtn1, BoutonRadioDos);
  setTabOrder(BoutonRadioDos, BoutonRadioWin);
}

void TForm1::LayOutAddressFields(bool wide) {
  // A five-digit address takes room from the value beside it, whose texts then shrink to fit
  // the room left; four-digit addresses keep the fields as they always were.
  const QRect address(210, 380, wide ? 49 : 42, 17);
  if (StaticText2->geometry() == address) return;
  StaticText2->setGeometry(address);
  StaticText1->setGeometry(wide ? 260 : 253, 380, wide ? 60 : 64, 17);
  StaticText1->setFont(font());
  FitFontToTexts(*StaticText1, ValueTexts());
}

}  // namespace keldar::ui
