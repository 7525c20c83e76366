#!/usr/bin/env bash
# The main job: installs what is missing, builds, makes a demo drum session from Debian's
# recorded drum samples, renders it through one Hoopvane instance per microphone (learning
# first, as an engineer would), and scores the result.
set -euo pipefail
cd "$(dirname "$0")/.."

kit=${HOOPVANE_DEMO_KIT:-ForzeeStereo}
seed=${HOOPVANE_DEMO_SEED:-1}
session=demo/session
rendered=demo/rendered

bash scripts/install-dependencies.sh
bash scripts/build.sh

tools=build/tools
echo
echo "== Making a demo session from the \"$kit\" kit (seed $seed)"
"$tools/demo-session/hoopvane-demo-session" --out "$session" --kit "$kit" --seed "$seed"

# One FILE:MODE[:POSITION] argument per microphone, from the session's track list.
tracks=()
while IFS=, read -r track mode position _drum; do
    [[ $track == track ]] && continue
    tracks+=("$session/$track.wav:$mode${position:+:$position}")
done < "$session/tracks.csv"

echo
echo "== Rendering ${#tracks[@]} tracks through Hoopvane"
"$tools/render/hoopvane-render" --out "$rendered" "${tracks[@]}"

echo
echo "== Scores (output against input; retention and attack near 0 dB, suppression strongly negative)"
"$tools/score/hoopvane-score" --session "$session" --rendered "$rendered"

artefacts=build/Hoopvane_artefacts/Release
echo
echo "Session tracks, stems and hit list: $(realpath "$session")"
echo "Rendered tracks and PNG plots:       $(realpath "$rendered")"
echo "Plug-in bundles:                     $(realpath "$artefacts/VST3/Hoopvane.vst3"), $(realpath "$artefacts/LV2/Hoopvane.lv2")"
