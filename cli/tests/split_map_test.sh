#!/usr/bin/env bash
# A 16-bit target end to end: split one random firmware image into two lanes with their
# configuration, download it to the stand-in's chain, and compare each unit's memory with its
# lane, and map's and the manifest's checksums with Python's sum and zlib.crc32 of it. A
# second split without --force replaces nothing.
#   split_map_test.sh CLI PYTHON3
set -u
cli=$1 python=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/vanter-cli-split-XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/run" "$work/home"
cd "$work" || exit 1
export HOME=$work/home XDG_RUNTIME_DIR=$work/run VANTER_SIM_STATE_DIR=$work/state LC_ALL=C
unset VANTER_SIM_UNITS VANTER_SIM_FAULT VANTER_SIM_TRANSCRIPT

fail() {
    echo "FAILED: $*"
    exit 1
}

# Random bytes at 0xF00000 on (the bus's base address), with a hole, as Intel HEX.
"$python" - <<'PY' || fail "no image"
import json, random
random.seed(22)
data = {}
for start, length in ((0xF00000, 40001), (0xF0C351, 25000)):
    for a in range(start, start + length):
        data[a] = random.randrange(256)
def record(kind, address, payload):
    body = bytes([len(payload), address >> 8 & 0xFF, address & 0xFF, kind]) + bytes(payload)
    return ":" + (body + bytes([-sum(body) & 0xFF])).hex().upper()
lines, upper = [], None
runs = []
for address in sorted(data):
    if runs and address == runs[-1][-1] + 1 and len(runs[-1]) < 16 and address & 0xFFFF:
        runs[-1].append(address)
    else:
        runs.append([address])
for run in runs:
    if run[0] >> 16 != upper:
        upper = run[0] >> 16
        lines.append(record(4, 0, [upper >> 8, upper & 0xFF]))
    lines.append(record(0, run[0] & 0xFFFF, [data[x] for x in run]))
lines.append(record(1, 0, []))
open("fw.hex", "w").write("\n".join(lines) + "\n")
lanes = [bytearray(b"\xff" * 0x10000) for _ in range(2)]
ranges = [[], []]
for address in sorted(data):
    k, at = (address - 0xF00000) % 2, (address - 0xF00000) // 2
    lanes[k][at] = data[address]
    if ranges[k] and ranges[k][-1]["last"] == at - 1:
        ranges[k][-1]["last"] = at
    else:
        ranges[k].append({"first": at, "last": at})
for k in range(2):
    open("lane%d.expected" % k, "wb").write(lanes[k])
json.dump(ranges, open("ranges.json", "w"))
PY

"$cli" split --lanes=2 --base=0xF00000 --part=27512 --config=board.in3 fw.hex >out 2>err ||
    fail "split: $(cat err)"
"$cli" validate board.in3 >/dev/null 2>err || fail "validate: $(cat err)"
"$cli" download board.in3 >/dev/null 2>err || fail "download: $(cat err)"
"$cli" map --json board.in3 >map.json 2>err || fail "map: $(cat err)"
for k in 0 1; do
    cmp -s "state/unit$k.bin" "lane$k.expected" || fail "unit #$k does not hold lane $k"
done
"$python" - <<'PY' || fail "checksums differ"
import json, zlib
units = json.load(open("map.json"))["units"]
if len(units) != 2:
    raise SystemExit("map lists %d units" % len(units))
for k, unit in enumerate(units):
    memory = open("state/unit%d.bin" % k, "rb").read()
    crc, total = zlib.crc32(memory), sum(memory) & 0xFFFF
    manifest = dict(line.split(": ", 1) for line in open("state/unit%d.manifest" % k).read().splitlines())
    seen = (unit["crc32"], unit["byteSum"], int(manifest["crc-32"], 16), int(manifest["byte sum"], 16))
    if seen != (crc, total, crc, total):
        raise SystemExit("unit #%d: map, manifest %s; zlib.crc32 and sum %#x %#x" % (k, seen, crc, total))
    if unit["ranges"] != json.load(open("ranges.json"))[k]:
        raise SystemExit("unit #%d ranges %s" % (k, unit["ranges"]))
PY

# Every output exists now: a second split refuses and leaves them all as they are.
cp fw-0.hex before-0 && cp board.in3 before.in3
: >fw-1.hex
"$cli" split -n2 --base=f00000 -p 27512 -c board.in3 --order=10 fw.hex >out 2>err
status=$?
[ "$status" -eq 6 ] || fail "split over existing files: status $status"
cmp -s fw-0.hex before-0 && cmp -s board.in3 before.in3 && [ ! -s fw-1.hex ] ||
    fail "split without --force changed a file"
"$cli" split -n2 --base=f00000 -p 27512 -c board.in3 --order=10 --force fw.hex >out 2>err ||
    fail "split --force: $(cat err)"
cmp -s fw-1.hex before-0 || fail "--order=10 does not give unit #1 lane 0"
echo "split and map: all checks pass"
