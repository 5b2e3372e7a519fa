#include "widgets/application_title.h"

#include <gtest/gtest.h>

#include "dialog_printers.h"

namespace tabrix {
namespace {

struct TitleCase {
  const char* executable;
  const char* title;
};

class ApplicationTitleTest : public testing::TestWithParam<TitleCase> {};

TEST_P(ApplicationTitleTest, ComesFromTheExecutablesFileName) {
  EXPECT_EQ(applicationTitle(QString::fromUtf8(GetParam().executable)), QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ApplicationTitleTest,
    testing::Values(TitleCase{"tabrix", "tabrix"}, TitleCase{"/usr/bin/Tabrix", "Tabrix"},
                    TitleCase{"/opt/TABRIX.EXE", "Tabrix"}, TitleCase{"tABRIX", "tabrix"},
                    TitleCase{"/home/a.b/tabrix-CLI.sh.old", "tabrix-cli"},
                    TitleCase{"ŻÓŁW", "Żółw"}, TitleCase{"/usr/bin/.hidden", ""}));

}  // namespace
}  // namespace tabrix
