#!/usr/bin/env bash
# Validates the desktop entry and the AppStream metainfo; any error or warning fails.
# Usage: validate-desktop-files.sh <entry.desktop> <metainfo.xml>
set -euo pipefail
entry=$1
metainfo=$2

report=$(desktop-file-validate "$entry" 2>&1) || { echo "$report"; exit 1; }
# desktop-file-validate exits 0 on hints and warnings; the entry must be free of both.
if [ -n "$report" ]; then
  echo "$report"
  exit 1
fi
appstreamcli validate --no-net --explain "$metainfo"
echo "desktop entry and metainfo are valid"
