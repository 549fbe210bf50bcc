// One of the two byte entry fields under the grid. Its text is only ever set by the program:
// every typed character goes to the key-press handler, releasing a key and taking the focus
// are reported, and the field itself edits nothing (no clipboard, no undo). It is read-only,
// yet shows its blinking caret while it has the focus, as the entry it is.
#pragma once

#include <functional>

#include <QBasicTimer>
#include <QLineEdit>

namespace keldar::ui {

class EntryField : public QLineEdit {
  Q_OBJECT

 public:
  using KeyPressHandler = std::function<void(QChar key)>;
  using Handler = std::function<void()>;

  explicit EntryField(QWidget* parent = nullptr);

  void SetKeyPressHandler(KeyPressHandler handler) { keyPress_ = std::move(handler); }
  void SetKeyUpHandler(Handler handler) { keyUp_ = std::move(handler); }
  void SetEnterHandler(Handler handler) { enter_ = std::move(handler); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void ShowCaret();

  QBasicTimer blink_;
  bool caretOn_ = false;
  KeyPressHandler keyPress_;
  Handler keyUp_;
  Handler enter_;
};

}  // namespace keldar::ui
