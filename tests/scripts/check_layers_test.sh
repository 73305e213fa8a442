#!/usr/bin/env bash
# scripts/check-layers on small trees of its own making: each rule it keeps
# (no include of a layer above, none of another layer's internal header, no
# Qt header outside shell/) is broken once, and each break is named by file,
# line and include; a tree that keeps the rules passes silently.
set -uo pipefail
script="$1/scripts/check-layers"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

tree() {  # a fresh tree: the layers' folders, shell's and textui's public faces
  rm -rf "$work/t"
  mkdir -p "$work/t"/{common,shell/window,kernel,textui,sheet,plot,solver,app}
  printf '## Public face\n\n- `shell/window/events.h` — the event wait\n\n## Other\n\n- `shell/window/hidden.h`\n' \
    > "$work/t/shell/README.md"
  printf '## Public face\n\n- `textui/messages.h`\n' > "$work/t/textui/README.md"
  printf '## Public face\n\n- `common/x.h`\n' > "$work/t/common/README.md"
  printf '# kernel\n## Public face\n- `kernel/kernel.h` — all of it\n' > "$work/t/kernel/README.md"
  touch "$work/t/shell/window/events.h" "$work/t/shell/window/hidden.h" "$work/t/textui/messages.h"
}

expect() {  # expect NAME STATUS OUTPUT
  local out status
  out=$("$script" "$work/t" 2>&1)
  status=$?
  if [ "$status" != "$2" ] || [ "$out" != "$3" ]; then
    echo "FAILED $1: status $status, said:"
    echo "$out"
    echo "expected status $2 and:"
    echo "$3"
    failed=1
  fi
}

tree
printf '#include "shell/window/events.h"\n#include "common/x.h"\n#include <vector>\n' > "$work/t/textui/forms.cpp"
printf '#include "textui/messages.h"\n#include "kernel/kernel.h"\n' > "$work/t/plot/colour_bar.cpp"
printf '#include "sheet/cell_grid.h"\n' > "$work/t/sheet/cell_grid.cpp"
printf '#include <QImage>\n#include "window/local.h"\n' > "$work/t/shell/window/picture.cpp"
expect "tree that keeps the rules" 0 ""

tree
printf '// one\n#include "solver/grid.h"\n' > "$work/t/textui/forms.cpp"
printf '  #  include "shell/window/hidden.h"\n' > "$work/t/kernel/lines.cpp"
printf '#include <QWidget>\n' > "$work/t/app/main.cpp"
printf '#include "textui/messages.h"\n' > "$work/t/kernel/text.cpp"
printf '#include "plot/geometry_view.h"\n' > "$work/t/kernel/areas.cpp"
expect "each rule broken once" 1 "app/main.cpp:1: includes <QWidget>, a Qt header outside shell/
kernel/areas.cpp:1: includes plot/geometry_view.h, a header of the layer displays above kernel
kernel/lines.cpp:1: includes shell/window/hidden.h, internal to the layer shell (not in shell/README.md)
kernel/text.cpp:1: includes textui/messages.h, a header of the layer textui above kernel
textui/forms.cpp:2: includes solver/grid.h, a header of the layer solver above textui
check-layers: 5 include(s) break the layer rules"

exit $failed
