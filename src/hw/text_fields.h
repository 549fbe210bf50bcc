// Device strings and path lists are fields between separators ("ftdi:0403:6001",
// "sim:24C16,page=8", "/run/lock:/var/lock"): cut here once for every reader of them. Not
// std::views::split: clang 14 (the fuzz build) cannot compile libstdc++ 12's.
#pragma once

#include <string_view>
#include <vector>

namespace keldar {

// Every field, the empty ones included: "a::b" gives "a", "", "b"; "" gives one empty field.
[[nodiscard]] inline std::vector<std::string_view> SplitFields(std::string_view text,
                                                               char separator) {
  std::vector<std::string_view> fields;
  for (size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator)) {
    fields.push_back(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  fields.push_back(text);
  return fields;
}

}  // namespace keldar
