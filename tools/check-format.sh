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
# One run over all files (a failing run stops the script): it warns,
# "file:line:col: ...", where a file differs.
warnings=$("$format" --style=file --dry-run "${files[@]}" 2>&1)
mapfile -t differ < <(sed -n 's/^\([^:]*\.\(cpp\|h\)\):[0-9]*:[0-9]*: .*/\1/p' <<< "$warnings" | sort -u)
if ((${#differ[@]})); then
  printf 'Not formatted as .clang-format says (%d of %d files):\n' "${#differ[@]}" "${#files[@]}" >&2
  printf '  %s\n' "${differ[@]}" >&2
  exit 1
fi
echo "${#files[@]} front-end files formatted as .clang-format says"
