#include "ui/program.h"

#include <QApplication>

#include "ui/Keldaru1.h"
#include "ui/Keldaru2.h"
#include "ui/Keldaru3.h"
#include "ui/Keldaru4.h"
#include "ui/Keldaru5.h"
#include "ui/Keldaru6.h"
#include "ui/application.h"
#include "ui/qt_user_dialogs.h"

// Outside any namespace, as the resource initialiser requires.
static void InitialiseResources() {
  Q_INIT_RESOURCE(keldar);
}

namespace keldar::ui {

Program::Program(ProgramOptions options) {
  InitialiseResources();
  // The name the desktop shows for the program; window captions stay as they are.
  QCoreApplication::setApplicationName(kApplicationTitle);

  QtUserDialogs* qtDialogs = nullptr;
  if (!options.dialogs) {
    auto dialogs = std::make_unique<QtUserDialogs>();
    qtDialogs = dialogs.get();
    options.dialogs = std::move(dialogs);
  }

  session_ = std::make_unique<Session>();
  if (!options.openPort) options.openPort = DefaultPortOpener(session_->currentMemory);
  form1_ =
      std::make_unique<TForm1>(*session_, std::move(options.openPort), std::move(options.dialogs));
  if (qtDialogs != nullptr) qtDialogs->SetParent(form1_.get());
  form1_->show();
  form2_ = std::make_unique<TForm2>(*form1_);
  form3_ = std::make_unique<TForm3>(*form1_);
  form4_ = std::make_unique<TForm4>();
  form5_ = std::make_unique<TForm5>(*session_);
  form6_ = std::make_unique<TForm6>(*form1_, *session_);
  form1_->SetWindows(form2_.get(), form3_.get(), form4_.get(), form5_.get(), form6_.get());
  // An error that escapes an event handler is shown as the main window shows its messages.
  if (auto* application = qobject_cast<Application*>(QCoreApplication::instance()))
    application->SetDialogs(&form1_->dialogs());
}

Program::~Program() {
  if (auto* application = qobject_cast<Application*>(QCoreApplication::instance()))
    application->SetDialogs(nullptr);
  if (form1_) form1_->SetWindows(nullptr, nullptr, nullptr, nullptr, nullptr);
  form6_.reset();
  form5_.reset();
  form4_.reset();
  form3_.reset();
  form2_.reset();
  form1_.reset();
}

}  // namespace keldar::ui
