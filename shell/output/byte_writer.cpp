#include "shell/output/byte_writer.h"

namespace kesto::shell {

void ByteWriter::u16(std::uint16_t v) {
  bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
  bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::u32(std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<std::uint8_t>((v >> shift) & 0xFF));
}

void ByteWriter::text(std::string_view s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }

void ByteWriter::wide_text(std::string_view s) {
  for (char c : s) u16(static_cast<std::uint8_t>(c));
}

void ByteWriter::put_u16(std::size_t at, std::uint16_t v) {
  bytes_.at(at + 1);  // the field must lie inside what was written
  bytes_[at] = static_cast<std::uint8_t>(v & 0xFF);
  bytes_[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void ByteWriter::put_u32(std::size_t at, std::uint32_t v) {
  bytes_.at(at + 3);
  for (int i = 0; i < 4; ++i)
    bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

}  // namespace kesto::shell
