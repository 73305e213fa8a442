// The picture as Encapsulated PostScript with a TIFF preview, in the DOS
// EPS binary form: a 30-byte header (the lengths and offsets of its parts),
// the PostScript text translated record by record from the plot buffer,
// then the TIFF of the picture as the window holds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kesto::shell {

constexpr std::size_t EPS_HEADER_BYTES = 30;

// The PostScript text of the plot records in `data` (`size` bytes): the
// prologue, the line width `pen_width` with round caps and mitred joins,
// one group of lines per record (colours by rule E under the colour window
// option `colour`), "stroke" and "newpath" after every 50th line or
// rectangle, and the closing lines. Lines end in CR LF.
std::string eps_postscript(const std::uint8_t* data, std::size_t size, int pen_width, bool colour);

// The whole EPS file: header, `postscript`, then `tiff` as the preview.
std::vector<std::uint8_t> eps_file(const std::string& postscript, const std::vector<std::uint8_t>& tiff);

// The EPS file of the picture in the plot buffer, with the settings' EPS pen
// width and colour option and the window's picture as its preview.
std::vector<std::uint8_t> picture_eps();

// Menu command Write EPS: the save dialog (proposing the last name chosen),
// then the file. A cancelled dialog or a file that cannot be created writes
// nothing and says nothing.
void WRITE_EPS();

}  // namespace kesto::shell
