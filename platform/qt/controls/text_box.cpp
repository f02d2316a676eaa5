// Text boxes: "Text" is one line; "MText" several lines wrapped at the width; "TextBox" several
// lines with both scroll bars and no wrapping. The script sees the lines of a multi-line box
// joined by CR LF, and counts SelStart, SelLength and MaxLength in those characters.
// Change is raised for every change of the text, typed or assigned, once per change: typing a
// key raises KeyDown, KeyPress, Change, KeyUp.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QTextDocument>

#include <algorithm>
#include <climits>
#include <utility>

#include "com/str.h"
#include "platform/qt/control_registry.h"
#include "platform/qt/controls/shared_members.h"

namespace qz {

namespace {

using namespace shared_members;

// The character a password box shows for each one typed.
class PasswordStyle final : public QProxyStyle {
 public:
  explicit PasswordStyle(QChar shown) : shown_(shown) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return shown_.unicode();
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }

 private:
  QChar shown_;
};

class TextBox final : public NativeObject<TextBox, QtControl> {
 public:
  static void define(Members<TextBox>& m) {
    define_common_members(m);
    m.property(u"Text", alive<TextBox>([](TextBox& c, Args) { return text_value(c.script_text()); }),
               alive_let<TextBox>([](TextBox& c, Args, const Variant& v) { c.set_script_text(qtext(v)); }));
    m.property(u"SelStart", alive<TextBox>([](TextBox& c, Args) { return Variant(c.script_pos(c.selection().first)); }),
               alive_let<TextBox>([](TextBox& c, Args, const Variant& v) {
                 int32_t start = to_long(v);
                 if (start < 0) invalid_value();
                 int at = c.qt_pos(start);
                 c.select(at, at);
               }));
    m.property(u"SelLength", alive<TextBox>([](TextBox& c, Args) {
      auto [from, to] = c.selection();
      return Variant(c.script_pos(to) - c.script_pos(from));
    }), alive_let<TextBox>([](TextBox& c, Args, const Variant& v) {
      int32_t length = to_long(v);
      if (length < 0) invalid_value();
      int from = c.selection().first;
      int64_t end = static_cast<int64_t>(c.script_pos(from)) + length;
      c.select(from, c.qt_pos(static_cast<int32_t>(std::min<int64_t>(end, INT32_MAX))));
    }));
    m.property(u"SelText", alive<TextBox>([](TextBox& c, Args) {
      auto [from, to] = c.selection();
      return text_value(c.to_script_text(c.plain().mid(from, to - from)));
    }), alive_let<TextBox>([](TextBox& c, Args, const Variant& v) { c.replace_selection(qtext(v)); }));
    m.property(u"MaxLength", alive<TextBox>([](TextBox& c, Args) { return Variant(c.max_length_); }),
               alive_let<TextBox>([](TextBox& c, Args, const Variant& v) {
                 int32_t n = to_long(v);
                 if (n < 0) invalid_value();
                 c.set_max_length(n);
               }));
    m.property(u"Locked", alive<TextBox>([](TextBox& c, Args) { return Variant(c.locked_); }),
               alive_let<TextBox>([](TextBox& c, Args, const Variant& v) { c.set_locked(to_bool(v)); }));
    m.property(u"PasswordChar", alive<TextBox>([](TextBox& c, Args) { return text_value(c.password_char_); }),
               alive_let<TextBox>([](TextBox& c, Args, const Variant& v) {
                 QString s = qtext(v);
                 if (s.size() > 1) invalid_value();
                 c.set_password_char(s);
               }));
    m.getter(u"MultiLine", alive<TextBox>([](TextBox& c, Args) { return Variant(c.edit_ != nullptr); }));
    m.getter(u"ScrollBars", alive<TextBox>([](TextBox& c, Args) { return Variant(int16_t(c.scroll_bars_ ? 3 : 0)); }));
    define_alignment(m, [](TextBox& c) { return c.alignment_; }, [](TextBox& c, int16_t a) { c.set_alignment(a); });
    define_border_style(m, [](TextBox& c) { return c.border_; }, [](TextBox& c, bool on) { c.set_border(on); });
    m.default_member(u"Text");
  }
  std::u16string type_name() const override { return u"TextBox"; }

  TextBox(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<TextBox, QtControl>(kind, index) {
    QWidget* w = nullptr;
    if (iequals(kind, u"Text")) {
      line_ = new QLineEdit(parent);
      QObject::connect(line_, &QLineEdit::textChanged, [this] { text_changed(); });
      w = line_;
    } else {
      edit_ = new QPlainTextEdit(parent);
      scroll_bars_ = iequals(kind, u"TextBox");
      Qt::ScrollBarPolicy bars = scroll_bars_ ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
      edit_->setHorizontalScrollBarPolicy(bars);
      edit_->setVerticalScrollBarPolicy(bars);
      edit_->setLineWrapMode(scroll_bars_ ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
      edit_->setTabChangesFocus(true);
      QObject::connect(edit_, &QPlainTextEdit::textChanged, [this] { text_changed(); });
      w = edit_;
    }
    w->setFocusPolicy(Qt::StrongFocus);
    attach(w);
    set_max_length(0);
    set_twips_rect(kDesignRect);
    // The mouse acts on the viewport: its events are the text box's. Installed last, as the
    // relay holds the control, which nobody holds yet.
    if (edit_) edit_->viewport()->installEventFilter(&relay_);
  }

  void destroy() override {
    if (edit_ && widget()) edit_->viewport()->removeEventFilter(&relay_);
    QtControl::destroy();
  }

  bool on_event(QObject* watched, QEvent* event) override {
    bool input = false;
    switch (event->type()) {
      case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
        // The mouse acts on a multi-line box's viewport; keys come to the box itself.
        if (edit_ && widget() && watched == edit_->viewport()) watched = widget();
        input = true;
        break;
      case QEvent::KeyPress: case QEvent::KeyRelease:
        input = true;
        break;
      default:
        break;
    }
    // A disabled box takes no input and raises nothing.
    if (input && watched == widget() && !widget()->isEnabled()) return true;
    return QtControl::on_event(watched, event);
  }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    auto* m = dynamic_cast<TextBox*>(&model);
    if (!m || !m->widget() || (m->edit_ != nullptr) != (edit_ != nullptr)) return;
    set_max_length(m->max_length_);
    set_locked(m->locked_);
    set_password_char(m->password_char_);
    set_alignment(m->alignment_);
    set_border(m->border_);
    set_script_text(m->script_text());
  }

 private:
  // The widget's own text: lines joined by LF in a multi-line box.
  QString plain() const { return line_ ? line_->text() : edit_->toPlainText(); }
  QString to_script_text(QString s) const { return edit_ ? s.replace(u'\n', QStringLiteral("\r\n")) : s; }
  QString script_text() const { return to_script_text(plain()); }
  QString to_widget_text(QString s) const {
    if (line_) return s;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s.replace(u'\r', u'\n');
  }

  // Positions in the script's characters (a line break counts two) and in the widget's.
  int32_t script_pos(int pos) const {
    return line_ ? pos : pos + static_cast<int32_t>(plain().left(pos).count(u'\n'));
  }
  int qt_pos(int32_t script) const {
    QString text = plain();
    int64_t counted = 0;
    for (int i = 0; i < text.size(); ++i) {
      if (counted >= script) return i;
      counted += text[i] == u'\n' ? 2 : 1;
    }
    return static_cast<int>(text.size());
  }

  std::pair<int, int> selection() const {
    if (line_) {
      if (!line_->hasSelectedText()) return {line_->cursorPosition(), line_->cursorPosition()};
      int from = line_->selectionStart();
      return {from, from + static_cast<int>(line_->selectedText().size())};
    }
    QTextCursor c = edit_->textCursor();
    return {c.selectionStart(), c.selectionEnd()};
  }
  void select(int from, int to) {
    if (line_) {
      if (to == from) line_->setCursorPosition(from);
      else line_->setSelection(from, to - from);
      return;
    }
    QTextCursor c = edit_->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    edit_->setTextCursor(c);
  }
  void replace_selection(const QString& s) {
    if (line_) {
      line_->insert(s);
    } else {
      QTextCursor c = edit_->textCursor();
      c.insertText(to_widget_text(s));
      edit_->setTextCursor(c);
    }
  }
  void set_script_text(const QString& s) {
    QString text = to_widget_text(s);
    if (line_) {
      line_->setText(text);
      line_->setCursorPosition(0);
      return;
    }
    if (max_length_ > 0) text = to_widget_text(to_script_text(text).left(max_length_));
    if (text == plain()) return;
    edit_->setPlainText(text);
  }

  void text_changed() {
    if (trimming_ || destroyed()) return;
    if (edit_ && max_length_ > 0) trim_typed();
    QString now = plain();
    if (now == last_text_) return;
    last_text_ = now;
    Ref<TextBox> keep(this);
    raise_event(u"Change");
  }
  // What was typed or pasted past MaxLength goes again, from before the cursor.
  void trim_typed() {
    trimming_ = true;
    QTextCursor c = edit_->textCursor();
    while (c.position() > 0 && script_text().size() > max_length_) c.deletePreviousChar();
    trimming_ = false;
  }

  void set_max_length(int32_t n) {
    max_length_ = n;
    if (line_) line_->setMaxLength(n == 0 ? INT_MAX : n);
  }
  void set_locked(bool on) {
    locked_ = on;
    if (line_) {
      line_->setReadOnly(on);
      return;
    }
    edit_->setReadOnly(on);
    // A locked box still lets the user move about and select.
    if (on) edit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  }
  void set_password_char(const QString& s) {
    password_char_ = s;
    if (!line_) return;  // multi-line boxes show their text
    QPointer<QStyle> old = password_style_;
    if (s.isEmpty()) {
      line_->setStyle(nullptr);
      line_->setEchoMode(QLineEdit::Normal);
      password_style_ = nullptr;
    } else {
      password_style_ = new PasswordStyle(s[0]);
      password_style_->setParent(line_);
      line_->setStyle(password_style_);
      line_->setEchoMode(QLineEdit::Password);
    }
    delete old;
  }
  void set_alignment(int16_t a) {
    alignment_ = a;
    if (line_) {
      line_->setAlignment(horizontal_alignment(a) | Qt::AlignVCenter);
      return;
    }
    QTextOption option = edit_->document()->defaultTextOption();
    option.setAlignment(horizontal_alignment(a));
    edit_->document()->setDefaultTextOption(option);
  }
  void set_border(bool on) {
    border_ = on;
    if (line_) line_->setFrame(on);
    else edit_->setFrameShape(on ? QFrame::StyledPanel : QFrame::NoFrame);
  }

  QLineEdit* line_ = nullptr;       // "Text"
  QPlainTextEdit* edit_ = nullptr;  // "MText", "TextBox"
  bool scroll_bars_ = false;
  QString last_text_;
  bool trimming_ = false;
  int32_t max_length_ = 0;
  bool locked_ = false;
  QString password_char_;
  QPointer<QStyle> password_style_;
  int16_t alignment_ = 0;
  bool border_ = true;
};

}  // namespace

Ref<QtControl> make_text_box(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new TextBox(kind, index, parent));
}

}  // namespace qz
