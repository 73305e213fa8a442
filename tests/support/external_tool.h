// Test support: runs a program this project did not write (a reader or
// converter of our files) through the shell and collects what it said.
#pragma once

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kesto::testing {

struct ToolRun {
  int status = -1;
  std::string output;  // standard output and standard error together
};

inline std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs a shell command line (which may change directory and chain commands).
inline ToolRun run_tool(const std::string& command) {
  const std::string log = std::filesystem::absolute("tool_output.txt").string();
  const int raw = std::system(("{ " + command + "; } > '" + log + "' 2>&1").c_str());
  ToolRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.output = file_text(log);
  return r;
}

inline int occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

// Bytes from hexadecimal pairs separated by blanks ("C5 D0 D3 C6").
inline std::vector<std::uint8_t> hex(const std::string& text) {
  std::vector<std::uint8_t> out;
  std::istringstream in(text);
  std::string pair;
  while (in >> pair) out.push_back(static_cast<std::uint8_t>(std::stoi(pair, nullptr, 16)));
  return out;
}

inline void write_bytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kesto::testing
