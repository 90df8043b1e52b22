#!/usr/bin/env bash
# The include rule: every folder of the program includes only from itself and from the folders
# below it, so the layers in the README ("How the pieces fit") stay what they say, and only
# platform/ includes Qt. Prints each include that breaks the rule and fails when there is one.
# Tests, benchmarks and fuzz targets may include anything and are not checked.
# Usage: .ci/check_includes.sh [source root]   (default: this checkout)
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

# What each folder may include besides itself, lowest layer first.
declare -A may=(
  [inifile]=""
  [protocol]=""
  [platform]="inifile"
  [base]="inifile platform protocol"
  [localui]="base inifile platform"
  [settings]="localui base inifile platform"
  [link]="base inifile platform protocol"
  [linktext]="link base inifile protocol"
  [params]="linktext link base inifile platform protocol"
  [connect]="params linktext link settings base inifile platform protocol"
  [live]="params link base inifile platform protocol"
  [scope]="link base inifile platform protocol"
  [app]="connect live scope params linktext link settings localui base inifile platform protocol"
  [sim]="protocol inifile"
  [cli]="live params linktext link base inifile platform protocol"
)
# Programs of their own that sit beside a library and start the whole program.
declare -A top_files=(
  [localui/langexport.cpp]=1
)

bad=0
for folder in "${!may[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r file; do
    while IFS= read -r line; do
      number="${line%%:*}"
      text="${line#*:}"
      if [[ "$text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<Q ]] && [ "$folder" != platform ]; then
        echo "$file:$number: Qt header outside platform/: $text"
        bad=1
        continue
      fi
      [[ "$text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z_]+)/ ]] || continue
      target="${BASH_REMATCH[1]}"
      [ "$target" = "$folder" ] && continue
      [ -n "${top_files[$file]:-}" ] && continue
      if [[ " ${may[$folder]} " != *" $target "* ]]; then
        echo "$file:$number: $folder/ may not include $target/: $text"
        bad=1
      fi
    done < <(grep -n '#[[:space:]]*include' "$file" || true)
  done < <(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
done

if [ "$bad" -ne 0 ]; then
  echo "include rule broken (see the lines above and README, How the pieces fit)"
  exit 1
fi
echo "include rule kept"
