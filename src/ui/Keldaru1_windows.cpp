// The commands that open the other windows, and the settings purge.
#include "ui/Keldaru1.h"
#include "ui/Keldaru2.h"
#include "ui/Keldaru3.h"
#include "ui/Keldaru4.h"

#include <QTabWidget>

namespace keldar::ui {

void TForm1::MenuPurgerRegistreClick(QObject* Sender) {
  emit commandStarted(QStringLiteral("MenuPurgerRegistreClick"), Sender);
}

void TForm1::VoirSchema(QObject* Sender) {
  emit commandStarted(QStringLiteral("VoirSchema"), Sender);
  if (form2_ == nullptr) return;
  // The diagrams take the main window's place until their return button; showing them selects
  // the standard diagram.
  form2_->show();
  hide();
}

void TForm1::ProgrammationInSitu1Click(QObject* Sender) {
  emit commandStarted(QStringLiteral("ProgrammationInSitu1Click"), Sender);
  if (form2_ == nullptr) return;
  form2_->show();
  hide();
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
}

}  // namespace keldar::ui
