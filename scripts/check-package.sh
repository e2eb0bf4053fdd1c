#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and checks it:
# the files it holds, and lintian finds no error.
#   check-package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rm -f "$build"/vernaskel_*.deb
if ! output=$(cmake --build "$build" --target package 2>&1); then
  echo "$output" >&2
  exit 1
fi
deb=$(ls "$build"/vernaskel_*.deb)
contents=$(dpkg-deb --contents "$deb")
for file in usr/bin/vernaskel usr/bin/vernaskel-rulegen usr/share/vernaskel/data/ts usr/share/vernaskel/data/scales \
            usr/share/vernaskel/models/rietz.rules \
            usr/share/applications/vernaskel.desktop usr/share/icons/hicolor/256x256/apps/vernaskel.png \
            usr/share/metainfo/org.vernaskel.Vernaskel.metainfo.xml usr/share/man/man1/vernaskel.1.gz \
            usr/share/doc/vernaskel/copyright usr/share/doc/vernaskel/changelog.gz; do
  if ! grep -q " \./$file\$" <<<"$contents"; then
    echo "check-package: $deb lacks $file" >&2
    exit 1
  fi
done
echo "check-package: $deb holds $(grep -c '^-' <<<"$contents") files, $(stat -c %s "$deb") bytes"
# lintian says what it finds, down to its notes; only errors fail the check.
if ! lintian --fail-on error --display-info "$deb" 2>&1 | grep -v 'running with root privileges'; then
  echo "check-package: lintian has nothing to say"
fi
lintian --fail-on error "$deb" >/dev/null 2>&1 || { echo "check-package: lintian found errors" >&2; exit 1; }
echo "check-package: lintian found no error"
