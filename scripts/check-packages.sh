#!/usr/bin/env bash
# Checks that every name in BALLWICK_PACKAGES (scripts/deps.sh) is a real Debian
# package that apt can install: a virtual name (one that other packages only
# provide) or an unknown one has no install candidate and fails the check.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
bad=()
for p in "${BALLWICK_PACKAGES[@]}"; do
  candidate=$(apt-cache policy "$p" 2>/dev/null | awk '/Candidate:/ { print $2 }')
  if [ -z "$candidate" ] || [ "$candidate" = "(none)" ]; then
    bad+=("$p")
  fi
done
if [ ${#bad[@]} -gt 0 ]; then
  echo "check-packages: not installable packages in scripts/deps.sh: ${bad[*]}" >&2
  exit 1
fi
echo "check-packages: all ${#BALLWICK_PACKAGES[@]} packages are installable"
