#pragma once

#include <QWidget>
#include <map>
#include <vector>

#include "widgets/navigator_button.h"

class QToolButton;

namespace tabrix {

class DataSource;

// The navigator bar: buttons that move through and edit the rows of a data
// source, side by side across its width, each enabled only while its action
// can be done (after every change of the dataset's state or position):
//
//   First, Prior    open and not at the beginning of the rows
//   Next, Last      open and not at the end of the rows
//   Insert          the table can be modified
//   Delete          the table can be modified and has rows
//   Edit            the table can be modified and no row is being edited
//   Post, Cancel    the table can be modified and a row is being edited
//   Refresh         the table can be modified
//
// Delete asks "Delete record?" first. Every action but Edit, Cancel and
// Delete has the bound controls write what they hold first; errors go to
// the default error handler. Prior and Next repeat while held down (after
// 400 ms, then every 100 ms, while the pointer stays on them). No button
// takes the keyboard focus.
class DataNavigator : public QWidget {
  Q_OBJECT

 public:
  static const std::vector<NavigatorButton>& allButtons();

  // The source must outlive the bar.
  DataNavigator(DataSource& source, std::vector<NavigatorButton> buttons = allButtons(), QWidget* parent = nullptr);

  // The button, or nullptr when the bar doesn't have it.
  QToolButton* button(NavigatorButton which) const;
  // Flat buttons show their bevel only under the pointer.
  void setFlat(bool flat);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void act(NavigatorButton which);
  void updateButtons();
  void updateGlyphs();

  DataSource& m_source;
  std::vector<NavigatorButton> m_order;
  std::map<NavigatorButton, QToolButton*> m_buttons;
};

}  // namespace tabrix
