#!/usr/bin/env bash
# Installs the shipped database files into the user's data folder and, for a
# user who has none yet, the master configuration tolvane.xml.
#
# Profile folder: $USERPROFILE when it is set and not empty, else $HOME.
# - The shipped language, emotion, accent and voice files are copied to
#   <profile>/Speechfiles/Pelmira, Ruvetta, Oskalen and Voices; copies of
#   shipped files are refreshed, files the user added are left alone.
# - <profile>/tolvane.xml is written from this folder's tolvane.xml only when
#   the user has none, so the user's choices are never overwritten. Its
#   locations ("Speechfiles/...") become full paths into the user's copy;
#   entries whose file is not there are left out, and references to a left-out
#   emotion or accent database are cleared, so the file always loads.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
data="$(dirname "$here")"
profile="${USERPROFILE:-}"
[ -n "$profile" ] || profile="${HOME:?neither USERPROFILE nor HOME is set}"
speech="$profile/Speechfiles"

copied=0
for pair in pelmira:Pelmira ruvetta:Ruvetta oskalen:Oskalen voices:Voices; do
  from="$data/${pair%%:*}"
  to="$speech/${pair##*:}"
  mkdir -p "$to"
  for f in "$from"/*.xml; do
    [ -f "$f" ] || continue
    cp -f "$f" "$to/"
    copied=$((copied + 1))
  done
done
echo "tolvane: $copied database files in $speech"

config="$profile/tolvane.xml"
if [ -e "$config" ]; then
  echo "tolvane: keeping the existing $config"
  exit 0
fi

python3 - "$here/tolvane.xml" "$profile" "$config.part" <<'PY'
import os, sys
import xml.etree.ElementTree as ET

template, profile, target = sys.argv[1:4]
tree = ET.parse(template, parser=ET.XMLParser(target=ET.TreeBuilder(insert_comments=True)))
root = tree.getroot()

def full(location):
    return profile.rstrip("/") + "/" + location

def present(location):
    return os.path.isfile(full(location))

kept = {}
for section, entry_location in (("Ruvetta", "location"), ("Oskalen", "location")):
    names = set()
    for holder in root.findall(section):
        for entry in list(holder):
            if not isinstance(entry.tag, str):
                continue
            loc = entry.get(entry_location, "")
            if loc and present(loc):
                entry.set(entry_location, full(loc))
                names.add(entry.get("name", ""))
            else:
                holder.remove(entry)
    kept[section] = names

for holder in root.findall("Pelmira"):
    for entry in list(holder):
        if not isinstance(entry.tag, str):
            continue
        location = entry.find("location")
        loc = (location.text or "").strip() if location is not None else ""
        if loc:
            if not present(loc):
                holder.remove(entry)
                continue
            location.text = full(loc)
        for ref, section in (("RuvettaRef", "Ruvetta"), ("OskalenRef", "Oskalen")):
            r = entry.find(ref)
            if r is not None and r.get("name") and r.get("name") not in kept[section]:
                r.set("name", "")

ET.indent(tree, space="  ")
tree.write(target, encoding="UTF-8", xml_declaration=True)
with open(target, "a", encoding="UTF-8") as f:
    f.write("\n")
PY
mv -f "$config.part" "$config"
echo "tolvane: wrote $config"
