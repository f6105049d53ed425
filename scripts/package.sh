#!/usr/bin/env bash
# Installs what is missing, builds as run.sh does (same build folder,
# RUVELTO_BUILD respected) and writes the installer and the portable zip:
# dist/Ruvelto-<version>-setup.exe and dist/Ruvelto-<version>-portable.zip.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages
build_all
make_package "$ROOT/dist"
