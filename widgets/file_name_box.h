#pragma once

#include <QString>
#include <QWidget>
#include <stdexcept>

class QLineEdit;
class QToolButton;

namespace tabrix {

// A file name the file-name box refuses; the text is "Invalid file name - "
// followed by the name as it was passed in.
class InvalidFileName : public std::runtime_error {
 public:
  explicit InvalidFileName(const QString& name);
};

// A box holding one file name as editable text, with a browse button at its
// right edge (Alt+Down opens it too), completion from the file system while
// typing, and files dropped on it from the desktop.
//
// The text is free; fileName() reads a name out of it and setFileName()
// checks and quotes a name before it replaces the text. "/" separates folders.
//
// The completion list closes once the text names a file and when the focus
// leaves the box, and a click beside it acts at once.
class FileNameBox : public QWidget {
  Q_OBJECT
  // The file name as window storage keeps it.
  Q_PROPERTY(QString fileName READ fileName WRITE setFileNameOrKeep)

 public:
  explicit FileNameBox(QWidget* parent = nullptr);

  QString text() const;
  // Replaces the text as typing would, unchecked.
  void setText(const QString& text);

  // The text when it names an existing file; the text with "/" appended when
  // it names an existing folder; else what lies between a leading double
  // quote and the next one; else the text up to its first blank or control
  // character.
  QString fileName() const;
  // Shows `name`, in double quotes when it holds a blank and does not begin
  // with one, from its start. InvalidFileName when `name`, without
  // enclosing double quotes, holds any of < > " ? * |; the text then stays
  // as it was.
  void setFileName(const QString& name);
  // As setFileName, but a refused name leaves the text as it was without an
  // error.
  void setFileNameOrKeep(const QString& name) noexcept;

  // The open dialog "Browse": it starts in the folder of the current file
  // name when that name is valid and its folder exists, else in the folder
  // chosen last; a chosen name replaces the text. The focus comes back here.
  void browse();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void closeCompletionsOfAFile();

  QLineEdit* m_edit;
  QToolButton* m_browseButton;
  QString m_lastFolder;
};

}  // namespace tabrix
