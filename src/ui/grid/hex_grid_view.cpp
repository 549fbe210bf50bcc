#include "ui/grid/hex_grid_view.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

#include "ui/grid/grid_geometry.h"
#include "ui/grid/grid_keys.h"

namespace keldar::ui {

using G = GridGeometry;

const QColor kBusyColour(0, 128, 128);  // teal

// Puts every change of the current index to the view's selection rule; an invalid index (a
// model reset) always passes.
class GatedSelectionModel : public QItemSelectionModel {
 public:
  GatedSelectionModel(QAbstractItemModel* model, HexGridView& view)
      : QItemSelectionModel(model, &view), view_(view) {}

  void setCurrentIndex(const QModelIndex& index,
                       QItemSelectionModel::SelectionFlags command) override {
    if (index.isValid() && index != currentIndex() && !view_.restoring_ &&
        !view_.AllowCell(index)) {
      return;
    }
    QItemSelectionModel::setCurrentIndex(index, command);
  }

 private:
  HexGridView& view_;
};

namespace {

// Draws a cell's text centred and unclipped by the style's margins (two bold digits fill a
// 20-pixel cell), and the current cell selected: the grid has no selection beyond its cursor.
class CursorDelegate : public QStyledItemDelegate {
 public:
  explicit CursorDelegate(QTableView& view) : QStyledItemDelegate(&view), view_(view) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool current = index == view_.currentIndex();
    if (current) {
      painter->fillRect(option.rect, option.palette.brush(QPalette::Active, QPalette::Highlight));
    }
    painter->setPen(option.palette.color(QPalette::Active,
                                         current ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(option.rect, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
  }

 private:
  QTableView& view_;
};

}  // namespace

HexGridView::HexGridView(HexGridModel& model, QWidget* parent) : QTableView(parent), model_(model) {
  setModel(&model_);
  QItemSelectionModel* previous = selectionModel();
  setSelectionModel(new GatedSelectionModel(&model_, *this));
  delete previous;
  setItemDelegate(new CursorDelegate(*this));

  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setShowGrid(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

  // Section sizes include the one-pixel grid line.
  QHeaderView* top = horizontalHeader();
  top->setSectionResizeMode(QHeaderView::Fixed);
  top->setSectionsClickable(false);
  top->setHighlightSections(false);
  top->setMinimumSectionSize(1);
  top->setFixedHeight(G::kRowHeight + 1);
  QHeaderView* left = verticalHeader();
  left->setSectionResizeMode(QHeaderView::Fixed);
  left->setSectionsClickable(false);
  left->setHighlightSections(false);
  left->setMinimumSectionSize(1);
  left->setDefaultSectionSize(G::kRowHeight + 1);
  FitColumns();
  connect(&model_, &QAbstractItemModel::modelReset, this, &HexGridView::FitColumns);

  // A double click anywhere on the grid, headers included, opens the current byte's entry.
  connect(top, &QHeaderView::sectionDoubleClicked, this, [this] {
    if (doubleClick_) doubleClick_();
  });
  connect(left, &QHeaderView::sectionDoubleClicked, this, [this] {
    if (doubleClick_) doubleClick_();
  });

  // The corner button carries the address column's header text.
  corner_ = findChild<QAbstractButton*>();
  if (corner_) corner_->installEventFilter(this);
}

void HexGridView::FitColumns() {
  const bool wide = G::WideAddresses(model_.count());
  for (int column = 1; column < G::kColumnCount; ++column)
    horizontalHeader()->resizeSection(G::ModelColumn(column), G::PixelWidth(column, wide) + 1);
  verticalHeader()->setFixedWidth(G::PixelWidth(G::kAddressColumn, wide) + 1);
}

int HexGridView::currentColumn() const {
  const QModelIndex index = currentIndex();
  return index.isValid() ? G::GridColumn(index.column()) : -1;
}

int HexGridView::currentRow() const {
  const QModelIndex index = currentIndex();
  return index.isValid() ? G::GridRow(index.row()) : -1;
}

bool HexGridView::SetCurrentCell(int column, int row) {
  const QModelIndex index = model_.index(G::ModelRow(row), G::ModelColumn(column));
  if (!index.isValid()) return false;
  if (index == currentIndex()) return AllowCell(index);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  return currentIndex() == index;
}

void HexGridView::RestoreCurrentCell(int column, int row) {
  const QModelIndex index = model_.index(G::ModelRow(row), G::ModelColumn(column));
  if (!index.isValid()) return;
  restoring_ = true;
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  restoring_ = false;
}

void HexGridView::SetBusy(bool busy) {
  busy_ = busy;
  viewport()->repaint();
}

void HexGridView::paintEvent(QPaintEvent* event) {
  // While the model is being replaced the grid is a teal field: its old texts would be gone a
  // few milliseconds later, and drawing them again would cost as much as the refresh itself.
  if (busy_) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kBusyColour);
    return;
  }
  QTableView::paintEvent(event);
}

bool HexGridView::AllowCell(const QModelIndex& index) const {
  const int column = G::GridColumn(index.column());
  const int row = G::GridRow(index.row());
  return selectCell_ ? selectCell_(column, row) : G::IsDataCell(column, row);
}

void HexGridView::keyPressEvent(QKeyEvent* event) {
  if (IsGridNavigationKey(*event)) {
    QTableView::keyPressEvent(event);
    return;
  }
  const QChar key = TypedCharacter(*event);
  if (!key.isNull() && keyPress_) keyPress_(key);
  // Nothing else reaches the base class: no copy, no selection toggle, no search.
  event->accept();
}

void HexGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  if (doubleClick_) doubleClick_();
}

void HexGridView::keyboardSearch(const QString&) {}

void HexGridView::changeEvent(QEvent* event) {
  // The header row and the address column are cells of the grid: they share its font, which
  // the style's header font would otherwise override.
  if (event->type() == QEvent::FontChange) {
    horizontalHeader()->setFont(font());
    verticalHeader()->setFont(font());
  }
  QTableView::changeEvent(event);
}

bool HexGridView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == corner_ && event->type() == QEvent::Paint) {
    QStyleOptionHeader option;
    option.initFrom(corner_);
    // Disabled only so that it selects nothing: drawn as the enabled headers are.
    option.state |= QStyle::State_Enabled;
    option.palette.setCurrentColorGroup(QPalette::Active);
    option.rect = corner_->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.text = HexGridModel::CornerText();
    option.textAlignment = Qt::AlignCenter;
    QPainter painter(corner_);
    painter.setFont(horizontalHeader()->font());
    style()->drawControl(QStyle::CE_Header, &option, &painter, corner_);
    return true;
  }
  if (watched == corner_ && event->type() == QEvent::MouseButtonDblClick) {
    if (doubleClick_) doubleClick_();
    return true;
  }
  return QTableView::eventFilter(watched, event);
}

}  // namespace keldar::ui
