#include "settings/placement_rules.h"

#include <gtest/gtest.h>

#include "qt_printers.h"
#include "settings/settings_store.h"
#include "settings_files.h"

namespace tabrix {

void PrintTo(const PlacementRecord& r, std::ostream* out) {
  *out << "{show " << r.showCmd << ", flags " << r.flags << ", min " << r.minimizedPosition.x() << ','
       << r.minimizedPosition.y() << ", max " << r.maximizedPosition.x() << ',' << r.maximizedPosition.y()
       << ", normal " << r.normal.left << ',' << r.normal.top << ',' << r.normal.right << ',' << r.normal.bottom
       << '}';
}

namespace {

const Display kFullHd{96, {1920, 1080}, {QRect(0, 0, 1920, 1080)}};
const Display kTwoMonitors{96, {3200, 1080}, {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)}};
const PlacementRecord kCurrent{kShowNormal, 0, {-1, -1}, {-1, -1}, {100, 100, 639, 283}};

PlacementRecord withNormal(Edges edges, PlacementRecord record = kCurrent) {
  record.normal = edges;
  return record;
}

struct StoredCase {
  const char* what;
  std::vector<std::pair<const char*, const char*>> stored;
  Display display;
  std::optional<PlacementRecord> applied;
};

class StoredPlacementTest : public testing::TestWithParam<StoredCase> {};

TEST_P(StoredPlacementTest, AppliesWhatFitsTheDisplay) {
  SettingsStore store;
  for (const auto& [key, value] : GetParam().stored) store.WriteString(QStringLiteral("S\\") + key, value);
  EXPECT_EQ(storedPlacement(store, "S\\", kCurrent, GetParam().display), GetParam().applied) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredPlacementTest,
    testing::Values(
        StoredCase{"nothing stored", {{"ShowCmd", "1"}}, kFullHd, std::nullopt},
        StoredCase{"the plain rectangle", {{"NormPos", "233,158,788,354"}}, kFullHd, withNormal({233, 158, 788, 354})},
        StoredCase{"saved at other pixels per inch",
                   {{"PixelsPerInch", "120"}, {"NormPos", "233,158,788,354"}},
                   kFullHd,
                   std::nullopt},
        StoredCase{"saved at these pixels per inch",
                   {{"PixelsPerInch", "96"}, {"NormPos", "233,158,788,354"}},
                   kFullHd,
                   withNormal({233, 158, 788, 354})},
        StoredCase{"right equal to left", {{"NormPos", "233,158,233,354"}}, kFullHd, std::nullopt},
        StoredCase{"right left of left", {{"NormPos", "788,158,233,354"}}, kFullHd, std::nullopt},
        StoredCase{"off every monitor", {{"NormPos", "2000,100,2500,400"}}, kFullHd, std::nullopt},
        StoredCase{"the last pixel one past the monitor", {{"NormPos", "1400,100,1921,400"}}, kFullHd, std::nullopt},
        StoredCase{"the last pixel on the monitor's edge",
                   {{"NormPos", "1400,100,1920,1080"}},
                   kFullHd,
                   withNormal({1400, 100, 1920, 1080})},
        StoredCase{"the top-left corner above the desktop", {{"NormPos", "100,-5,600,400"}}, kFullHd, std::nullopt},
        StoredCase{"corners on two monitors",
                   {{"NormPos", "1000,100,1600,400"}},
                   kTwoMonitors,
                   withNormal({1000, 100, 1600, 400})},
        StoredCase{"corner in the gap beside the smaller monitor",
                   {{"NormPos", "1000,1030,1600,1050"}},
                   kTwoMonitors,
                   std::nullopt},
        StoredCase{"the key of this desktop's size before the plain one",
                   {{"NormPos(1920x1080)", "10,20,600,400"}, {"NormPos", "233,158,788,354"}},
                   kFullHd,
                   withNormal({10, 20, 600, 400})},
        StoredCase{"only another desktop's key: the plain one",
                   {{"NormPos(1280x1024)", "10,20,600,400"}, {"NormPos", "233,158,788,354"}},
                   kFullHd,
                   withNormal({233, 158, 788, 354})},
        StoredCase{"this desktop's key empty counts as nothing stored",
                   {{"NormPos(1920x1080)", ""}, {"NormPos", "233,158,788,354"}},
                   kFullHd,
                   std::nullopt},
        StoredCase{"words apart by commas and blanks",
                   {{"NormPos", "  10 ,20,, 600   400"}},
                   kFullHd,
                   withNormal({10, 20, 600, 400})},
        StoredCase{"a word that is no integer is the window's own",
                   {{"NormPos", "x,20,y"}},
                   kFullHd,
                   withNormal({100, 20, 639, 203})},
        StoredCase{"positions alone: the window's rectangle",
                   {{"MinMaxPos", "-1,-1,x,8"}, {"Flags", "2"}},
                   kFullHd,
                   PlacementRecord{kShowNormal, kRestoreToMaximized, {-1, -1}, {0, 8}, kCurrent.normal}},
        StoredCase{"numbers past 32 bits are no integers",
                   {{"NormPos", "2147483647,0,99999999999,9"}},
                   kFullHd,
                   std::nullopt}));

TEST(PlacementRules, ABadFlagsOrPixelsPerInchIsAnError) {
  for (const char* key : {"Flags", "PixelsPerInch"}) {
    SettingsStore store;
    store.WriteString("S\\NormPos", "233,158,788,354");
    store.WriteString(QStringLiteral("S\\") + key, "x");
    try {
      storedPlacement(store, "S\\", kCurrent, kFullHd);
      ADD_FAILURE() << key;
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "'x' is not a valid integer value") << key;
    }
  }
}

TEST(PlacementRules, TheShowState) {
  const struct {
    const char* stored;  // nullptr: none
    ShowState state;
  } cases[] = {
      {"1", ShowState::Normal},    {"5", ShowState::Normal},    {"9", ShowState::Normal},
      {"2", ShowState::Minimized}, {"6", ShowState::Minimized}, {"7", ShowState::Minimized},
      {"3", ShowState::Maximized}, {"0", ShowState::Normal},    {"4", ShowState::Normal},
      {"-3", ShowState::Normal},   {"42", ShowState::Normal},   {nullptr, ShowState::Maximized},
  };
  for (const auto& c : cases) {
    SettingsStore store;
    if (c.stored) store.WriteString("S\\ShowCmd", c.stored);
    EXPECT_EQ(storedShowState(store, "S\\", kShowMaximized), c.state) << (c.stored ? c.stored : "none");
  }
  SettingsStore store;
  store.WriteString("S\\ShowCmd", "x");
  EXPECT_THROW(storedShowState(store, "S\\", kShowNormal), std::runtime_error);
}

TEST(PlacementRules, SavingWritesTheSevenKeysInOrder) {
  SettingsFile file;
  {
    SettingsStore store(file.path());
    store.Reload();
    savePlacement(store, "MAIN\\", {kShowMaximized, kRestoreToMaximized, {-1, -1}, {-8, -8}, {233, 158, 788, 354}},
                  kFullHd);
  }
  EXPECT_EQ(file.read(), crlf({"[MAIN]", "ShowCmd=3", "Flags=2", "PixelsPerInch=96", "MinMaxPos(1920x1080)=-1,-1,-8,-8",
                               "MinMaxPos=-1,-1,-8,-8", "NormPos(1920x1080)=233,158,788,354",
                               "NormPos=233,158,788,354", ""}));
}

TEST(PlacementRules, EachDesktopSizeKeepsItsOwnRectangle) {
  const Display sxga{96, {1280, 1024}, {QRect(0, 0, 1280, 1024)}};
  SettingsStore store;
  savePlacement(store, "S\\", withNormal({1200, 700, 1800, 1000}), kFullHd);

  // On the smaller desktop the plain key is tried, and lies off it.
  EXPECT_EQ(storedPlacement(store, "S\\", kCurrent, sxga), std::nullopt);
  savePlacement(store, "S\\", withNormal({10, 20, 600, 400}), sxga);
  EXPECT_EQ(store.ReadString("S\\NormPos", {}), "10,20,600,400");
  EXPECT_EQ(store.ReadString("S\\NormPos(1280x1024)", {}), "10,20,600,400");

  EXPECT_EQ(storedPlacement(store, "S\\", kCurrent, kFullHd), withNormal({1200, 700, 1800, 1000}));
  EXPECT_EQ(storedPlacement(store, "S\\", kCurrent, sxga), withNormal({10, 20, 600, 400}));
}

}  // namespace
}  // namespace tabrix
