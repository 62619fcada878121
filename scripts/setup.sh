#!/usr/bin/env bash
# Installs every dependency, builds Corvane and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "$root/scripts/run.sh"
