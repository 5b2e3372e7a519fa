#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "jet/value.h"

namespace jettest {

// Values given in a test, as a cursor would hand them out; set `type`
// where the reader looks at it.
inline jet::Value integerValue(std::int64_t i) {
  jet::Value v;
  v.null = false;
  v.integer = i;
  return v;
}

inline jet::Value realValue(double d) {
  jet::Value v;
  v.null = false;
  v.real = d;
  return v;
}

inline jet::Value booleanValue(bool b) {
  jet::Value v;
  v.null = false;
  v.boolean = b;
  return v;
}

// Keeps the text and bytes that given values point to, for as long as the
// store lives (a deque never moves what it holds).
class ValueStore {
 public:
  jet::Value text(std::u16string s) {
    texts_.push_back(std::move(s));
    jet::Value v;
    v.type = jet::ColumnType::Text;
    v.null = false;
    v.text = texts_.back();
    return v;
  }
  jet::Value bytes(std::vector<std::byte> b) {
    blobs_.push_back(std::move(b));
    jet::Value v;
    v.type = jet::ColumnType::OLE;
    v.null = false;
    v.bytes = blobs_.back();
    return v;
  }

 private:
  std::deque<std::u16string> texts_;
  std::deque<std::vector<std::byte>> blobs_;
};

}  // namespace jettest
