#!/usr/bin/env bash
# Builds Cibrano and starts it on the bundled sample food table.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "$root/build/data"
exec "$root/build/tools/cibrano-table" info alimenti.d --password QUARZOFELCEBRUM
