// What the list-shaped controls share (list boxes, file list boxes and directory list boxes):
// a list widget whose chosen row is ListIndex, a Click whenever the user or the script changes
// the choice, DblClick on an item, Scroll when the list scrolls, and the selection members of
// lists that allow several chosen items.
#pragma once
#include <QListWidget>

#include "platform/qt/controls/list_items.h"
#include "platform/qt/qt_control.h"

namespace qz {

class ListControl : public QtControl {
 public:
  ListControl(std::u16string_view kind, int16_t index, QWidget* parent);

  QListWidget* list() const { return list_; }
  int item_count() const { return list()->count(); }
  QString item_text(int row) const { return list()->item(row)->text(); }

  // The chosen row: the selected one (the focused one in a multi-choice list); -1 for none.
  int list_index() const;
  // Chooses a row (-1: none); Click follows when the choice changed.
  void set_list_index(int row);
  int top_index() const;
  void set_top_index(int row);

  // Selected(i) and SelCount; a check-box list answers with its checks instead.
  virtual bool is_selected(int row) const;
  virtual void set_selected(int row, bool on);
  int selected_count() const;
  // MultiSelect: 0 one item, 1 each click toggles an item, 2 Shift and Ctrl extend the choice.
  int16_t multi_select() const { return multi_select_; }
  void set_multi_select(int16_t mode);

  bool click_on_release() const override { return false; }
  bool on_event(QObject* watched, QEvent* event) override;
  void copy_settings_from(QtControl& model) override;

 protected:
  // While set, the control's own changes of the items raise no Click or Scroll.
  struct Quiet : list_items::ScopedFlag {
    explicit Quiet(ListControl& c) : ScopedFlag(c.quiet_) {}
  };
  bool quiet() const { return quiet_; }
  // Ends the building of the control: the kind has filled the list while nobody held the
  // control (an event relayed then would free it), and from here on its events are relayed.
  void attach_list();
  // What a double click (or Enter, for the kinds that open items) on a row does.
  virtual void item_activated(int row);
  void raise_click();

 private:
  QListWidget* list_;
  bool quiet_ = false;
  int16_t multi_select_ = 0;
};

// Selected(i), MultiSelect and SelCount, for lists that can hold several chosen items.
template <class T>
void define_selection_members(Members<T>& m) {
  using namespace list_items;
  m.property(u"Selected", [](T& c, Args a) {
    c.check_alive();
    return Variant(c.is_selected(item_index(a, c.item_count())));
  }, [](T& c, Args a, const Variant& v) {
    c.check_alive();
    int row = item_index(a, c.item_count());
    c.set_selected(row, to_bool(v));
  });
  m.property(u"MultiSelect", [](T& c, Args) { c.check_alive(); return Variant(c.multi_select()); },
             [](T& c, Args, const Variant& v) {
               c.check_alive();
               int16_t mode = to_integer(v);
               if (mode < 0 || mode > 2) invalid_value();
               c.set_multi_select(mode);
             });
  m.getter(u"SelCount", [](T& c, Args) {
    c.check_alive();
    return Variant(static_cast<int16_t>(std::min(c.selected_count(), 32767)));
  });
}

}  // namespace qz
