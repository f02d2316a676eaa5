// The three lists that browse the file system, as a Linux user knows it:
// - drive list boxes: the roots of the mounted volumes ("/" first, then removable media,
//   network shares and other volumes of their own); Drive is the chosen mount point;
// - directory list boxes: the folders from "/" down to Path, then Path's own folders (hidden
//   ones left out); ListIndex -1 is Path itself, -2 its parent and so on up, 0 onwards its
//   folders; a double click or Enter opens a folder;
// - file list boxes: the files of Path that match Pattern ("*.txt;*.log", letters of either
//   case), shown or left out by the Hidden (name starting with "."), ReadOnly (not writable by
//   this user), System (not a regular file: devices, pipes, sockets, broken links) and
//   Normal/Archive (every other file) switches.
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStorageInfo>

#include <functional>
#include <vector>

#include "platform/path.h"
#include "platform/qt/control_registry.h"
#include "platform/qt/controls/list_control.h"

namespace qz {

namespace {

using namespace list_items;

[[noreturn]] void path_not_found() { raise(76, u"Path not found"); }

// The OS path of a path the script writes ("C:\Data", "/data", "sub"), relative ones taken
// from `base`, names found without regard to case as the file services find them.
QString os_path_of(const QString& base, const QString& text) {
  std::string os = os_path(text.trimmed().toStdU16String());
  if (os.empty() || os.front() != '/') os = base.toStdString() + "/" + os;
  return QString::fromStdString(resolve_path(os));
}

// A folder the script names as its canonical path; 76 when there is no such folder.
QString existing_folder(const QString& base, const QString& text) {
  if (text.trimmed().isEmpty()) path_not_found();
  QFileInfo info(os_path_of(base, text));
  if (!info.isDir()) path_not_found();
  QString path = info.canonicalFilePath();
  if (path.isEmpty()) path_not_found();
  return path;
}

// --- drive list boxes -------------------------------------------------------------------------

bool under(const QString& path, const QString& folder) {
  return path == folder || path.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

// The roots a user picks from: "/" and every mounted volume that holds files of its own
// (a block device or a network share), without the system's own mounts.
QStringList volume_roots() {
  QStringList roots{QStringLiteral("/")};
  static const char* const kSystem[] = {"/boot", "/dev", "/etc", "/proc", "/run", "/snap", "/sys", "/usr", "/var"};
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    QString root = v.rootPath();
    if (!v.isValid() || !v.isReady() || roots.contains(root) || !QFileInfo(root).isDir()) continue;
    QByteArray type = v.fileSystemType();
    bool network = type.startsWith("nfs") || type.startsWith("cifs") || type.startsWith("smb") ||
                   type.startsWith("fuse.sshfs");
    if (!network && !v.device().startsWith("/dev/")) continue;
    bool removable = under(root, QStringLiteral("/run/media")) || under(root, QStringLiteral("/media"));
    bool system = false;
    for (const char* s : kSystem) system = system || under(root, QString::fromLatin1(s));
    if (!system || removable) roots.push_back(root);
  }
  std::sort(roots.begin() + 1, roots.end());
  return roots;
}

class DriveListBox final : public NativeObject<DriveListBox, QtControl> {
 public:
  static void define(Members<DriveListBox>& m) {
    define_common_members(m);
    m.property(u"Drive", [](DriveListBox& c, Args) {
      c.check_alive();
      return text_value(c.combo()->currentText());
    }, [](DriveListBox& c, Args, const Variant& v) {
      c.check_alive();
      c.set_drive(qtext(v));
    });
    m.getter(u"List", [](DriveListBox& c, Args a) {
      c.check_alive();
      return text_value(c.combo()->itemText(item_index(a, c.combo()->count())));
    });
    m.getter(u"ListCount", [](DriveListBox& c, Args) {
      c.check_alive();
      return Variant(static_cast<int16_t>(c.combo()->count()));
    });
    m.property(u"ListIndex", [](DriveListBox& c, Args) {
      c.check_alive();
      return Variant(static_cast<int16_t>(c.combo()->currentIndex()));
    }, [](DriveListBox& c, Args, const Variant& v) {
      c.check_alive();
      int32_t i = to_long(v);
      if (i < 0 || i >= c.combo()->count()) invalid_value();
      c.choose(i);
    });
    m.method(u"Refresh", [](DriveListBox& c, Args) {
      c.check_alive();
      c.reload();
      return Variant();
    });
    m.default_member(u"Drive");
  }
  std::u16string type_name() const override { return u"DriveListBox"; }

  DriveListBox(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<DriveListBox, QtControl>(kind, index) {
    auto* b = new DropDownDrives(parent);
    box_ = b;
    b->setFocusPolicy(Qt::StrongFocus);
    b->opening = [this] { reload(); };
    QObject::connect(b, &QComboBox::activated, [this](int i) {
      if (quiet_ || destroyed()) return;
      // The widget has shown the new choice already: Change when it is another drive.
      if (combo()->itemText(i) != drive_) {
        drive_ = combo()->itemText(i);
        fire(u"Change");
      }
    });
    QObject::connect(b->view()->verticalScrollBar(), &QScrollBar::valueChanged, [this] {
      if (!quiet_) fire(u"Scroll");
    });
    drive_ = root_of(QDir::currentPath());
    reload();
    attach(b);  // last: while nobody holds the control, none of its widget's events may reach it
  }

  QComboBox* combo() const { return box_; }
  bool click_on_release() const override { return false; }
  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    if (auto* m = dynamic_cast<DriveListBox*>(&model)) {
      drive_ = m->drive_;
      reload();
    }
  }

 private:
  // Looks at the mounts again each time the list opens: a volume may have come or gone.
  class DropDownDrives final : public QComboBox {
   public:
    using QComboBox::QComboBox;
    std::function<void()> opening;
    void showPopup() override {
      if (opening) opening();
      QComboBox::showPopup();
    }
  };

  // The root that holds a path: the longest one it lies under.
  static QString root_of(const QString& path) {
    QString best = QStringLiteral("/");
    for (const QString& r : volume_roots())
      if (under(path, r) && r.size() > best.size()) best = r;
    return best;
  }
  void reload() {
    ScopedFlag q(quiet_);
    QStringList roots = volume_roots();
    if (!roots.contains(drive_)) drive_ = root_of(drive_);
    combo()->clear();
    combo()->addItems(roots);
    combo()->setCurrentIndex(static_cast<int>(roots.indexOf(drive_)));
  }
  void choose(int i) {
    {
      ScopedFlag q(quiet_);
      combo()->setCurrentIndex(i);
    }
    if (combo()->currentText() == drive_) return;
    drive_ = combo()->currentText();
    fire(u"Change");
  }
  // Any path on a volume chooses that volume's root; 68 for a path that does not exist.
  void set_drive(const QString& text) {
    QFileInfo info(os_path_of(QDir::currentPath(), text));
    if (text.trimmed().isEmpty() || !info.exists()) raise(68, u"Device unavailable");
    QString root = root_of(info.canonicalFilePath());
    reload();
    int i = combo()->findText(root);
    if (i >= 0) choose(i);
  }
  void fire(std::u16string_view event) {
    if (destroyed()) return;
    Ref<DriveListBox> keep(this);
    raise_event(event);
  }

  QComboBox* box_;
  QString drive_;
  bool quiet_ = false;
};

// --- directory list boxes ---------------------------------------------------------------------

class DirListBox final : public NativeObject<DirListBox, ListControl> {
 public:
  static void define(Members<DirListBox>& m) {
    define_common_members(m);
    m.property(u"Path", [](DirListBox& c, Args) {
      c.check_alive();
      return text_value(c.path_);
    }, [](DirListBox& c, Args, const Variant& v) {
      c.check_alive();
      c.open(existing_folder(c.path_, qtext(v)));
    });
    m.getter(u"List", [](DirListBox& c, Args a) {
      c.check_alive();
      int i = array_index(a, c.first_index(), c.folder_count() - 1);
      return text_value(c.row_path(c.row_of(i)));
    });
    m.getter(u"ListCount", [](DirListBox& c, Args) {
      c.check_alive();
      return Variant(static_cast<int16_t>(c.folder_count()));
    });
    m.property(u"ListIndex", [](DirListBox& c, Args) {
      c.check_alive();
      int row = c.list_index();
      return Variant(static_cast<int16_t>(row < 0 ? -1 : c.index_of(row)));
    }, [](DirListBox& c, Args, const Variant& v) {
      c.check_alive();
      int32_t i = to_long(v);
      if (i < c.first_index() || i >= c.folder_count()) invalid_value();
      c.set_list_index(c.row_of(i));
    });
    m.property(u"TopIndex", [](DirListBox& c, Args) {
      c.check_alive();
      return Variant(static_cast<int16_t>(c.index_of(c.top_index())));
    }, [](DirListBox& c, Args, const Variant& v) {
      c.check_alive();
      int32_t i = to_long(v);
      if (i < c.first_index() || i >= c.folder_count()) invalid_value();
      c.set_top_index(c.row_of(i));
    });
    m.method(u"Refresh", [](DirListBox& c, Args) {
      c.check_alive();
      c.reload();
      return Variant();
    });
    m.default_member(u"Path");
  }
  std::u16string type_name() const override { return u"DirListBox"; }

  DirListBox(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<DirListBox, ListControl>(kind, index, parent), path_(QDir::currentPath()) {
    reload();
    attach_list();
  }

  void copy_settings_from(QtControl& model) override {
    ListControl::copy_settings_from(model);
    if (auto* m = dynamic_cast<DirListBox*>(&model)) {
      path_ = m->path_;
      reload();
    }
  }

  bool on_event(QObject* watched, QEvent* event) override {
    bool handled = ListControl::on_event(watched, event);
    if (handled || destroyed() || watched != widget() || event->type() != QEvent::KeyPress) return handled;
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    if (int row = list()->currentRow(); row >= 0) item_activated(row);
    return true;
  }

 private:
  // Rows: "/" and the folders down to Path (depth + 1 rows), then Path's folders.
  int depth() const { return static_cast<int>(ancestors_.size()) - 1; }
  int first_index() const { return -depth() - 1; }
  int folder_count() const { return item_count() - depth() - 1; }
  int row_of(int index) const { return index + depth() + 1; }
  int index_of(int row) const { return row - depth() - 1; }
  QString row_path(int row) const { return list()->item(row)->data(Qt::UserRole).toString(); }

  void item_activated(int row) override {
    try {
      open(existing_folder(path_, row_path(row)));
    } catch (...) {
      reload();  // the folder has gone meanwhile
    }
  }
  void open(const QString& path) {
    if (path == path_) return;
    path_ = path;
    reload();
    Ref<DirListBox> keep(this);
    raise_event(u"Change");
  }
  void reload() {
    Quiet q(*this);
    ancestors_.clear();
    for (QString p = path_;; p = QFileInfo(p).absolutePath()) {
      ancestors_.insert(ancestors_.begin(), p);
      if (QDir(p).isRoot()) break;
    }
    QListWidget* w = list();
    w->clear();
    QIcon open_icon = w->style()->standardIcon(QStyle::SP_DirOpenIcon);
    QIcon closed_icon = w->style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [w](const QIcon& icon, int level, const QString& name, const QString& path) {
      auto* item = new QListWidgetItem(icon, QString(level * 2, ' ') + name);
      item->setData(Qt::UserRole, path);
      w->addItem(item);
    };
    for (int i = 0; i <= depth(); ++i) {
      QString name = i == 0 ? ancestors_[i] : QFileInfo(ancestors_[i]).fileName();
      add(open_icon, i, name, ancestors_[i]);
    }
    QDir dir(path_);
    for (const QFileInfo& f : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
      add(closed_icon, depth() + 1, f.fileName(), f.absoluteFilePath());
    w->setCurrentRow(depth(), QItemSelectionModel::ClearAndSelect);  // Path itself, index -1
  }

  QString path_;
  std::vector<QString> ancestors_;
};

// --- file list boxes --------------------------------------------------------------------------

class FileListBox final : public NativeObject<FileListBox, ListControl> {
 public:
  static void define(Members<FileListBox>& m) {
    define_common_members(m);
    define_choice_members(m);
    define_selection_members(m);
    m.property(u"Path", [](FileListBox& c, Args) {
      c.check_alive();
      return text_value(c.path_);
    }, [](FileListBox& c, Args, const Variant& v) {
      c.check_alive();
      c.set_path(existing_folder(c.path_, qtext(v)));
    });
    m.property(u"Pattern", [](FileListBox& c, Args) {
      c.check_alive();
      return text_value(c.pattern_);
    }, [](FileListBox& c, Args, const Variant& v) {
      c.check_alive();
      c.set_pattern(qtext(v));
    });
    m.property(u"FileName", [](FileListBox& c, Args) {
      c.check_alive();
      int row = c.list_index();
      return text_value(row < 0 ? QString() : c.item_text(row));
    }, [](FileListBox& c, Args, const Variant& v) {
      c.check_alive();
      c.set_file_name(qtext(v));
    });
    struct Switch { std::u16string_view name; bool FileListBox::*flag; };
    for (Switch s : {Switch{u"Archive", &FileListBox::archive_}, Switch{u"Hidden", &FileListBox::hidden_},
                     Switch{u"Normal", &FileListBox::normal_}, Switch{u"ReadOnly", &FileListBox::read_only_},
                     Switch{u"System", &FileListBox::system_}}) {
      auto flag = s.flag;
      m.property(s.name, [flag](FileListBox& c, Args) { c.check_alive(); return Variant(c.*flag); },
                 [flag](FileListBox& c, Args, const Variant& v) {
                   c.check_alive();
                   c.*flag = to_bool(v);
                   c.reload();
                 });
    }
    m.method(u"Refresh", [](FileListBox& c, Args) {
      c.check_alive();
      c.reload();
      return Variant();
    });
    m.default_member(u"FileName");
  }
  std::u16string type_name() const override { return u"FileListBox"; }

  FileListBox(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<FileListBox, ListControl>(kind, index, parent), path_(QDir::currentPath()) {
    reload();
    attach_list();
  }

  void copy_settings_from(QtControl& model) override {
    ListControl::copy_settings_from(model);
    auto* m = dynamic_cast<FileListBox*>(&model);
    if (!m) return;
    path_ = m->path_;
    pattern_ = m->pattern_;
    archive_ = m->archive_;
    hidden_ = m->hidden_;
    normal_ = m->normal_;
    read_only_ = m->read_only_;
    system_ = m->system_;
    reload();
  }

 private:
  void set_path(const QString& path) {
    if (path == path_) return;
    path_ = path;
    reload();
    Ref<FileListBox> keep(this);
    raise_event(u"PathChange");
  }
  void set_pattern(const QString& pattern) {
    if (pattern == pattern_) return;
    pattern_ = pattern;
    reload();
    Ref<FileListBox> keep(this);
    raise_event(u"PatternChange");
  }
  // A folder part goes to Path, a name with wildcards to Pattern; a plain name chooses that file.
  void set_file_name(const QString& text) {
    QString name = QString(text).replace('\\', '/');
    if (qsizetype slash = name.lastIndexOf('/'); slash >= 0) {
      set_path(existing_folder(path_, name.left(slash + 1)));
      name = name.mid(slash + 1);
    }
    if (name.isEmpty()) return;
    if (name.contains('*') || name.contains('?')) return set_pattern(name);
    for (int row = 0; row < item_count(); ++row)
      if (item_text(row) == name) return set_list_index(row);
  }

  bool matches(const QString& name) const {
    for (const QRegularExpression& re : patterns_)
      if (re.match(name).hasMatch()) return true;
    return false;
  }
  bool shown(const QFileInfo& f) const {
    bool hidden = f.fileName().startsWith('.');
    bool system = !f.isFile();
    bool read_only = !system && !f.isWritable();
    bool plain = !hidden && !system && !read_only;
    return (!hidden || hidden_) && (!system || system_) && (!read_only || read_only_) &&
           (!plain || normal_ || archive_);
  }
  // Reads the folder again; the chosen file stays chosen while it is still listed.
  void reload() {
    Quiet q(*this);
    patterns_.clear();
    for (QString p : pattern_.split(';', Qt::SkipEmptyParts)) {
      p = p.trimmed();
      if (p == QStringLiteral("*.*")) p = QStringLiteral("*");  // also the names without a dot
      if (!p.isEmpty()) patterns_.push_back(QRegularExpression::fromWildcard(p, Qt::CaseInsensitive));
    }
    if (patterns_.empty()) patterns_.push_back(QRegularExpression::fromWildcard(u"*", Qt::CaseInsensitive));
    int chosen = list_index();
    QString chosen_name = chosen < 0 ? QString() : item_text(chosen);
    QListWidget* w = list();
    w->clear();
    QDir dir(path_);
    auto filter = QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& f : dir.entryInfoList(filter, QDir::Name | QDir::IgnoreCase))
      if (!f.isDir() && matches(f.fileName()) && shown(f)) w->addItem(f.fileName());
    for (int row = 0; row < w->count() && !chosen_name.isEmpty(); ++row)
      if (w->item(row)->text() == chosen_name) w->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
  }

  QString path_;
  QString pattern_ = QStringLiteral("*.*");
  std::vector<QRegularExpression> patterns_;
  bool archive_ = true, hidden_ = false, normal_ = true, read_only_ = true, system_ = false;
};

}  // namespace

Ref<QtControl> make_drive_list(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new DriveListBox(kind, index, parent));
}

Ref<QtControl> make_dir_list(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new DirListBox(kind, index, parent));
}

Ref<QtControl> make_file_list(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new FileListBox(kind, index, parent));
}

}  // namespace qz
