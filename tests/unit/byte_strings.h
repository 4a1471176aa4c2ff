// File contents written byte by byte in the tests of the file codec.
#pragma once

#include <initializer_list>
#include <string>

namespace quillet {

inline std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

}  // namespace quillet
