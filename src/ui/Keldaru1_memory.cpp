// Read, program and compare between the buffer and the memory in the reader. Reachable only
// while a port is open: the port handling greys their menu and hides their buttons otherwise.
#include "ui/Keldaru1.h"

namespace keldar::ui {

void TForm1::LectureMemoire(QObject* Sender) {
  emit commandStarted(QStringLiteral("LectureMemoire"), Sender);
}

void TForm1::ProgrammerMemoire(QObject* Sender) {
  emit commandStarted(QStringLiteral("ProgrammerMemoire"), Sender);
}

void TForm1::Comparer(QObject* Sender) {
  emit commandStarted(QStringLiteral("Comparer"), Sender);
}

}  // namespace keldar::ui
