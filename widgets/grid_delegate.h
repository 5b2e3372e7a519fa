#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

class QKeyEvent;

namespace tabrix {

class GridModel;

// Draws the grid's cells and makes its cell editor: a line edit over the
// current cell. The editor takes input only where the model says the cell
// is editable, and only after `beginChange` has put the row into edit mode
// (automatic editing): a key that would change the text is dropped when it
// answers false. Keys that end or leave the cell (Enter, Esc, Tab, Up, …)
// go to `editorKey` first; the grid decides what they do, and the editor
// writes into the model only when the grid asks (setModelData).
class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  struct Hooks {
    std::function<bool()> beginChange;
    // True when the grid has handled the key.
    std::function<bool(QKeyEvent&)> editorKey;
  };

  GridDelegate(GridModel& model, Hooks hooks, QObject* parent = nullptr);

  // The open cell editor, or nullptr.
  QLineEdit* editor() const { return m_editor; }

  // Whether the current cell stays highlighted while the grid has no focus.
  void setSelectionWithoutFocus(bool on) { m_selectionWithoutFocus = on; }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
  // Shows the cell's text, unless the user has changed the editor's.
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  // Writes the editor's text into the row when the user changed it.
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  GridModel& m_model;
  Hooks m_hooks;
  mutable QPointer<QLineEdit> m_editor;
  bool m_selectionWithoutFocus = false;
};

}  // namespace tabrix
