// The commands that open the other windows, and the settings purge.
#include "ui/Keldaru1.h"
#include "ui/Keldaru2.h"
#include "ui/Keldaru3.h"
#include "ui/Keldaru4.h"

#include <QTabWidget>

namespace keldar::ui {

void TForm1::MenuPurgerRegistreClick(QObject* Sender) {
  emit commandStarted(QStringLiteral("MenuPurgerRegistreClick"), Sender);
  const int answer = dialogs_->ShowMessage(
      QString::fromUtf8(
          "Le programme sauvegarde ses paramètres dans la base de registre de Windows ; si vous "
          "décidez de ne plus l'utiliser, cette option vous permet de le quitter en retirant "
          "toutes les informations qui ont été placées dans la base. En cas d'utilisation "
          "ultérieure, le programme utilisera simplement ses paramètres par défaut (24C16, "
          "Buffer ANSI, etc...), comme lors du premier lancement.\n\nVoulez-vous quitter le "
          "programme en purgeant la base de registre ?"),
      QString::fromUtf8(" Purger le registre et quitter..."), kMbOkCancel | kMbIconExclamation);
  if (answer != kIdOk) return;
  // The close deletes the settings instead of writing them, and the program ends.
  saveSettingsOnClose = false;
  close();
}

void TForm1::VoirSchema(QObject* Sender) {
  emit commandStarted(QStringLiteral("VoirSchema"), Sender);
  if (form2_ == nullptr) return;
  // The diagrams take the main window's place until their return button; showing them selects
  // the standard diagram.
  form2_->show();
  hide();
  form2_->activateWindow();
}

void TForm1::ProgrammationInSitu1Click(QObject* Sender) {
  emit commandStarted(QStringLiteral("ProgrammationInSitu1Click"), Sender);
  if (form2_ == nullptr) return;
  form2_->show();
  hide();
  form2_->activateWindow();
  form2_->PageControl1->setCurrentWidget(form2_->TabSheet2);
  form2_->PageControl2->setCurrentWidget(form2_->TabSheet3);
}

void TForm1::AideClick(QObject* Sender) {
  emit commandStarted(QStringLiteral("AideClick"), Sender);
  if (form4_ != nullptr) dialogs_->ShowModal(*form4_);
}

void TForm1::AProposClick(QObject* Sender) {
  emit commandStarted(QStringLiteral("AProposClick"), Sender);
  if (form3_ == nullptr) return;
  form3_->show();
  hide();
  form3_->activateWindow();
}

}  // namespace keldar::ui
