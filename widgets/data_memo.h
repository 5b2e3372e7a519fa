#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace tabrix {

class DataSource;
class Field;

// The data-bound memo control: the text of one field of the data source's
// current row, lines broken at CR LF (and at a lone CR or LF), wrapped at
// the control's width.
//
// It shows the stored value again whenever the row changes under it (a
// move, the row entering edit mode, Cancel, Post, a new value of its field),
// dropping text not yet written into the field. It takes input only where the field can be
// changed, and a key that changes the text (typing, Backspace, Delete,
// Enter, pasting, cutting, undoing, and the same from its menu) first puts
// the row into edit mode, which shows the stored value again; the key is
// dropped where the row can't enter edit mode. Esc shows the stored value
// again, the row staying in edit mode.
//
// Text changed since the stored value was last shown is written into the
// field (the row, not the database) when the data source asks before a
// post or move (DataSource::updateRecord) and when the focus leaves the
// memo for another control of its window; a failing write there goes to
// the default error handler and the focus comes back. A value that can't be
// shown shows its error's text in parentheses.
class DataMemo : public QPlainTextEdit {
  Q_OBJECT

 public:
  // The source must outlive the memo.
  explicit DataMemo(DataSource& source, QWidget* parent = nullptr);

  QString fieldName() const { return m_fieldName; }
  // Binds the memo to the field of that name and shows its value.
  void setFieldName(const QString& name);
  // The bound field in the open dataset, or nullptr.
  Field* field() const;

  // Shows the field's stored value in the current row.
  void showStoredValue();
  // Writes the text into the field when it changed since the stored value
  // was shown; the field's DatabaseError when no row is being edited.
  void writeText();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The field's value as shown: its text, or its error's in parentheses.
  QString storedValue() const;
  bool canChange() const;
  // Puts the row into edit mode (showing the stored value again) before a
  // change; false when the change must not happen.
  bool beginChange();

  DataSource& m_source;
  QString m_fieldName;
  QString m_shownValue;  // the stored value last shown
};

}  // namespace tabrix
