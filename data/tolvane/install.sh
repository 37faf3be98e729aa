#!/usr/bin/env bash
# Sets up the user's profile folder ($USERPROFILE when set and not empty, else
# $HOME) from the installation: runs the program vorsan-user-setup, which
# holds the one set of rules (copies of the shipped files refreshed, files the
# user added kept, tolvane.xml written only when the user has none that loads;
# `vorsan-user-setup --help` tells them). Arguments are passed on.
#
# The program is $VORSAN_USER_SETUP when set; else the installed one
# (<prefix>/share/vorsan/tolvane/install.sh runs <prefix>/bin/vorsan-user-setup);
# else, in the source tree, the one built in build/ (scripts/setup.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
for program in "${VORSAN_USER_SETUP:-}" "$here/../../../bin/vorsan-user-setup" "$here/../../build/cli/vorsan-user-setup"; do
  if [ -n "$program" ] && [ -x "$program" ]; then
    exec "$program" "$@"
  fi
done
echo "install.sh: vorsan-user-setup not found; build it (cmake --build build --target vorsan-user-setup)" \
  "or name it in VORSAN_USER_SETUP" >&2
exit 1
