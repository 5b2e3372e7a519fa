#include "widgets/minimum_outer_size.h"

#include <QWidget>
#include <algorithm>

#include "widgets/window_frame.h"

namespace tabrix {

void keepMinimumOuterSize(QWidget& window, QSize outer) {
  auto apply = [&window, outer](QMargins frame) {
    window.setMinimumSize(std::max(0, outer.width() - frame.left() - frame.right()),
                          std::max(0, outer.height() - frame.top() - frame.bottom()));
  };
  WindowFrame& frame = WindowFrame::of(window);
  if (const auto margins = frame.margins()) apply(*margins);
  QObject::connect(&frame, &WindowFrame::changed, &window, apply);
}

}  // namespace tabrix
