#include "app/batch_progress.h"

#include <cstdio>

namespace kesto::app {
namespace {
int g_shown = -1;  // percentage on screen, -1 when no bar is showing
}

void batch_progress(std::int32_t done, std::int32_t total) {
  if (total <= 0) return;
  const int percent = static_cast<int>(100LL * done / total);
  if (percent == g_shown) return;
  g_shown = percent;
  char bar[41];
  const int filled = percent * 40 / 100;
  for (int i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : '.';
  bar[40] = '\0';
  std::fprintf(stderr, "\rrelaxing [%s] %d/%d", bar, done, total);
  if (done >= total) {
    std::fputc('\n', stderr);
    g_shown = -1;
  }
  std::fflush(stderr);
}

void finish_batch_progress() {
  if (g_shown >= 0) std::fputc('\n', stderr);
  g_shown = -1;
}

}  // namespace kesto::app
