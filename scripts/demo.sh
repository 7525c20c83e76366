#!/usr/bin/env bash
# The main job: installs what is missing, builds the plug-in and shows where it is.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-dependencies.sh
bash scripts/build.sh

artefacts=build/Hoopvane_artefacts/Release
echo
echo "Hoopvane is built:"
echo "  VST3: $(realpath "$artefacts/VST3/Hoopvane.vst3")"
echo "  LV2:  $(realpath "$artefacts/LV2/Hoopvane.lv2")"
echo "Copy the VST3 bundle to ~/.vst3 (or the LV2 bundle to ~/.lv2) and rescan in your host."
