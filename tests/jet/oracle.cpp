#include "oracle.h"

#include <algorithm>

#include "fixtures.h"

namespace jettest {

std::vector<std::filesystem::path> allFixtureFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& dir : {fixtures::root() / "mdb", fixtures::root() / "mdb" / "jackcess"}) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
      if (entry.path().extension() == ".mdb") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::filesystem::path> allFixtureFilesOrPlaceholder() {
  auto files = allFixtureFiles();
  if (files.empty()) files.push_back(fixtures::mdb("absent.mdb"));
  return files;
}

std::string fixtureTestName(const ::testing::TestParamInfo<std::filesystem::path>& info) {
  std::string name = info.param.parent_path().filename().string() + "_" + info.param.stem().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

std::string passwordFor(const std::filesystem::path& file) {
  return file.filename() == "V2000_with-password.mdb" ? "password" : "";
}

std::string cliPath() { return TABRIX_CLI; }

}  // namespace jettest
