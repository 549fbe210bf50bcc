#include "shim_session.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace keldar::e2e {
namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

ShimSession::ShimSession(const std::string& devices) {
  std::string pattern = testing::TempDir() + "keldar-shim-XXXXXX";
  if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
  ::setenv("KELDAR_SHIM_DEVICES", Replace(devices, "{dir}", dir_).c_str(), 1);
  ::setenv("KELDAR_SHIM_LOG", (dir_ + "/counts").c_str(), 1);
  ::setenv("KELDAR_SHIM_TRACE", (dir_ + "/trace").c_str(), 1);
  ::unsetenv("KELDAR_SHIM_FAIL_AFTER");
  ::unsetenv("KELDAR_SHIM_AS_ROOT");
}

ShimSession::~ShimSession() {
  ::unsetenv("KELDAR_SHIM_DEVICES");
  ::setenv("KELDAR_LOCK_DIRS", "", 1);
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string ShimSession::UseLockFolder() const {
  const std::string locks = dir_ + "/locks";
  std::filesystem::create_directory(locks);
  ::setenv("KELDAR_LOCK_DIRS", locks.c_str(), 1);
  return locks;
}

bool ShimSession::ShimLoaded() {
  return ::dlsym(RTLD_DEFAULT, "keldar_shim_present") != nullptr;
}

uint64_t ShimSession::Count(const std::string& name) const {
  std::ifstream file(dir_ + "/counts");
  std::string key;
  uint64_t value = 0;
  while (file >> key >> value) {
    if (key == name) return value;
  }
  return 0;
}

std::vector<std::string> ShimSession::Trace() const {
  std::vector<std::string> lines;
  std::ifstream file(dir_ + "/trace");
  for (std::string line; std::getline(file, line);)
    lines.push_back(line);
  return lines;
}

std::vector<uint8_t> ShimSession::ReadFile(const std::string& name) const {
  std::ifstream file(dir_ + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace keldar::e2e
