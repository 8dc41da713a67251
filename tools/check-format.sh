#!/usr/bin/env bash
# Fails, naming each file, when a source file of the front-end (components/
# and app/) differs from what its folder's .clang-format gives. Fix with
#   clang-format-14 -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format-14}
if ! command -v "$format" > /dev/null; then
  echo "$format is not installed (tools/setup.sh installs it)" >&2
  exit 1
fi
mapfile -t files < <(find components app -name '*.cpp' -o -name '*.h' | sort)
differ=()
for f in "${files[@]}"; do
  "$format" --style=file "$f" | cmp -s - "$f" || differ+=("$f")
done
if ((${#differ[@]})); then
  printf 'Not formatted as .clang-format says (%d of %d files):\n' "${#differ[@]}" "${#files[@]}" >&2
  printf '  %s\n' "${differ[@]}" >&2
  exit 1
fi
echo "${#files[@]} front-end files formatted as .clang-format says"
