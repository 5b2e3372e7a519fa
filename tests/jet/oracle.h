#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace jettest {

// Every Access file of the shared fixtures: the top folder and jackcess/.
std::vector<std::filesystem::path> allFixtureFiles();

// The password a fixture needs; empty for the others.
std::string passwordFor(const std::filesystem::path& file);

// The path of the tabrix-cli built with these tests.
std::string cliPath();

}  // namespace jettest
