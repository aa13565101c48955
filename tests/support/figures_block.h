// The figures a reliability test measures go into their marked block of the document that
// QUILLMERE_RELIABILITY_DOC names (docs/reliability.md), between "<!-- NAME figures: begin -->"
// and "<!-- NAME figures: end -->", so that no figure there is written by hand.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace quillmere::testing {

// False when a document is named and has no such block or cannot be written.
inline bool FillFiguresBlock(const std::string& name, const std::string& figures) {
  const char* document = std::getenv("QUILLMERE_RELIABILITY_DOC");
  if (document == nullptr) {
    return true;
  }
  std::ifstream in(document, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string begin = "<!-- " + name + " figures: begin -->\n";
  const std::size_t from = text.find(begin);
  const std::size_t to = text.find("<!-- " + name + " figures: end -->");
  if (from == std::string::npos || to == std::string::npos || to < from) {
    return false;
  }
  text.replace(from + begin.size(), to - from - begin.size(), figures);
  return static_cast<bool>(std::ofstream(document, std::ios::binary) << text);
}

}  // namespace quillmere::testing
