#!/usr/bin/env bash
# Discovers the LV2 bundle through Debian's lilv, as Ardour and other Linux hosts do. (lilv's own
# lv2bench and lv2apply cannot run it: they provide no options feature, which every JUCE LV2
# plug-in requires, so the processing check lives in the JUCE LV2 host test.)
set -euo pipefail
bundle=$1
uri=$2

fail() { echo "FAIL: $*" >&2; exit 1; }

[[ -d $bundle ]] || fail "no bundle at $bundle"
[[ $uri == https://* ]] || fail "URI $uri is not an https address"
grep -q "<$uri>" "$bundle/manifest.ttl" || fail "manifest.ttl does not name $uri"

binary=$(find "$bundle" -name '*.so' | head -n 1)
grep -qa "$uri" "$binary" || fail "the binary does not carry $uri"

export LV2_PATH
LV2_PATH=$(dirname "$bundle")

info=$(lv2info "$uri") || fail "lv2info cannot find $uri"
grep -q "Name:.*Hoopvane" <<<"$info" || fail "lv2info shows no Hoopvane: $info"
grep -qi "AudioPort" <<<"$info" || fail "lv2info shows no audio ports"

grep -q "Latency" <<<"$info" || fail "lv2info shows no latency port"
echo "LV2 bundle OK: $uri"
