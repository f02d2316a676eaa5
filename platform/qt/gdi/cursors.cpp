#include "platform/qt/gdi/cursors.h"

#include <QBuffer>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/path.h"
#include "platform/qt/gdi/ani_file.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/window_table.h"

namespace qz {

namespace {

constexpr qint64 kMaxCursorFile = qint64{16} << 20;
constexpr int kMaxCursorSide = 256;

struct LoadedCursor {
  std::vector<QCursor> frames;
  std::vector<AniStep> steps;  // empty: a static cursor
  size_t step = 0;
  std::unique_ptr<QTimer> timer;
  std::vector<QPointer<QWidget>> shown_on;
};

struct CursorTable {
  std::map<int32_t, std::unique_ptr<LoadedCursor>> cursors;
  int32_t next = 0x6000010;
  // Class cursors by window kind (0 or absent: the arrow).
  std::map<std::u16string, int32_t> class_cursor;
  bool hooked = false;  // new windows take their kind's class cursor
};

CursorTable& table() {
  static auto* t = new CursorTable();
  return *t;
}

QByteArray read_file(std::u16string_view path) {
  std::string os = find_path(path);
  QFile f(QString::fromUtf8(os.c_str()));
  if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxCursorFile) return QByteArray();
  return f.readAll();
}

// One cursor image (CUR keeps its hot spot, anything else takes the middle).
std::optional<QCursor> decode_frame(const QByteArray& bytes) {
  QByteArray copy = bytes;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  QSize declared = reader.size();
  if (declared.isValid() && (declared.width() > kMaxCursorSide || declared.height() > kMaxCursorSide)) return {};
  QImage image;
  if (!reader.read(&image) || image.isNull() || image.width() > kMaxCursorSide || image.height() > kMaxCursorSide)
    return {};
  int hot_x = image.width() / 2, hot_y = image.height() / 2;
  // A cursor file's directory entry carries the hot spot where an icon's has planes and bits.
  if (bytes.size() >= 22 && static_cast<uint8_t>(bytes[2]) == 2 && bytes[3] == 0) {
    auto u16 = [&](int at) { return static_cast<uint8_t>(bytes[at]) | (static_cast<uint8_t>(bytes[at + 1]) << 8); };
    hot_x = std::min(u16(10), image.width() - 1);
    hot_y = std::min(u16(12), image.height() - 1);
  }
  return QCursor(QPixmap::fromImage(image), hot_x, hot_y);
}

void show_frame(LoadedCursor& c) {
  const QCursor& frame = c.frames[c.steps.empty() ? 0 : c.steps[c.step].frame];
  for (auto& w : c.shown_on)
    if (w) w->setCursor(frame);
}

void advance(LoadedCursor& c) {
  c.step = (c.step + 1) % c.steps.size();
  show_frame(c);
  c.timer->start(static_cast<int>(c.steps[c.step].duration_ms));
}

int32_t add(std::unique_ptr<LoadedCursor> c) {
  CursorTable& t = table();
  do {
    t.next = t.next >= 0x6FFFFFF0 ? 0x6000010 : t.next + 4;
  } while (t.cursors.count(t.next));
  LoadedCursor* raw = c.get();
  if (raw->steps.size() > 1) {
    raw->timer = std::make_unique<QTimer>();
    raw->timer->setSingleShot(true);
    QObject::connect(raw->timer.get(), &QTimer::timeout, [raw] { advance(*raw); });
  }
  t.cursors.emplace(t.next, std::move(c));
  return t.next;
}

LoadedCursor* find(int32_t cursor) {
  auto& m = table().cursors;
  auto it = m.find(cursor);
  return it == m.end() ? nullptr : it->second.get();
}

void forget_widget(QWidget* w) {
  for (auto& [h, c] : table().cursors) std::erase(c->shown_on, QPointer<QWidget>(w));
}

// Shows `cursor` (0: the arrow) on one widget.
void apply(QWidget* w, int32_t cursor) {
  forget_widget(w);
  LoadedCursor* c = find(cursor);
  if (!c) {
    w->unsetCursor();
    return;
  }
  c->shown_on.emplace_back(w);
  show_frame(*c);
  if (c->timer && !c->timer->isActive()) c->timer->start(static_cast<int>(c->steps[c->step].duration_ms));
}

}  // namespace

int32_t load_cursor_bytes(const uint8_t* data, size_t size) {
  if (!data || size == 0) return 0;
  auto c = std::make_unique<LoadedCursor>();
  if (auto ani = parse_ani_file(data, size)) {
    for (const AniFrameBytes& f : ani->frames) {
      auto frame =
          decode_frame(QByteArray(reinterpret_cast<const char*>(data + f.offset), static_cast<qsizetype>(f.size)));
      if (!frame) return 0;
      c->frames.push_back(*frame);
    }
    c->steps = std::move(ani->steps);
  } else {
    auto frame = decode_frame(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!frame) return 0;
    c->frames.push_back(*frame);
  }
  return add(std::move(c));
}

int32_t load_cursor_file(std::u16string_view path) {
  QByteArray bytes = read_file(path);
  return load_cursor_bytes(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
}

void destroy_cursor_handle(int32_t cursor) {
  CursorTable& t = table();
  auto it = t.cursors.find(cursor);
  if (it == t.cursors.end()) return;
  for (auto& w : it->second->shown_on)
    if (w) w->unsetCursor();
  for (auto& [kind, c] : t.class_cursor)
    if (c == cursor) c = 0;
  t.cursors.erase(it);
}

// A window shows its kind's class cursor unless its MousePointer names a pointer of its own.
bool takes_class_cursor(QtControl& c) {
  return c.widget() && !c.destroyed() && common_detail::mouse_pointer(c.widget()) == 0;
}

// A window entering the table starts with its kind's class cursor, as the class gives it.
void give_class_cursor(QtControl& c) {
  CursorTable& t = table();
  auto it = t.class_cursor.find(std::u16string(c.kind()));
  if (it != t.class_cursor.end() && it->second && takes_class_cursor(c)) apply(c.widget(), it->second);
}

int32_t set_window_class_cursor(WindowHandle window, int32_t cursor) {
  QtControl* control = find_window(window);
  if (!control || !control->widget()) return -1;
  CursorTable& t = table();
  if (!t.hooked) {
    t.hooked = true;
    set_window_listed_hook(give_class_cursor);
  }
  std::u16string kind(control->kind());
  int32_t before = t.class_cursor[kind];
  if (cursor && !find(cursor)) cursor = 0;
  t.class_cursor[kind] = cursor;
  // The class cursor is shared: every window of the kind shows it.
  for (QtControl* c : listed_windows())
    if (c->kind() == kind && takes_class_cursor(*c)) apply(c->widget(), cursor);
  return before;
}

QCursor cursor_frame(int32_t cursor) {
  LoadedCursor* c = find(cursor);
  if (!c) return QCursor();
  return c->frames[c->steps.empty() ? 0 : c->steps[c->step].frame];
}

int cursor_frame_count(int32_t cursor) {
  LoadedCursor* c = find(cursor);
  return c ? static_cast<int>(c->frames.size()) : 0;
}

bool set_window_small_icon(WindowHandle window, std::u16string_view path) {
  QtControl* control = find_window(window);
  if (!control || !control->widget()) return false;
  QWidget* top = control->widget()->window();
  if (path.empty()) {
    top->setWindowIcon(QIcon());
    return true;
  }
  QByteArray bytes = read_file(path);
  QImage image;
  if (bytes.isEmpty() || !image.loadFromData(bytes) || image.isNull()) return false;
  top->setWindowIcon(QIcon(QPixmap::fromImage(image.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))));
  return true;
}

}  // namespace qz
