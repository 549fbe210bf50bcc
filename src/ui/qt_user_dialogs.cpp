#include "ui/qt_user_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace keldar::ui {
namespace {

QMessageBox::Icon IconOf(uint32_t flags) {
  switch (flags & kMbIconMask) {
    case kMbIconError:
      return QMessageBox::Critical;
    case kMbIconQuestion:
      return QMessageBox::Question;
    case kMbIconExclamation:
      return QMessageBox::Warning;
    case kMbIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons ButtonsOf(uint32_t flags) {
  switch (flags & kMbButtonMask) {
    case kMbOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case kMbYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case kMbYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    default:
      return QMessageBox::Ok;
  }
}

int AnswerOf(int button) {
  switch (button) {
    case QMessageBox::Cancel:
      return kIdCancel;
    case QMessageBox::Yes:
      return kIdYes;
    case QMessageBox::No:
      return kIdNo;
    default:
      return kIdOk;
  }
}

}  // namespace

QStringList NameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString& pattern = parts[i + 1];
    if (description.contains(QLatin1Char('(') + pattern + QLatin1Char(')'))) {
      filters << description;
    } else {
      filters << QStringLiteral("%1 (%2)").arg(description, pattern);
    }
  }
  return filters;
}

QWidget* QtUserDialogs::Owner() const {
  // The diagrams and the about window take the main window's place: a box they ask for stands
  // over them, not over the hidden main window.
  if (QWidget* active = QApplication::activeWindow(); active != nullptr && active->isVisible())
    return active;
  return parent_ != nullptr && parent_->isVisible() ? parent_ : nullptr;
}

int QtUserDialogs::ShowMessage(const QString& text, const QString& caption, uint32_t flags) {
  QMessageBox box(IconOf(flags), caption, text, ButtonsOf(flags), Owner());
  return AnswerOf(box.exec());
}

std::optional<FileDialogAnswer> QtUserDialogs::ChooseOpenFile(const FileDialogRequest& request) {
  return ChooseFile(request, false);
}

std::optional<FileDialogAnswer> QtUserDialogs::ChooseSaveFile(const FileDialogRequest& request) {
  return ChooseFile(request, true);
}

std::optional<FileDialogAnswer> QtUserDialogs::ChooseFile(const FileDialogRequest& request,
                                                          bool save) {
  QFileDialog dialog(Owner());
  const QStringList filters = NameFilters(request.filter);
  dialog.setNameFilters(filters);
  if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
    dialog.selectNameFilter(filters[request.filterIndex - 1]);
  }
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  FileDialogAnswer answer;
  answer.fileName = dialog.selectedFiles().front();
  // Two entries may share a description's pattern; the position tells them apart.
  const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
  answer.filterIndex = chosen >= 0 ? static_cast<int>(chosen) + 1 : request.filterIndex;
  return answer;
}

void QtUserDialogs::Beep(uint32_t) {
  QApplication::beep();
}

void QtUserDialogs::ShowModal(QDialog& window) {
  window.exec();
}

}  // namespace keldar::ui
