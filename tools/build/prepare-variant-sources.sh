#!/usr/bin/env bash
# Writes plain-text copies of the variant sources that the corpus builder
# reads into OUTDIR (replaced as a whole, never left half written):
#   Unihan_Variants.txt           Unicode's Unihan variant fields (unicode-data)
#   Unihan_DictionaryLikeData.txt its kFrequency field tells common characters
#   STCharacters.txt ...          OpenCC's character tables (opencc), one
#                                 "key<TAB>value value ..." line per entry
# UNICODE_DIR and OPENCC_DIR override where the packaged files are.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
out=${1%/}
unicode_dir=${UNICODE_DIR:-/usr/share/unicode}
unihan_files=(Unihan_Variants Unihan_DictionaryLikeData)
opencc_dir=${OPENCC_DIR:-/usr/share/opencc}
tables=(STCharacters TSCharacters TWVariants HKVariants JPVariants JPShinjitaiCharacters)

for tool in bzip2 opencc_dict; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 1; }
done
for f in "${unihan_files[@]}"; do
  [ -r "$unicode_dir/$f.txt.bz2" ] || { echo "$0: cannot read $unicode_dir/$f.txt.bz2 (package unicode-data)" >&2; exit 1; }
done
for t in "${tables[@]}"; do
  [ -r "$opencc_dir/$t.ocd2" ] || { echo "$0: cannot read $opencc_dir/$t.ocd2 (package opencc)" >&2; exit 1; }
done

mkdir -p "$(dirname "$out")"
tmp=$(mktemp -d "$out.tmp.XXXXXX")
chmod 755 "$tmp"
trap 'rm -rf "$tmp"' EXIT

for f in "${unihan_files[@]}"; do
  bzip2 -dc "$unicode_dir/$f.txt.bz2" >"$tmp/$f.txt"
done
for t in "${tables[@]}"; do
  opencc_dict -i "$opencc_dir/$t.ocd2" -o "$tmp/$t.txt" -f ocd2 -t text >/dev/null
  # An empty table means the conversion went wrong, not that there is no data.
  [ -s "$tmp/$t.txt" ] || { echo "$0: $t.ocd2 converted to nothing" >&2; exit 1; }
done

rm -rf "$out"
mv "$tmp" "$out"
trap - EXIT
