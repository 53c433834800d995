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
# fuzz/ the core of every folder, tools/ and testkit/ (what the tests,
# benchmarks and fuzzers share), each by its path from the top. Everywhere:
# - our own headers are included with quotes, never angle brackets, and
#   by their path: a name without a folder is a file of the same folder,
#   and no path climbs with "..";
# - a core file (not *.win.*, not in ui/) includes no Windows-only header:
#   no *.win.h (also from its own folder), nothing of ui/, and no system
#   header of Windows (<windows.h> and its kin);
# - a core file includes no POSIX-only header, but for the POSIX half of
#   a seam (*_posix.cpp, beside its *.win.cpp);
# - the portable folders (swf, layout, package) hold no *.win.* file.
# Between the trees that are not the product: tests/, bench/ and fuzz/
# share code only through testkit/; none of them, nor testkit/, reaches
# into another's folder (by an include or through CMake).
#
# DC_LAYERS_ROOT names another tree to check (the script's own test).
set -euo pipefail
root=${DC_LAYERS_ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

trees=$(for d in src tools fuzz testkit bench tests; do [ -d "$d" ] && echo "$d"; done)
files=$(find $trees -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' -o -name '*.h.in' -o -name CMakeLists.txt \) | sort)

# One awk reads every include line (and every CMakeLists line naming a
# folder of the project): the check is a single pass, not a process a file.
{
  printf '%s\n' "$files" | sed 's/^/F\t/'
  printf '%s\n' "$files" | grep -v 'CMakeLists.txt$' | xargs grep -HE '^[[:space:]]*#[[:space:]]*include' |
    sed 's/^/I\t/' || true
  printf '%s\n' "$files" | grep 'CMakeLists.txt$' | xargs grep -HE 'PROJECT_SOURCE_DIR\}/(tests|bench|fuzz|tools|testkit)' |
    sed 's/^/C\t/' || true
} | awk -F'\t' '
BEGIN {
  split("base package alarms led notify ui app layout swf", a, " "); for (i in a) ours[a[i]] = 1
  split("windows winuser wingdi winbase winreg winnls windef shlobj shellapi shlwapi commctrl commdlg mmsystem " \
        "ole2 oleauto olectl objbase objidl unknwn ocidl exdisp knownfolders uxtheme dwmapi windowsx winerror " \
        "tlhelp32 psapi process io direct", a, " "); for (i in a) windows[a[i]] = 1
  split("unistd fcntl dlfcn pthread spawn termios poll dirent pwd grp sys/stat sys/types sys/wait sys/mman " \
        "sys/socket sys/time sys/resource sys/ioctl sys/select sys/uio", a, " "); for (i in a) posix[a[i]] = 1
  split("swf layout package", a, " "); for (i in a) portable[a[i]] = 1
  split("actions.h swf_types.h drawing.h bitmap.h filters.h", a, " ")
  for (i in a) engineSees["swf/model/" a[i]] = 1
  allowed["src/base"] = "base"
  allowed["src/package"] = "base package"
  allowed["src/swf"] = "base swf"
  allowed["src/swf/model"] = "base swf swf/model"
  allowed["src/swf/format"] = "base swf swf/model swf/format"
  allowed["src/swf/raster"] = "base swf swf/model swf/raster"
  allowed["src/swf/text"] = "base swf swf/model swf/text"
  allowed["src/swf/avm1"] = "base swf swf/model swf/avm1"
  allowed["src/swf/display"] = "base swf swf/model swf/raster swf/text swf/avm1 swf/display"
  allowed["src/swf/player"] = "base swf swf/*"
  allowed["src/layout"] = "base package layout"
  allowed["src/ui"] = "base ui"
  allowed["src/app"] = "base package alarms led notify ui app layout swf"
  allowed["tools"] = "base package alarms led notify layout swf"
  allowed["fuzz"] = "base package alarms led notify app layout swf tools testkit"
  bad = 0; checked = 0
}
function report(msg) { print msg; bad = 1 }
function areaOf(file,   p) {
  n = split(file, p, "/")
  if (p[1] == "src" && p[2] == "swf" && n > 3) return "src/swf/" p[3]
  if (p[1] == "src") return "src/" p[2]
  return p[1]
}
function folderOf(file) { sub(/\/[^\/]*$/, "", file); return file }
function isShell(file) { return file ~ /\.win\./ || file ~ /\.rc$/ || file ~ /^src\/ui\// }
function allowedFor(area, shell,   s) {
  if (area == "src/alarms" || area == "src/led" || area == "src/notify") {
    s = "base " substr(area, 5); return shell ? s " ui" : s
  }
  return (area in allowed) ? allowed[area] : ""
}
$1 == "F" {
  exists[$2] = 1
  split($2, p, "/")
  if (p[1] == "src" && (p[2] in portable) && $2 ~ /\.win\./)
    report("Windows file in a portable folder: " $2 " (src/" p[2] " is built for every system)")
  next
}
$1 == "C" {
  line = $2; file = line; sub(/:.*/, "", file); text = substr(line, length(file) + 2)
  own = file; sub(/\/.*/, "", own)
  while (match(text, /PROJECT_SOURCE_DIR\}\/[a-z]+/)) {
    to = substr(text, RSTART + 20, RLENGTH - 20); text = substr(text, RSTART + RLENGTH)
    if (to == own || to == "testkit" && own != "src" || own == "fuzz" && to == "tools") continue
    if (own == "tests" && to == "tools") continue
    report("reaches into another tree: " file " names " to "/ (tests, benchmarks and fuzzers share through testkit/)")
  }
  next
}
$1 == "I" {
  line = $2; file = line; sub(/:.*/, "", file); text = substr(line, length(file) + 2)
  checked++
  own = file; sub(/\/.*/, "", own)
  outside = (own == "tests" || own == "bench" || own == "testkit")
  area = areaOf(file); shell = isShell(file)
  if (match(text, /include[[:space:]]*<[^>]+>/)) {
    target = substr(text, RSTART, RLENGTH); sub(/^include[[:space:]]*</, "", target); sub(/>$/, "", target)
    first = target; sub(/\/.*/, "", first)
    if (outside) next
    if (target ~ /\// && (first in ours)) { report("angle brackets for our own header: " file " includes <" target ">"); next }
    if (shell) next
    name = tolower(target); sub(/\.h$/, "", name)
    base = name; sub(/.*\//, "", base)
    if (base in windows) report("core file includes a Windows system header: " file " includes <" target ">")
    else if ((name in posix) && file !~ /_posix\.[a-z]+$/)
      report("core file includes a POSIX-only header: " file " includes <" target "> (only a *_posix.cpp may)")
    next
  }
  if (!match(text, /include[[:space:]]*"[^"]+"/)) next
  target = substr(text, RSTART, RLENGTH); sub(/^include[[:space:]]*"/, "", target); sub(/"$/, "", target)
  if (target ~ /(^|\/)\.\.?\//) { report("include with a relative path: " file " includes \"" target "\" (name it from the top)"); next }
  if (outside) {
    first = target; sub(/\/.*/, "", first)
    if ((first == "tests" || first == "bench" || first == "fuzz") && first != own)
      report("reaches into another tree: " file " includes \"" target "\" (tests, benchmarks and fuzzers share through testkit/)")
    next
  }
  if (!shell && target ~ /\.win\.h$/) { report("core file includes the shell: " file " includes \"" target "\""); next }
  if (target !~ /\//) {
    if (!((folderOf(file) "/" target) in exists) && !((folderOf(file) "/" target ".in") in exists))
      report("not in its own folder: " file " includes \"" target "\" (a name without a folder is a file beside it)")
    next
  }
  to = target; sub(/\/.*/, "", to)
  ok = " " allowedFor(area, shell) " "
  # Inside the player a target stage is its folder; swf/limits.h is the
  # player own. Outside it, "swf" names every stage.
  if (to == "swf" && index(ok, " swf/") > 0) {
    rest = substr(target, 5)
    if (rest ~ /\//) { sub(/\/.*/, "", rest); to = "swf/" rest }
  }
  if (area == "src/swf/avm1" && to == "swf/model" && !(target in engineSees))
    report("include against the layers: " file " includes \"" target "\" (the engine sees of the movie only its actions, values, drawings, bitmap pixels and filter descriptions)")
  else if (index(ok, " " to " ") == 0 && !(to ~ /^swf\// && index(ok, " swf/* ") > 0))
    report("include against the layers: " file " includes \"" target "\" (may include:" ok ")")
  else if (!shell && to == "ui")
    report("core file includes the shell: " file " includes \"" target "\"")
}
END {
  if (bad) { print "check-layers: includes run against the layers (see above)"; exit 1 }
  print "check-layers: " checked " includes, all run downward"
}'
