#!/usr/bin/env bash
# Unpacks Debian's sequential and OpenMP builds of OpenBLAS (the release the
# system has) into DIR, without installing them: the tests run the engine
# with each through LD_LIBRARY_PATH, next to the installed build (POSIX
# threads).  Each lands in DIR/usr/lib/<multiarch>/openblas-<build>/.
# Does nothing for a build that is already there.
#   bash tools/fetch-openblas-builds.sh DIR
set -euo pipefail
dir=${1:?usage: fetch-openblas-builds.sh DIR}
arch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2> /dev/null || gcc -print-multiarch)
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
for build in serial openmp; do
  if [ -f "$dir/usr/lib/$arch/openblas-$build/libopenblas.so.0" ]; then continue; fi
  work=$(mktemp -d)
  chmod 755 "$work"  # apt-get download hands the file to its own user when it can
  # The version of the installed build, so that all three are one release.
  version=$(dpkg-query -W -f='${Version}' libopenblas0-pthread 2> /dev/null || true)
  package=libopenblas0-$build${version:+=$version}
  if ! (cd "$work" && apt-get download "$package" > /dev/null 2>&1); then
    (cd "$work" && apt-get download "libopenblas0-$build")
  fi
  dpkg-deb -x "$work"/libopenblas0-"$build"_*.deb "$dir"
  rm -rf "$work"
  test -f "$dir/usr/lib/$arch/openblas-$build/libopenblas.so.0"
done
echo "OpenBLAS builds in $dir/usr/lib/$arch: $(ls "$dir/usr/lib/$arch" | tr '\n' ' ')"
