#!/usr/bin/env bash
# Prepares the user's data folder (the profile folder's "Speechfiles") by
# running every data installer under data/, in name order.
set -euo pipefail
cd "$(dirname "$0")/.."
for installer in data/*/install.sh; do
  [ -f "$installer" ] || continue
  bash "$installer"
done
