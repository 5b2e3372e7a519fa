#pragma once

#include <QString>
#include <QVariant>

#include "data/data_type.h"
#include "data/driver.h"

namespace tabrix {

class Dataset;

// One column of an open dataset, seen through the dataset's current row.
// Fields belong to their dataset and live until it closes or opens again.
//
// value() gives null as an invalid QVariant, text as QString, integers as
// qlonglong, floats and currency as double, exact decimals as QString with
// "." as decimal point, dates as QDateTime without a time zone (Qt::UTC),
// GUIDs as QUuid and binary data as QByteArray.
class Field {
 public:
  Field(Dataset& dataset, int index, const ColumnInfo& column, const QString& name);

  Dataset& dataset() const { return m_dataset; }
  int index() const { return m_index; }
  const QString& name() const { return m_name; }
  DataType dataType() const { return m_column.type; }
  int size() const { return m_column.size; }
  int precision() const { return m_column.precision; }
  int scale() const { return m_column.scale; }
  bool required() const { return !m_column.nullable; }
  const ColumnInfo& column() const { return m_column; }

  // In characters: the type's default until set.
  int displayWidth() const { return m_displayWidth; }
  void setDisplayWidth(int width) { m_displayWidth = width; }

  // Long text or long binary data.
  bool isLargeObject() const { return tabrix::isLargeObject(m_column.type); }
  // Whether a value can be written into it.
  bool canModify() const;

  bool isNull() const;
  QVariant value() const;
  // The value as the windows and the report show it (empty for a null), in
  // the default locale as it was when the dataset read its rows.
  QString text() const;

  // These put a value into the row being edited or inserted: a
  // DatabaseError when no row is, or when the text is no value of the type.
  void setValue(const QVariant& value);
  void setText(const QString& text);
  void clear();

 private:
  Dataset& m_dataset;
  int m_index;
  ColumnInfo m_column;
  QString m_name;
  int m_displayWidth;
  // Where text() writes, so that walking the rows doesn't allocate a string
  // a value: the text handed out shares it, and while anyone still holds
  // that, the next is written into a new one.
  mutable QString m_text;
};

}  // namespace tabrix
