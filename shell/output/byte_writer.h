// Little-endian bytes for the binary picture files (EPS header, TIFF,
// Windows metafile, enhanced metafile): values appended low byte first, and
// fields written over later, once their value is known.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kesto::shell {

class ByteWriter {
 public:
  std::size_t size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t>& bytes() { return bytes_; }

  void u8(std::uint8_t v) { bytes_.push_back(v); }
  void u16(std::uint16_t v);
  void u32(std::uint32_t v);
  void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  // The characters as they stand, no terminator.
  void text(std::string_view s);
  // Each character as a 16-bit code unit (the metafiles' UTF-16 texts).
  void wide_text(std::string_view s);
  void append(const std::uint8_t* data, std::size_t n) { bytes_.insert(bytes_.end(), data, data + n); }

  // Writes over bytes already appended at `at`.
  void put_u16(std::size_t at, std::uint16_t v);
  void put_u32(std::size_t at, std::uint32_t v);

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace kesto::shell
