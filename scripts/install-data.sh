#!/usr/bin/env bash
# Prepares the user's tolvane.xml and data folder (the profile folder's
# "Speechfiles") by running every data installer under data/, in name order
# (data/tolvane/install.sh runs the built vorsan-user-setup).
set -euo pipefail
cd "$(dirname "$0")/.."
for installer in data/*/install.sh; do
  [ -f "$installer" ] || continue
  bash "$installer"
done
