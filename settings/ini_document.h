#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace tabrix {

// The settings file's text as an ordered list of sections, each an ordered
// list of lines: entries (a name, "=" and a value) and bare lines without
// "=". Section and entry names are compared without regard to letter case.
// Sections and lines keep their places; new ones are appended.
class IniDocument {
 public:
  // Cuts the text into lines at CR LF, LF and CR and trims each line, and
  // each entry's name and value, of every character up to the blank. Empty
  // lines, comments (";" first) and lines before the first section header
  // are dropped. A header repeating an earlier name opens a second section
  // of that name.
  static IniDocument parse(QStringView text);

  // Each section as "[name]", its lines and an empty line; every line ends
  // with CR LF.
  QString text() const;

  // The value of the first entry `name` in the first section `section`, or
  // nullptr when there is none. Valid until the document next changes.
  const QString* value(QStringView section, QStringView name) const;
  // Replaces that entry's line in place by `name`, "=" and `value`, or
  // appends the line to the section, appending the section when it is
  // missing.
  void setValue(QStringView section, QStringView name, const QString& value);

 private:
  struct Line {
    bool entry = false;
    QString name;   // an entry's name, or a bare line's text
    QString value;  // an entry's value
  };
  struct Section {
    QString name;
    std::vector<Line> lines;
  };

  std::vector<Section> m_sections;
};

}  // namespace tabrix
