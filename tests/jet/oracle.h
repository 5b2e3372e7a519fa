#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace jettest {

// Every Access file of the shared fixtures: the top folder and jackcess/.
std::vector<std::filesystem::path> allFixtureFiles();

// The same, or when the folder is absent one path that isn't there, so a
// test over the files still runs and skips with the fixture's reason.
std::vector<std::filesystem::path> allFixtureFilesOrPlaceholder();

// A test name made of a fixture's folder and file name.
std::string fixtureTestName(const ::testing::TestParamInfo<std::filesystem::path>& info);

// The password a fixture needs; empty for the others.
std::string passwordFor(const std::filesystem::path& file);

// The path of the tabrix-cli built with these tests.
std::string cliPath();

}  // namespace jettest
