#pragma once

#include <QString>
#include <ostream>
#include <vector>

#include "sql/printer_layout.h"

// A canvas that records what the layout draws, and on which page; the page
// and font measures are the subclass's.
class RecordingCanvas : public tabrix::PrinterCanvas {
 public:
  struct Draw {
    int page;
    int x;
    int y;
    QString text;
    bool operator==(const Draw&) const = default;
  };

  void drawText(int x, int y, QStringView text) override { draws.push_back({pages, x, y, text.toString()}); }
  void newPage() override { ++pages; }

  int pages = 1;
  std::vector<Draw> draws;
};

inline void PrintTo(const RecordingCanvas::Draw& d, std::ostream* out) {
  *out << "{page " << d.page << ", " << d.x << ", " << d.y << ", \"" << d.text.toStdString() << "\"}";
}
