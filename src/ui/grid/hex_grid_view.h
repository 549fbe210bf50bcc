// The grid widget: paints the model and forwards the user's gestures. Every move of the current
// cell, by mouse, keys or program, is first put to the cell-selection handler, which may refuse
// it; typed characters and double clicks go to their handlers. It decides nothing itself.
#pragma once

#include <functional>

#include <QTableView>

#include "ui/grid/hex_grid_model.h"

namespace keldar::ui {

class HexGridView : public QTableView {
  Q_OBJECT

 public:
  using SelectCellHandler = std::function<bool(int column, int row)>;
  using KeyPressHandler = std::function<void(QChar key)>;
  using DoubleClickHandler = std::function<void()>;

  explicit HexGridView(HexGridModel& model, QWidget* parent = nullptr);

  void SetSelectCellHandler(SelectCellHandler handler) { selectCell_ = std::move(handler); }
  void SetKeyPressHandler(KeyPressHandler handler) { keyPress_ = std::move(handler); }
  void SetDoubleClickHandler(DoubleClickHandler handler) { doubleClick_ = std::move(handler); }

  // Grid coordinates of the current cell; -1 when there is none.
  [[nodiscard]] int currentColumn() const;
  [[nodiscard]] int currentRow() const;
  // Asks to make (column, row) current, through the selection handler. False when refused or
  // out of range.
  bool SetCurrentCell(int column, int row);
  // Puts the cursor back on a cell it already held before a model reset, without asking.
  void RestoreCurrentCell(int column, int row);

  // The busy look of a refresh: teal cells, painted at once.
  void SetBusy(bool busy);
  [[nodiscard]] bool busy() const { return busy_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyboardSearch(const QString& search) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class GatedSelectionModel;
  bool AllowCell(const QModelIndex& index) const;
  // Column widths for the line addresses the model shows: four digits or five.
  void FitColumns();

  HexGridModel& model_;
  SelectCellHandler selectCell_;
  KeyPressHandler keyPress_;
  DoubleClickHandler doubleClick_;
  QWidget* corner_ = nullptr;
  bool busy_ = false;
  bool restoring_ = false;
};

}  // namespace keldar::ui
