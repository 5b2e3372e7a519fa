#include "widgets/file_name_box.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScopeGuard>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

#include "widgets/click_through_popup.h"
#include "widgets/dialogs.h"
#include "widgets/handler_guard.h"

namespace tabrix {

namespace {

const QChar kQuote = QLatin1Char('"');

// "/" is this system's folder separator, so unlike the other characters that
// no file name on Windows may hold it is allowed here.
bool isValidFileName(const QString& name) {
  static const QString refused = QStringLiteral("<>\"?*|");
  if (name.isEmpty()) return false;
  for (QChar c : name)
    if (refused.contains(c)) return false;
  return true;
}

QString withoutEnclosingQuotes(const QString& name) {
  if (name.size() > 1 && name.front() == kQuote && name.back() == kQuote) return name.mid(1, name.size() - 2);
  return name;
}

// Everything up to and including the last "/"; empty when there is none.
QString folderOf(const QString& name) { return name.left(name.lastIndexOf(QLatin1Char('/')) + 1); }

const QString kBrowseFilter = QStringLiteral("Baza ACCES|*.mdb|Wszystkie pliki (*.*)|*.*");

}  // namespace

InvalidFileName::InvalidFileName(const QString& name)
    : std::runtime_error((QStringLiteral("Invalid file name - ") + name).toStdString()) {}

FileNameBox::FileNameBox(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_browseButton(new QToolButton(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_edit);
  layout->addWidget(m_browseButton);

  m_browseButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  m_browseButton->setFocusPolicy(Qt::NoFocus);
  m_browseButton->setToolTip(QStringLiteral("Browse"));
  connectHandler(m_browseButton, &QToolButton::clicked, this, &FileNameBox::browse);

  setFocusPolicy(m_edit->focusPolicy());
  setFocusProxy(m_edit);
  // Drops land on the box, which takes the file's name, not the dropped text.
  m_edit->setAcceptDrops(false);
  setAcceptDrops(true);

  auto* completer = new QCompleter(this);
  auto* files = new QFileSystemModel(completer);
  files->setRootPath(QString());
  completer->setModel(files);
  m_edit->setCompleter(completer);
  // Watched after the completer, so this box sees their events first.
  m_edit->installEventFilter(this);
  completer->popup()->installEventFilter(this);
  passClicksThrough(*completer->popup());
  // After the key that changed the text has had its completions offered.
  connect(m_edit, &QLineEdit::textChanged, this, &FileNameBox::closeCompletionsOfAFile, Qt::QueuedConnection);
}

QString FileNameBox::text() const { return m_edit->text(); }

void FileNameBox::setText(const QString& text) { m_edit->setText(text); }

QString FileNameBox::fileName() const {
  const QString text = m_edit->text();
  const QFileInfo info(text);
  if (!text.isEmpty() && info.exists()) {
    if (info.isDir()) return text + QLatin1Char('/');
    return text;
  }
  if (text.startsWith(kQuote)) {
    const qsizetype close = text.indexOf(kQuote, 1);
    return close < 0 ? text.mid(1) : text.mid(1, close - 1);
  }
  qsizetype end = 0;
  while (end < text.size() && text[end].unicode() > u' ') ++end;
  return text.left(end);
}

void FileNameBox::setFileName(const QString& name) {
  const QString bare = withoutEnclosingQuotes(name);
  if (!bare.isEmpty() && !isValidFileName(bare)) throw InvalidFileName(name);
  if (name.contains(QLatin1Char(' ')) && !name.startsWith(kQuote))
    m_edit->setText(kQuote + name + kQuote);
  else
    m_edit->setText(name);
  // A long name shows its folder, not its end.
  m_edit->setCursorPosition(0);
}

void FileNameBox::setFileNameOrKeep(const QString& name) noexcept {
  try {
    setFileName(name);
  } catch (const InvalidFileName&) {
    // The text stays as it was.
  }
}

void FileNameBox::closeCompletionsOfAFile() {
  QAbstractItemView* list = m_edit->completer()->popup();
  if (list->isVisible() && QFileInfo(m_edit->text()).isFile()) list->hide();
}

void FileNameBox::browse() {
  const auto focusBack = qScopeGuard([this] { m_edit->setFocus(); });

  FileDialogSetup setup;
  setup.title = QStringLiteral("Browse");
  setup.filter = kBrowseFilter;
  setup.folder = m_lastFolder;
  const QString current = fileName();
  if (isValidFileName(current)) {
    const QString folder = folderOf(current);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) setup.folder = folder;
    if (folder.size() < current.size()) setup.fileName = current;
  }

  const QString chosen = dialogs().openFileName(setup);
  if (chosen.isEmpty()) return;
  m_lastFolder = folderOf(chosen);
  setFileName(chosen);
}

bool FileNameBox::eventFilter(QObject* watched, QEvent* event) {
  QAbstractItemView* list = m_edit->completer()->popup();
  if (watched == m_edit && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier)) {
      runHandler([this] { browse(); });
      return true;
    }
  }
  // The completer would keep its list open over the next control; the list
  // opening takes the focus from the box too, and stays.
  if (watched == m_edit && event->type() == QEvent::FocusOut &&
      static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
    list->hide();
  // The list also opens when the folder has been read, which may be after
  // the name was typed in full.
  if (watched == list && event->type() == QEvent::Show)
    QMetaObject::invokeMethod(this, &FileNameBox::closeCompletionsOfAFile, Qt::QueuedConnection);
  return QWidget::eventFilter(watched, event);
}

namespace {

QString firstLocalFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

}  // namespace

void FileNameBox::dragEnterEvent(QDragEnterEvent* event) {
  if (!firstLocalFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void FileNameBox::dropEvent(QDropEvent* event) {
  const QString name = firstLocalFile(event->mimeData());
  if (name.isEmpty()) return;
  event->acceptProposedAction();
  runHandler([&] { setFileName(name); });
}

}  // namespace tabrix
