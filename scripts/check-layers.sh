#!/usr/bin/env bash
# Fails when an include under src/ runs upward. The allowed directions:
#
#   base     -> base
#   package  -> base
#   alarms   -> base                 (its *.win.* files also -> ui)
#   led      -> base                 (its *.win.* files also -> ui)
#   notify   -> base                 (its *.win.* files also -> ui)
#   swf      -> base                 (the SWF player, portable)
#   ui       -> base
#   app      -> base package alarms led notify swf ui
#
# and a core file (not *.win.*, not in ui/) includes no Windows-only header (*.win.h)
# and nothing of ui/.
set -euo pipefail
cd "$(dirname "$0")/../src"

allowed() {  # folder, shell (0/1) -> the folders it may include
  case $1 in
    base) echo "base" ;;
    package) echo "base package" ;;
    alarms | led | notify) if [ "$2" = 1 ]; then echo "base $1 ui"; else echo "base $1"; fi ;;
    swf) echo "base swf" ;;
    ui) echo "base ui" ;;
    app) echo "base package alarms led notify swf ui app" ;;
    *) echo "" ;;
  esac
}

bad=0
checked=0
while IFS= read -r file; do
  folder=${file%%/*}
  shell=0
  case $file in *.win.* | ui/*) shell=1 ;; esac  # ui is the shell's toolkit
  ok=" $(allowed "$folder" "$shell") "
  while IFS= read -r line; do
    target=$(printf '%s' "$line" | sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/')
    case $target in */*) ;; *) continue ;; esac  # a file of the same folder
    checked=$((checked + 1))
    to=${target%%/*}
    if [[ $ok != *" $to "* ]]; then
      echo "upward include: src/$file includes \"$target\" ($folder may include:$ok)"
      bad=1
    elif [ "$shell" = 0 ] && [[ $target == *.win.h || $to == ui ]]; then
      echo "core file includes the shell: src/$file includes \"$target\""
      bad=1
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' -o -name '*.h.in' \) | sed 's#^\./##' | sort)

if [ "$bad" != 0 ]; then
  echo "check-layers: includes run upward (see above)"
  exit 1
fi
echo "check-layers: $checked includes, all run downward"
