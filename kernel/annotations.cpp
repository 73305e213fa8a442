// Records without a picture: the LA record and comments.
#include "kernel/kernel.h"
#include "kernel/markel_records.h"
#include "kernel/recording.h"

namespace kesto::plot {

void TEKLA(std::int32_t k, float a, float b, float c) {
  if (recording()) write_record(markel::la_record(k, a, b, c));
}

void TEKCOMMENT(std::string_view text, std::int32_t length) {
  if (recording()) write_record(markel::comment_record(text, length));
}

}  // namespace kesto::plot
