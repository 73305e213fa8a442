// The MARKEL record texts: one text line per drawing operation, integer page
// units and numbers right-justified in fixed columns, asterisks when a value
// does not fit its field. Pure functions; the kernel decides when to write.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto::plot::markel {

// Integer coordinate of a record: nearest integer, halves away from zero.
std::int32_t rounded(float v);

// "LI": a line between two rounded points, ended by the constant field "    0".
std::string line_record(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
// "LW": a thick line between two rounded points with its rounded width.
std::string wide_line_record(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t w);
// "CI": an arc: rounded centre, start point and end-direction point.
std::string arc_record(std::int32_t xc, std::int32_t yc, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                       std::int32_t y2);
// "CH": text at a rounded point: size, orientation and the first n characters
// of the text (none when n <= 0, at most 80; blanks stand in past its end).
std::string text_record(std::int32_t x, std::int32_t y, std::int32_t size, std::int32_t orientation,
                        std::string_view text, std::int32_t n);
// "RB": a rectangle outline, the caller's reals as whole numbers.
std::string box_record(float x1, float y1, float x2, float y2);
// "RF": a filled rectangle with its side-flag mask.
std::string fill_record(float x1, float y1, float x2, float y2, std::int32_t m);
// "QF": a filled quadrilateral through four corners.
std::string quad_record(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
// "SC MODE ...": the colour mode 1 to 7; empty for any other mode.
std::string mode_record(std::int32_t imode);
std::string bar_colour_record(std::int32_t c);                           // "SC BAR  "
std::string rgb_record(std::int32_t r, std::int32_t g, std::int32_t b);  // "SC RGB "
std::string grey_record(std::int32_t g);                                 // "SC GREY "
std::string circl_record(float f);                                       // "SC CIRCL "
std::string hot_record(float f);                                         // "SC HOT"
std::string iron_record(float f);                                        // "SC IRON"
// "LA": k and three reals in exponent form.
std::string la_record(std::int32_t k, float a, float b, float c);
// "CM": the comment up to its "$" (looked for in the first 76 characters of
// the first `length`); "CM" alone for an empty comment.
std::string comment_record(std::string_view text, std::int32_t length);

}  // namespace kesto::plot::markel
