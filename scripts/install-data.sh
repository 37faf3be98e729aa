#!/usr/bin/env bash
# Prepares the user's tolvane.xml and data folder (the profile folder's
# "Speechfiles", with the English dictionary) through data/tolvane/install.sh,
# which runs the built vorsan-user-setup: the one set-up every program uses.
set -euo pipefail
cd "$(dirname "$0")/.."
bash data/tolvane/install.sh
