#include "ui/Keldaru4.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include "ui/info_resources.h"
#include "ui/window_fonts.h"
#include "ui/window_frames.h"

namespace keldar::ui {

TForm4::TForm4()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral(" Informations sur le programme..."));
  setFixedSize(627, 425);

  RichEdit1 = new QPlainTextEdit(this);
  RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
  RichEdit1->setGeometry(0, 0, 625, 401);
  RichEdit1->setFont(CourierFont(18, true));
  QPalette colours = RichEdit1->palette();
  colours.setColor(QPalette::Base, QColor(0, 0, 128));
  colours.setColor(QPalette::Text, Qt::yellow);
  RichEdit1->setPalette(colours);
  RichEdit1->setReadOnly(true);
  RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setPlainText(ResourceText(kHelpText));

  BoutonRetour3 = new QPushButton(QStringLiteral("Retour au programme"), this);
  BoutonRetour3->setObjectName(QStringLiteral("BoutonRetour3"));
  BoutonRetour3->setGeometry(0, 401, 625, 25);
  // The default button: Enter in the text presses it.
  BoutonRetour3->setDefault(true);
  connect(BoutonRetour3, &QPushButton::clicked, this, &TForm4::BoutonRetour3Click);

  CentreOnScreen(*this);
}

void TForm4::BoutonRetour3Click() {
  done(QDialog::Accepted);
}

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) RichEdit1->setFocus();
}

void TForm4::keyPressEvent(QKeyEvent* event) {
  // The return button is the cancel button too: Escape ends the display with OK as well.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    BoutonRetour3->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace keldar::ui
