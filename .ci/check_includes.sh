#!/usr/bin/env bash
# The include rule: every folder of the program includes only from itself and from the folders
# below it, so the layers in the README ("How the pieces fit") stay what they say, and only
# platform/ includes Qt. The build enforces the same layers through the libraries each folder
# links; this check also catches what a library can include without linking (a header of a
# folder above, a widget header in a folder that must do without widgets, a Qt header outside
# platform/). A subfolder with a library of its own (platform/core, scope/calc, ...) is a layer
# of its own. Prints each include that breaks the rule and fails when there is one.
# Tests, benchmarks and fuzz targets may include anything and are not checked.
# Usage: .ci/check_includes.sh [source root]   (default: this checkout)
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

# What each folder may include besides itself, lowest layer first (the libraries each links).
declare -A may=(
  [inifile]=""
  [protocol]=""
  [platform/calc]=""
  [platform/core]="inifile"
  [platform]="platform/core platform/calc inifile"
  [base]="inifile protocol"
  [link]="base inifile protocol platform/core"
  [linktext]="link base inifile protocol platform/core"
  [window]="base inifile protocol platform platform/core"
  [localui]="base inifile protocol platform platform/core"
  [settings]="localui window base inifile protocol platform platform/core"
  [params/layout]="base inifile protocol"
  [params/verify]="params/layout linktext link base inifile protocol platform/core"
  [params]="params/verify params/layout linktext link window base inifile protocol platform platform/core"
  [connect]="params params/verify params/layout settings linktext link window base inifile protocol platform platform/core"
  [live/calc]="base inifile protocol"
  [live]="live/calc params params/verify params/layout link window base inifile protocol platform platform/core"
  [scope/calc]=""
  [scope]="scope/calc link window base inifile protocol platform platform/core"
  [app]="connect live live/calc scope scope/calc params params/verify params/layout settings localui linktext link window base inifile protocol platform platform/core"
  [sim]="protocol inifile"
  [cli]="live/calc params/verify params/layout linktext link base inifile protocol platform/core"
)
# Programs of their own that sit beside a library and start the whole program.
declare -A top_files=(
  [localui/langexport.cpp]=1
)

# The layer a path belongs to: the longest folder of the table it lies in ("" for none).
layer_of() {
  local path="$1" best="" key
  for key in "${!may[@]}"; do
    if [[ "$path" == "$key"/* ]] && ((${#key} > ${#best})); then best="$key"; fi
  done
  printf '%s' "$best"
}

bad=0
while IFS= read -r file; do
  folder="$(layer_of "$file")"
  [ -n "$folder" ] || continue
  while IFS= read -r line; do
    number="${line%%:*}"
    text="${line#*:}"
    if [[ "$text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<Q ]] && [[ "$folder" != platform && "$folder" != platform/core ]]; then
      echo "$file:$number: Qt header outside platform/: $text"
      bad=1
      continue
    fi
    [[ "$text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z_/]+)\.h\" ]] || continue
    target="$(layer_of "${BASH_REMATCH[1]}.h")"
    [ -n "$target" ] || continue
    [ "$target" = "$folder" ] && continue
    [ -n "${top_files[$file]:-}" ] && continue
    if [[ " ${may[$folder]} " != *" $target "* ]]; then
      echo "$file:$number: $folder/ may not include $target/: $text"
      bad=1
    fi
  done < <(grep -n '#[[:space:]]*include' "$file" || true)
done < <(find inifile protocol platform base link linktext window localui settings params connect live scope app sim cli \
           -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort)

if [ "$bad" -ne 0 ]; then
  echo "include rule broken (see the lines above and README, How the pieces fit)"
  exit 1
fi
echo "include rule kept"
