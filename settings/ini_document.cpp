#include "settings/ini_document.h"

namespace tabrix {

namespace {

// Trims every character whose code is 32 or less from both ends.
QStringView trimmed(QStringView text) {
  qsizetype begin = 0, end = text.size();
  while (begin < end && text[begin].unicode() <= u' ') ++begin;
  while (end > begin && text[end - 1].unicode() <= u' ') --end;
  return text.sliced(begin, end - begin);
}

bool sameName(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

const QString kLineEnd = QStringLiteral("\r\n");

// The first item of `items` named `name` that `counts`, or nullptr.
template <typename Items, typename Counts>
auto* firstNamed(Items& items, QStringView name, Counts counts) {
  for (auto& item : items)
    if (counts(item) && sameName(item.name, name)) return &item;
  return static_cast<decltype(&*items.begin())>(nullptr);
}

constexpr auto kAnySection = [](const auto&) { return true; };
constexpr auto kEntries = [](const auto& line) { return line.entry; };

}  // namespace

IniDocument IniDocument::parse(QStringView text) {
  IniDocument document;
  qsizetype start = 0;
  while (start <= text.size()) {
    qsizetype end = start;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    const QStringView line = trimmed(text.sliced(start, end - start));
    start = end + (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n' ? 2 : 1);

    if (line.isEmpty() || line.front() == u';') continue;
    if (line.front() == u'[' && line.back() == u']' && line.size() > 1) {
      document.m_sections.push_back({trimmed(line.sliced(1, line.size() - 2)).toString(), {}});
      continue;
    }
    if (document.m_sections.empty()) continue;
    const qsizetype equals = line.indexOf(u'=');
    Line parsed;
    if (equals < 0) {
      parsed.name = line.toString();
    } else {
      parsed.entry = true;
      parsed.name = trimmed(line.first(equals)).toString();
      parsed.value = trimmed(line.sliced(equals + 1)).toString();
    }
    document.m_sections.back().lines.push_back(std::move(parsed));
  }
  return document;
}

QString IniDocument::text() const {
  QString result;
  for (const Section& section : m_sections) {
    result += u'[' + section.name + u']' + kLineEnd;
    for (const Line& line : section.lines) {
      result += line.name;
      if (line.entry) result += u'=' + line.value;
      result += kLineEnd;
    }
    result += kLineEnd;
  }
  return result;
}

const QString* IniDocument::value(QStringView section, QStringView name) const {
  const Section* found = firstNamed(m_sections, section, kAnySection);
  if (!found) return nullptr;
  const Line* line = firstNamed(found->lines, name, kEntries);
  return line ? &line->value : nullptr;
}

void IniDocument::setValue(QStringView section, QStringView name, const QString& value) {
  Section* found = firstNamed(m_sections, section, kAnySection);
  if (!found) found = &m_sections.emplace_back(Section{section.toString(), {}});
  Line replacement{true, name.toString(), value};
  if (Line* line = firstNamed(found->lines, name, kEntries))
    *line = std::move(replacement);
  else
    found->lines.push_back(std::move(replacement));
}

}  // namespace tabrix
