// List boxes: items the script adds, each with a number of its own (ItemData), chosen one at
// a time or several at once (MultiSelect), kept sorted on request, and in check-box style
// (Style 1) each with a check box whose changes raise ItemCheck with the item's position.
#include "platform/qt/control_registry.h"
#include "platform/qt/controls/list_control.h"

namespace qz {

namespace {

using namespace list_items;

class ListBox final : public NativeObject<ListBox, ListControl> {
 public:
  static void define(Members<ListBox>& m) {
    define_common_members(m);
    define_item_members(m);
    define_selection_members(m);
    // Text is the chosen item's; assigning the text of an item chooses that item.
    m.property(u"Text", [](ListBox& c, Args) {
      c.check_alive();
      int i = c.list_index();
      return text_value(i < 0 ? QString() : c.item_text(i));
    }, [](ListBox& c, Args, const Variant& v) {
      c.check_alive();
      int i = find_exact(qtext(v), c.item_count(), [&c](int row) { return c.item_text(row); });
      if (i >= 0) c.set_list_index(i);
    });
    m.property(u"Style", [](ListBox& c, Args) { c.check_alive(); return Variant(c.style_); },
               [](ListBox& c, Args, const Variant& v) {
                 c.check_alive();
                 int16_t style = to_integer(v);
                 if (style != 0 && style != 1) invalid_value();
                 c.set_style(style);
               });
    m.default_member(u"Text");
  }
  std::u16string type_name() const override { return u"ListBox"; }

  ListBox(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<ListBox, ListControl>(kind, index, parent) {
    QObject::connect(list(), &QListWidget::itemChanged, [this](QListWidgetItem* item) { check_changed(item); });
    attach_list();
  }

  // The item operations of define_item_members.
  void set_item_text(int i, const QString& s) {
    Quiet q(*this);
    list()->item(i)->setText(s);
  }
  void insert_item(int i, const QString& s) {
    Quiet q(*this);
    auto* item = new QListWidgetItem(s);
    item->setData(kDataRole, 0);
    if (style_ == 1) make_checkable(item);
    list()->insertItem(i, item);
  }
  void remove_item(int i) {
    Quiet q(*this);
    delete list()->takeItem(i);
  }
  void clear_items() {
    Quiet q(*this);
    list()->clear();
  }
  int32_t item_data(int i) const { return list()->item(i)->data(kDataRole).toInt(); }
  void set_item_data(int i, int32_t v) {
    Quiet q(*this);
    list()->item(i)->setData(kDataRole, v);
  }
  void sort_items() {
    Quiet q(*this);
    QListWidget* w = list();
    std::vector<int> order = sorted_order(w->count(), [this](int i) { return item_text(i); });
    QListWidgetItem* current = w->currentItem();
    std::vector<QListWidgetItem*> items;
    std::vector<bool> chosen;
    for (int i = 0; i < w->count(); ++i) {
      items.push_back(w->item(i));
      chosen.push_back(w->item(i)->isSelected());
    }
    while (w->count()) w->takeItem(0);
    for (int i : order) w->addItem(items[i]);
    for (size_t i = 0; i < items.size(); ++i) items[i]->setSelected(chosen[i]);
    if (current) w->setCurrentItem(current, QItemSelectionModel::NoUpdate);
  }

  // In check-box style an item's check is its Selected.
  bool is_selected(int row) const override {
    if (style_ != 1) return ListControl::is_selected(row);
    QListWidgetItem* item = list()->item(row);
    return item && item->checkState() == Qt::Checked;
  }
  void set_selected(int row, bool on) override {
    if (style_ != 1) return ListControl::set_selected(row, on);
    if (QListWidgetItem* item = list()->item(row)) item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }

  void copy_settings_from(QtControl& model) override {
    ListControl::copy_settings_from(model);
    if (auto* m = dynamic_cast<ListBox*>(&model)) {
      sorted = m->sorted;
      set_style(m->style_);
    }
  }

  bool sorted = false;
  int new_index = -1;

 private:
  static constexpr int kDataRole = Qt::UserRole;
  static constexpr int kCheckedRole = Qt::UserRole + 1;  // the check as ItemCheck last saw it

  void make_checkable(QListWidgetItem* item) {
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    if (!item->data(Qt::CheckStateRole).isValid()) item->setCheckState(Qt::Unchecked);
    item->setData(kCheckedRole, item->checkState() == Qt::Checked);
  }
  void set_style(int16_t style) {
    style_ = style;
    Quiet q(*this);
    for (int i = 0; i < list()->count(); ++i) {
      QListWidgetItem* item = list()->item(i);
      if (style == 1) {
        make_checkable(item);
      } else {
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setData(Qt::CheckStateRole, QVariant());
      }
    }
  }
  // A check changed, by the user or by Selected(i): ItemCheck with the item's position.
  void check_changed(QListWidgetItem* item) {
    if (quiet() || style_ != 1 || destroyed() || !item) return;
    bool checked = item->checkState() == Qt::Checked;
    if (item->data(kCheckedRole).toBool() == checked) return;
    {
      Quiet q(*this);
      item->setData(kCheckedRole, checked);
    }
    Ref<ListBox> keep(this);
    std::vector<Variant> args{Variant(static_cast<int16_t>(list()->row(item)))};
    raise_event(u"ItemCheck", args);
  }

  int16_t style_ = 0;
};

}  // namespace

Ref<QtControl> make_list_box(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new ListBox(kind, index, parent));
}

}  // namespace qz
