#!/usr/bin/env bash
# Fails when a file reaches past the layering: a back end's headers are its
# own and its tests' (everyone else includes backend_common/), platform/
# and hal/ include nothing of the layers above them, and nothing below the
# shell includes it but the front end, for GameQuit.
set -euo pipefail
cd "$(dirname "$0")/.."
sources=(--include='*.cpp' --include='*.h' --include='*.inc')
status=0
for backend in backend_glide backend_d3d; do
  if grep -rn "${sources[@]}" "#include \"$backend/" . | grep -vE "^\./($backend|tests/$backend|build[^/]*)/"; then
    echo "check-includes: only $backend/ and tests/$backend/ may include $backend/ headers" >&2
    status=1
  fi
done
if grep -rnE "${sources[@]}" '#include "(shell|race|presentation|frontend|net|launcher|engine3d|backend_[a-z0-9]+)/' platform hal; then
  echo "check-includes: platform/ and hal/ include nothing above them" >&2
  status=1
fi
if grep -rnE "${sources[@]}" '#include "(platform|shell|race|presentation|frontend|net|launcher|engine3d|backend_[a-z0-9]+)/' hal; then
  echo "check-includes: hal/ includes nothing of the game" >&2
  status=1
fi
# The shell sits above every subsystem: the layers it drives reach it only
# through the hooks of platform/fatal.h, and the front end through GameQuit
# (shell/game.h, its one include of the shell).
if grep -rnE "${sources[@]}" '#include "shell/' race presentation engine3d net launcher backend_* platform hal; then
  echo "check-includes: race/, presentation/, engine3d/, net/, launcher/, the back ends and below include nothing of shell/ (they call up through platform/fatal.h)" >&2
  status=1
fi
if grep -rnE "${sources[@]}" '#include "shell/' frontend | grep -v ':#include "shell/game.h"'; then
  echo "check-includes: frontend/ includes only shell/game.h of the shell, for GameQuit" >&2
  status=1
fi
exit $status
