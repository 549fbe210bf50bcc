// The user dialogs as the program shows them: QMessageBox, QFileDialog, the system beep.
#pragma once

#include "ui/user_dialogs.h"

class QWidget;

namespace keldar::ui {

class QtUserDialogs : public UserDialogs {
 public:
  // Dialogs are centred on the window the user is in, else on `parent` (the main window) while
  // it is shown; it may be set later.
  explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  int ShowMessage(const QString& text, const QString& caption, uint32_t flags) override;
  std::optional<FileDialogAnswer> ChooseOpenFile(const FileDialogRequest& request) override;
  std::optional<FileDialogAnswer> ChooseSaveFile(const FileDialogRequest& request) override;
  void Beep(uint32_t type) override;
  void ShowModal(QDialog& window) override;

 private:
  std::optional<FileDialogAnswer> ChooseFile(const FileDialogRequest& request, bool save);
  [[nodiscard]] QWidget* Owner() const;

  QWidget* parent_;
};

// "a|*.a|b|*.b" as Qt name filters ("a (*.a)", "b (*.b)"); a description that already names
// its pattern in parentheses is kept as it is.
QStringList NameFilters(const QString& filter);

}  // namespace keldar::ui
