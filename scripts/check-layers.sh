#!/usr/bin/env bash
# Fails when an include runs against the layers. Under src/, the allowed
# directions:
#
#   base     -> base
#   package  -> base
#   alarms   -> base                 (its *.win.* files also -> ui)
#   led      -> base                 (its *.win.* files also -> ui)
#   notify   -> base                 (its *.win.* files also -> ui)
#   layout   -> base package         (the clock's geometry from its package)
#   swf      -> base                 (the SWF player, portable), and inside
#               it the pipeline, each stage on the ones before it:
#     swf/limits.h                   what a movie may cost (every stage)
#     swf/model   -> (none)          the immutable movie
#     swf/format  -> model           bytes to the movie
#     swf/raster  -> model           shapes to pixels
#     swf/text    -> model           fonts and fields to placed glyphs
#     swf/avm1    -> model           the script engine: only the model's
#                                    actions.h, swf_types.h, drawing.h,
#                                    bitmap.h (its bitmaps' pixels, which
#                                    the renderer reads) and filters.h (the
#                                    filter description clips carry)
#     swf/display -> model raster text avm1   timelines, display objects
#     swf/player  -> every stage     a frame in order, drawn
#   ui       -> base
#   app      -> base package alarms led notify layout swf ui
#
# tools/ may include the core of every folder but app (a tool is no
# player: it lays out and draws the clock through layout/ and swf/);
# fuzz/ the core of every folder. Everywhere:
# - our own headers are included with quotes, never angle brackets;
# - a core file (not *.win.*, not in ui/) includes no Windows-only header:
#   no *.win.h (also from its own folder), nothing of ui/, and no system
#   header of Windows (<windows.h> and its kin).
#
# DC_LAYERS_ROOT names another tree to check (the script's own test).
set -euo pipefail
root=${DC_LAYERS_ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

ours="base package alarms led notify ui app layout swf"
windowsHeaders="windows winuser wingdi winbase winreg winnls windef shlobj shellapi shlwapi commctrl commdlg mmsystem
  ole2 oleauto olectl objbase objidl unknwn ocidl exdisp knownfolders uxtheme dwmapi windowsx winerror tlhelp32 psapi
  process io direct"

windowsList=" $(echo $windowsHeaders) "

allowed() {  # area (src/<folder>, tools, fuzz), shell (0/1) -> the folders it may include
  case $1 in
    src/base) echo "base" ;;
    src/package) echo "base package" ;;
    src/alarms | src/led | src/notify) if [ "$2" = 1 ]; then echo "base ${1#src/} ui"; else echo "base ${1#src/}"; fi ;;
    src/swf) echo "base swf" ;;
    src/swf/model) echo "base swf swf/model" ;;
    src/swf/format | src/swf/raster | src/swf/text | src/swf/avm1) echo "base swf swf/model ${1#src/}" ;;
    src/swf/display) echo "base swf swf/model swf/raster swf/text swf/avm1 swf/display" ;;
    src/swf/player) echo "base swf swf/*" ;;
    src/layout) echo "base package layout" ;;
    src/ui) echo "base ui" ;;
    src/app) echo "base package alarms led notify ui app layout swf" ;;
    tools) echo "base package alarms led notify layout swf" ;;
    fuzz) echo "base package alarms led notify app layout swf" ;;
    *) echo "" ;;
  esac
}

bad=0
checked=0
report() {
  echo "$1"
  bad=1
}
while IFS= read -r file; do
  case $file in
    src/swf/*/*) area=src/swf/$(printf '%s' "${file#src/swf/}" | cut -d/ -f1) ;;
    src/*) area=src/$(printf '%s' "${file#src/}" | cut -d/ -f1) ;;
    tools/*) area=tools ;;
    fuzz/*) area=fuzz ;;
  esac
  shell=0
  case $file in *.win.* | *.rc | src/ui/*) shell=1 ;; esac  # ui is the shell's toolkit; resources are Windows'
  ok=" $(allowed "$area" "$shell") "
  while IFS= read -r line; do
    checked=$((checked + 1))
    if [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^>]+)\> ]]; then
      target=${BASH_REMATCH[1]}
      first=${target%%/*}
      if [[ $target == */* && " $ours " == *" $first "* ]]; then
        report "angle brackets for our own header: $file includes <$target>"
      elif [ "$shell" = 0 ]; then
        name=${target##*/}
        name=${name%.h}
        if [[ $windowsList == *" ${name,,} "* ]]; then
          report "core file includes a Windows system header: $file includes <$target>"
        fi
      fi
      continue
    fi
    [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]] || continue
    target=${BASH_REMATCH[1]}
    if [ "$shell" = 0 ] && [[ $target == *.win.h ]]; then
      report "core file includes the shell: $file includes \"$target\""
      continue
    fi
    case $target in */*) ;; *) continue ;; esac  # a file of the same folder
    to=${target%%/*}
    # Inside the player a target's stage is its folder; swf/limits.h is the
    # player's own. Outside it, "swf" names every stage.
    if [ "$to" = swf ] && [[ $ok == *" swf/"* ]]; then
      rest=${target#swf/}
      case $rest in */*) to=swf/${rest%%/*} ;; esac
    fi
    if [ "$area" = src/swf/avm1 ] && [ "$to" = swf/model ] &&
      [[ " swf/model/actions.h swf/model/swf_types.h swf/model/drawing.h swf/model/bitmap.h swf/model/filters.h " != *" $target "* ]]; then
      report "include against the layers: $file includes \"$target\" (the engine sees of the movie only its actions, values, drawings, bitmap pixels and filter descriptions)"
    elif [[ $ok != *" $to "* && ! ( $to == swf/* && $ok == *" swf/* "* ) ]]; then
      report "include against the layers: $file includes \"$target\" (may include:$ok)"
    elif [ "$shell" = 0 ] && [ "$to" = ui ]; then
      report "core file includes the shell: $file includes \"$target\""
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find src tools fuzz -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' -o -name '*.h.in' \) | sort)

if [ "$bad" != 0 ]; then
  echo "check-layers: includes run against the layers (see above)"
  exit 1
fi
echo "check-layers: $checked includes, all run downward"
