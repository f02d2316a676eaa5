#include "platform/qt/controls/list_control.h"

#include <QMouseEvent>
#include <QScrollBar>

namespace qz {

ListControl::ListControl(std::u16string_view kind, int16_t index, QWidget* parent)
    : QtControl(kind, index), list_(new QListWidget(parent)) {
  QListWidget* w = list_;
  w->setSelectionMode(QAbstractItemView::SingleSelection);
  // One step of the scroll bar is one item, so its value is the top row.
  w->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  w->setEditTriggers(QAbstractItemView::NoEditTriggers);
  w->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(w, &QListWidget::itemSelectionChanged, [this] {
    if (!quiet_) raise_click();
  });
  QObject::connect(w->verticalScrollBar(), &QScrollBar::valueChanged, [this] {
    if (!quiet_ && !destroyed()) raise_event(u"Scroll");
  });
}

void ListControl::attach_list() {
  attach(list_);
  // The items sit on the viewport: its presses start automatic drags, and a press beside
  // every item leaves the choice as it is.
  list_->viewport()->installEventFilter(&relay_);
}

void ListControl::raise_click() {
  if (destroyed()) return;
  Ref<QtControl> keep(this);
  raise_event(u"Click");
}

void ListControl::item_activated(int) {
  Ref<QtControl> keep(this);
  raise_event(u"DblClick");
}

int ListControl::list_index() const {
  QListWidgetItem* current = list()->currentItem();
  if (!current) return -1;
  if (multi_select_ == 0 && !current->isSelected()) return -1;
  return list()->row(current);
}

void ListControl::set_list_index(int row) {
  int before = list_index();
  {
    Quiet q(*this);
    if (row < 0) {
      list()->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
      if (multi_select_ == 0) list()->clearSelection();
    } else {
      list()->setCurrentRow(row, multi_select_ == 0 ? QItemSelectionModel::ClearAndSelect
                                                    : QItemSelectionModel::Select);
    }
  }
  if (list_index() != before) raise_click();
}

int ListControl::top_index() const { return list()->count() ? list()->verticalScrollBar()->value() : 0; }

void ListControl::set_top_index(int row) {
  if (QListWidgetItem* item = list()->item(row)) list()->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

bool ListControl::is_selected(int row) const {
  QListWidgetItem* item = list()->item(row);
  return item && item->isSelected();
}

void ListControl::set_selected(int row, bool on) {
  if (multi_select_ == 0) {
    if (on) set_list_index(row);
    else if (list_index() == row) set_list_index(-1);
    return;
  }
  if (QListWidgetItem* item = list()->item(row)) item->setSelected(on);  // Click from the widget
}

int ListControl::selected_count() const {
  int n = 0;
  for (int i = 0; i < list()->count(); ++i)
    if (is_selected(i)) ++n;
  return n;
}

void ListControl::set_multi_select(int16_t mode) {
  multi_select_ = mode;
  Quiet q(*this);
  list()->setSelectionMode(mode == 0   ? QAbstractItemView::SingleSelection
                           : mode == 1 ? QAbstractItemView::MultiSelection
                                       : QAbstractItemView::ExtendedSelection);
}

bool ListControl::on_event(QObject* watched, QEvent* event) {
  if (widget() && watched == list()->viewport()) {
    auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick) return false;
    auto* me = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress && drag_mode == 1 && me->button() == Qt::LeftButton) {
      begin_drag();
      return true;
    }
    QListWidgetItem* item = list()->itemAt(me->position().toPoint());
    // The first press of a double click has chosen the item already.
    if (type == QEvent::MouseButtonDblClick && item && me->button() == Qt::LeftButton) {
      item_activated(list()->row(item));
      return true;
    }
    return !item;
  }
  return QtControl::on_event(watched, event);
}

void ListControl::copy_settings_from(QtControl& model) {
  QtControl::copy_settings_from(model);
  if (auto* m = dynamic_cast<ListControl*>(&model)) set_multi_select(m->multi_select_);
}

}  // namespace qz
