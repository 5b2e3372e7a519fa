#include "widgets/grid_delegate.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>

#include "widgets/grid_model.h"
#include "widgets/text_keys.h"

namespace tabrix {

namespace {

// A line edit that asks before its text changes by a key, a paste from its
// menu or an input method.
class CellEditor : public QLineEdit {
 public:
  CellEditor(std::function<bool()> beginChange, QWidget* parent)
      : QLineEdit(parent), m_beginChange(std::move(beginChange)) {
    setFrame(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (changesText(*event) && (isReadOnly() || !m_beginChange())) {
      event->accept();
      return;
    }
    QLineEdit::keyPressEvent(event);
  }

  void inputMethodEvent(QInputMethodEvent* event) override {
    if (!event->commitString().isEmpty() && (isReadOnly() || !m_beginChange())) {
      event->accept();
      return;
    }
    QLineEdit::inputMethodEvent(event);
  }

 private:
  std::function<bool()> m_beginChange;
};

}  // namespace

GridDelegate::GridDelegate(GridModel& model, Hooks hooks, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model), m_hooks(std::move(hooks)) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
  auto* editor = new CellEditor(m_hooks.beginChange, parent);
  editor->setReadOnly(!m_model.cellEditable(index));
  m_editor = editor;
  return editor;
}

void GridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
  if (editor == m_editor) m_editor = nullptr;
  QStyledItemDelegate::destroyEditor(editor, index);
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* line = static_cast<QLineEdit*>(editor);
  const QString text = index.data(Qt::EditRole).toString();
  // The row entering edit mode as typing begins changes nothing to show.
  if (line->isModified() || line->text() == text) return;
  line->setText(text);
  line->selectAll();
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  auto* line = static_cast<QLineEdit*>(editor);
  if (!line->isModified()) return;
  model->setData(index, line->text(), Qt::EditRole);
  line->setModified(false);
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  // The grid selects nothing: its current cell is drawn highlighted, while
  // the grid has the focus or always, as asked.
  QStyleOptionViewItem shown = option;
  const auto* view = qobject_cast<const QAbstractItemView*>(parent());
  shown.state &= ~QStyle::State_Selected;
  if (view && index == view->currentIndex() && (view->hasFocus() || m_selectionWithoutFocus))
    shown.state |= QStyle::State_Selected;
  QStyledItemDelegate::paint(painter, shown, index);
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event) {
  // Focus and the keys that end a cell are the grid's business, not the
  // delegate's default (which would write on every focus change).
  if (object != m_editor) return false;
  if (event->type() == QEvent::KeyPress) return m_hooks.editorKey(*static_cast<QKeyEvent*>(event));
  if (event->type() == QEvent::ShortcutOverride) {
    // Esc belongs to the editor, not to a window shortcut.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      key->accept();
      return true;
    }
  }
  return false;
}

}  // namespace tabrix
