#include "widgets/file_dialog_filter.h"

#include <gtest/gtest.h>

#include "dialog_printers.h"

namespace tabrix {
namespace {

struct FilterCase {
  const char* filter;
  QStringList nameFilters;
};

class QtNameFiltersTest : public testing::TestWithParam<FilterCase> {};

TEST_P(QtNameFiltersTest, OneNameFilterPerPairInOrder) {
  EXPECT_EQ(qtNameFilters(QString::fromUtf8(GetParam().filter)), GetParam().nameFilters);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, QtNameFiltersTest,
    testing::Values(
        FilterCase{"Baza ACCES|*.mdb|Wszystkie pliki (*.*)|*.*",
                   {"Baza ACCES (*.mdb)", "Wszystkie pliki (*.*) (*)"}},
        FilterCase{"Zapytania SQL|*.sql|Pliki tekstowe|*.txt|Wszystkie pliki|*.*",
                   {"Zapytania SQL (*.sql)", "Pliki tekstowe (*.txt)", "Wszystkie pliki (*)"}},
        FilterCase{"Pliki zapytań SQL|*.SQL", {"Pliki zapytań SQL (*.SQL)"}},
        FilterCase{"Teksty|*.txt;*.log; *.*", {"Teksty (*.txt *.log *)"}},
        FilterCase{"Pełny|*.a|bez wzorca", {"Pełny (*.a)"}}, FilterCase{"", {}}));

}  // namespace
}  // namespace tabrix
