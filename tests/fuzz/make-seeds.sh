#!/usr/bin/env bash
# Remakes the seed corpora of the fuzz targets with the project's own tools
# and data: lumesta-tool packs demo texts and generated ones, and what it
# writes (dictionaries, containers, the records inside the yearbooks, the
# footnote lines it decodes) becomes the seeds.
#
#   tests/fuzz/make-seeds.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
tool=$build/bin/lumesta-tool
seeds=$root/tests/fuzz/seeds
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

rm -rf "$seeds"
mkdir -p "$seeds"/{slownik,kontener,rekord,dzienniki,odnosniki,rtf,zrodlo,pakowanie}

# Source texts: a few demo texts and a small generated library.
mkdir "$tmp/small"
for f in kodeks-pracy kodeks-morski dz.u.1998.106.668 dz.u.2001.5.43; do
  cp "$root/demo/$f.txt" "$seeds/zrodlo/$f.txt"
  cp "$root/demo/$f.txt" "$tmp/small/"
done
"$tool" generate "$tmp/gen" --bytes 3000 --seed 3 --codes 1 --acts 2 >/dev/null
for f in "$tmp"/gen/*.txt; do cp "$f" "$seeds/zrodlo/generated-$(basename "$f")"; done
cp "$seeds"/zrodlo/* "$seeds/pakowanie/"

# Packed data: the whole demo library and a small one.
"$tool" pack "$root/demo" "$tmp/demo" >/dev/null
"$tool" pack "$tmp/small" "$tmp/smallout" >/dev/null
cp "$tmp/demo/Morvitane.sko" "$seeds/slownik/demo.sko"
cp "$tmp/smallout/Morvitane.sko" "$seeds/slownik/small.sko"
for f in "$tmp"/demo/Lumesta/*.rdu; do cp "$f" "$seeds/kontener/demo-$(basename "$f")"; done
for f in "$tmp"/smallout/Lumesta/*.rdu; do cp "$f" "$seeds/kontener/small-$(basename "$f")"; done

# Records: each yearbook holds one act, between the 6-byte header and the
# 13-byte directory entry at the end.
for f in "$tmp"/demo/Lumesta/[0-9]*.rdu; do
  size=$(stat -c %s "$f")
  tail -c +7 "$f" | head -c $((size - 6 - 13)) > "$seeds/rekord/$(basename "$f" .rdu).rec"
done

# Footnote lines as the store decodes them, with their citations.
n=0
for code in "Kodeks cywilny" "Kodeks pracy" "Kodeks karny"; do
  "$tool" decode "$tmp/demo/Morvitane.sko" "$tmp/demo/Lumesta" "$code" | grep 'Dz' |
    while IFS= read -r line; do
      n=$((n + 1))
      printf '%s' "$line" > "$seeds/dzienniki/$(echo "$code" | tr ' ' '-')-$n.txt"
    done
done

# Links: invented sentences in every citation and reference form (one a
# line, "\n" for a footnote's line end, non-breaking spaces where the
# official texts put them), and the decoded body lines of the demo codes that
# cite something.
n=0
while IFS= read -r line; do
  n=$((n + 1))
  printf '%b' "$line" | sed 's/Dz\. U\. z 2019 r\./Dz.\xc2\xa0U.\xc2\xa0z\xc2\xa02019\xc2\xa0r./' |
    iconv -f UTF-8 -t WINDOWS-1250 > "$seeds/odnosniki/sentence-$n.txt"
done < "$root/tests/fuzz/odnosniki-sentences.txt"
for code in "Kodeks cywilny" "Kodeks pracy"; do
  "$tool" decode "$tmp/demo/Morvitane.sko" "$tmp/demo/Lumesta" "$code" | grep -E 'art\.|Dz\.' | head -n 10 |
    while IFS= read -r line; do
      n=$((n + 1))
      printf '%s' "$line" | iconv -f UTF-8 -t WINDOWS-1250 > "$seeds/odnosniki/$(echo "$code" | tr ' ' '-')-$n.txt"
    done
done

cp "$root/data/Licencja.rtf" "$seeds/rtf/Licencja.rtf"
du -sh "$seeds"
