// Everything the main window asks of the user or tells them outside its own widgets: message
// boxes, the open and save file dialogs, the beep, and the modal windows. The program shows real
// dialogs; tests install a recorder that answers from a script.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>

class QDialog;

namespace keldar::ui {

// Message box flags and answers, with the values of the Win32 MB_ and ID constants that the
// program's messages are described with.
inline constexpr uint32_t kMbOk = 0x00;
inline constexpr uint32_t kMbOkCancel = 0x01;
inline constexpr uint32_t kMbYesNoCancel = 0x03;
inline constexpr uint32_t kMbYesNo = 0x04;
inline constexpr uint32_t kMbButtonMask = 0x0F;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbIconExclamation = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr uint32_t kMbIconMask = 0xF0;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// The simple beep, as MessageBeep(0xFFFFFFFF).
inline constexpr uint32_t kSimpleBeep = 0xFFFFFFFF;

struct FileDialogRequest {
  QString fileName;     // proposed name
  QString filter;       // "description|pattern|description|pattern..."
  int filterIndex = 1;  // 1-based entry of `filter` offered first
};

struct FileDialogAnswer {
  QString fileName;     // full path
  int filterIndex = 1;  // 1-based entry chosen
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  // A modal message box; returns the kId of the button pressed.
  virtual int ShowMessage(const QString& text, const QString& caption, uint32_t flags) = 0;
  // Nothing when the user cancels. Open: the file must exist. Save: confirms replacing a file.
  virtual std::optional<FileDialogAnswer> ChooseOpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<FileDialogAnswer> ChooseSaveFile(const FileDialogRequest& request) = 0;
  virtual void Beep(uint32_t type) = 0;
  // Shows one of the program's modal windows and returns when it is closed.
  virtual void ShowModal(QDialog& window) = 0;
};

}  // namespace keldar::ui
