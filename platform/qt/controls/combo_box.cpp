// Combo boxes: a list of items with a text field. Style 0 (the "Combo" array's element 0,
// text "Combo") has a field the user types into and a drop-down list; Style 1, the simple
// combo, types the same way; Style 2 (the "LCombo" array's) only picks an item of the list.
// Typing raises Change, picking an item Click, opening the list DropDown.
#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStandardItemModel>

#include <functional>

#include "platform/qt/control_registry.h"
#include "platform/qt/controls/list_items.h"

namespace qz {

namespace {

using namespace list_items;

// Lets the control see the list being opened, and refuse it.
class DropDownCombo final : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<bool()> before_popup;
  void showPopup() override {
    if (before_popup && !before_popup()) return;
    QComboBox::showPopup();
  }
};

class ComboBox final : public NativeObject<ComboBox, QtControl> {
 public:
  static void define(Members<ComboBox>& m) {
    define_common_members(m);
    define_item_members(m);
    m.property(u"Text", [](ComboBox& c, Args) {
      c.check_alive();
      return text_value(c.combo()->currentText());
    }, [](ComboBox& c, Args, const Variant& v) {
      c.check_alive();
      c.set_text(qtext(v));
    });
    m.property(u"Style", [](ComboBox& c, Args) { c.check_alive(); return Variant(c.style_); },
               [](ComboBox& c, Args, const Variant& v) {
                 c.check_alive();
                 int16_t style = to_integer(v);
                 if (style < 0 || style > 2) invalid_value();
                 c.set_style(style);
               });
    // Locked: the user can neither type nor pick; the script still can.
    m.property(u"Locked", [](ComboBox& c, Args) { c.check_alive(); return Variant(c.locked_); },
               [](ComboBox& c, Args, const Variant& v) {
                 c.check_alive();
                 c.locked_ = to_bool(v);
                 c.apply_lock();
               });
    m.default_member(u"Text");
  }
  std::u16string type_name() const override { return u"ComboBox"; }

  ComboBox(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<ComboBox, QtControl>(kind, index) {
    auto* b = box_ = new DropDownCombo(parent);
    b->setInsertPolicy(QComboBox::NoInsert);
    b->setFocusPolicy(Qt::StrongFocus);
    b->before_popup = [this] { return drop_down(); };
    QObject::connect(b, &QComboBox::activated, [this](int) {
      if (!quiet_) fire(u"Click");
    });
    QObject::connect(b->view()->verticalScrollBar(), &QScrollBar::valueChanged, [this] {
      if (!quiet_) fire(u"Scroll");
    });
    // The design of each array's element 0: later elements copy it.
    if (iequals(kind, u"LCombo")) {
      set_style(2);
    } else {
      set_style(0);
      b->setEditText(QStringLiteral("Combo"));
    }
    attach(b);  // last: while nobody holds the control, none of its widget's events may reach it
  }

  DropDownCombo* combo() const { return box_; }
  bool click_on_release() const override { return false; }

  // The item operations of define_item_members.
  int item_count() const { return combo()->count(); }
  QString item_text(int i) const { return combo()->itemText(i); }
  void set_item_text(int i, const QString& s) {
    Quiet q(*this);
    combo()->setItemText(i, s);
  }
  void insert_item(int i, const QString& s) {
    Quiet q(*this);
    QString text = combo()->currentText();
    combo()->insertItem(i, s, QVariant(0));
    if (combo()->count() == 1) combo()->setCurrentIndex(-1);  // a first item is not chosen by itself
    if (combo()->isEditable()) combo()->setEditText(text);   // and the typed text stays
  }
  void remove_item(int i) {
    Quiet q(*this);
    QString text = combo()->currentText();
    bool chosen = combo()->currentIndex() == i;
    combo()->removeItem(i);
    if (chosen) combo()->setCurrentIndex(-1);  // no neighbour takes the removed item's place
    if (combo()->isEditable()) combo()->setEditText(text);
  }
  void clear_items() {
    Quiet q(*this);
    QString text = combo()->currentText();
    combo()->clear();
    if (combo()->isEditable()) combo()->setEditText(text);
  }
  int32_t item_data(int i) const { return combo()->itemData(i).toInt(); }
  void set_item_data(int i, int32_t v) { combo()->setItemData(i, v); }
  void sort_items() {
    Quiet q(*this);
    QComboBox* b = combo();
    std::vector<int> order = sorted_order(b->count(), [this](int i) { return item_text(i); });
    int chosen = list_index();
    QString text = b->currentText();
    std::vector<std::pair<QString, QVariant>> items;
    for (int i : order) items.emplace_back(b->itemText(i), b->itemData(i));
    for (size_t i = 0; i < items.size(); ++i) {
      b->setItemText(static_cast<int>(i), items[i].first);
      b->setItemData(static_cast<int>(i), items[i].second);
    }
    int now = -1;
    for (size_t i = 0; i < order.size(); ++i)
      if (order[i] == chosen) now = static_cast<int>(i);
    b->setCurrentIndex(now);
    if (b->isEditable()) b->setEditText(text);
  }
  // The chosen item; in a combo with a text field, none once the text is no longer the item's.
  int list_index() const {
    int i = combo()->currentIndex();
    if (i >= 0 && combo()->isEditable() && combo()->currentText() != combo()->itemText(i)) return -1;
    return i;
  }
  void set_list_index(int i) {
    int before = list_index();
    QString text_before = combo()->currentText();
    {
      Quiet q(*this);
      combo()->setCurrentIndex(i);
      if (i < 0 && combo()->isEditable()) combo()->setEditText(QString());
    }
    if (list_index() != before) fire(u"Click");
    else if (combo()->currentText() != text_before) fire(u"Change");
  }
  int top_index() const { return combo()->count() ? combo()->view()->verticalScrollBar()->value() : 0; }
  void set_top_index(int i) {
    QAbstractItemView* v = combo()->view();
    v->scrollTo(v->model()->index(i, combo()->modelColumn()), QAbstractItemView::PositionAtTop);
  }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    auto* m = dynamic_cast<ComboBox*>(&model);
    if (!m || m->destroyed()) return;
    Quiet q(*this);
    set_style(m->style_);
    sorted = m->sorted;
    locked_ = m->locked_;
    apply_lock();
    if (combo()->isEditable()) combo()->setEditText(m->combo()->currentText());
  }

  bool on_event(QObject* watched, QEvent* event) override {
    bool handled = QtControl::on_event(watched, event);
    if (!locked_ || watched != widget()) return handled;
    // Locked: keys and the wheel change nothing (Tab still moves on).
    if (event->type() == QEvent::Wheel) return true;
    if (event->type() == QEvent::KeyPress) {
      int key = static_cast<QKeyEvent*>(event)->key();
      return handled || (key != Qt::Key_Tab && key != Qt::Key_Backtab);
    }
    return handled;
  }

  bool sorted = false;
  int new_index = -1;

 private:
  struct Quiet : ScopedFlag {
    explicit Quiet(ComboBox& c) : ScopedFlag(c.quiet_) {}
  };

  void fire(std::u16string_view event) {
    if (destroyed()) return;
    Ref<ComboBox> keep(this);
    raise_event(event);
  }
  bool drop_down() {
    if (locked_ || destroyed()) return false;
    fire(u"DropDown");
    return !destroyed();
  }

  // Style 2 takes only the text of an item (383 otherwise) and chooses it; the others show any
  // text, and a new one raises Change.
  void set_text(const QString& text) {
    if (style_ == 2) {
      int i = find_exact(text, item_count(), [this](int row) { return item_text(row); });
      if (i < 0) qz::raise(383, u"'Text' property is read-only");
      set_list_index(i);
      return;
    }
    if (combo()->currentText() == text) return;
    {
      Quiet q(*this);
      combo()->setEditText(text);
    }
    fire(u"Change");
  }

  void set_style(int16_t style) {
    style_ = style;
    bool editable = style != 2;
    if (combo()->isEditable() == editable) return;
    Quiet q(*this);
    combo()->setEditable(editable);
    if (QLineEdit* edit = combo()->lineEdit()) {
      combo()->setCompleter(nullptr);  // typing shows what was typed, nothing completed
      QObject::connect(edit, &QLineEdit::textEdited, [this] {
        if (!quiet_) fire(u"Change");
      });
    }
    apply_lock();
  }
  void apply_lock() {
    if (QLineEdit* edit = combo()->lineEdit()) edit->setReadOnly(locked_);
  }

  DropDownCombo* box_;
  int16_t style_ = 0;
  bool locked_ = false;
  bool quiet_ = false;
};

}  // namespace

Ref<QtControl> make_combo_box(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new ComboBox(kind, index, parent));
}

}  // namespace qz
