#!/bin/bash
# Retakes the screenshots in docs/: builds gradewick.exe, runs it under Wine on a private
# virtual display with Wine's own fonts, drives it from outside with xdotool as a student
# would (keys and clicks only) and crops each picture to the window it shows. Everything it
# starts is stopped when it ends.
set -euo pipefail
cd "$(dirname "$0")/.."

WINE=/usr/lib/wine/wine64
WINDOW_WAIT_TENTHS=150 # how long a window may take to appear: 15 s
SETTLE_SECONDS=1       # time for a window to paint before it is taken
OPENING_SECONDS=6      # the results view's opening animation, with room to spare
INSTALL_SECONDS=10     # the installer's work, before its last page shows
# Points from a window's top left corner (caption included): in the results view the tab
# digits 1..8, the subject rows 1..7 and the "..." beside "Add Subject"; in the file selection
# its two choices; in a subject's menu its "Grade"; in the results view a place outside the rows.
TAB_X=(0 117 143 172 200 228 257 284 311)
TAB_Y=44
ROW_X=60
ROW_Y=(0 101 120 140 159 179 198 218)
SELECTED_TAB_COLOUR='#5B1F9E' # the current tab's digit, which blinks
ADD_SUBJECT=(318 252)
NEW_FILE=(242 79)
EXISTING_FILE=(242 124)
MENU_GRADE=(50 54)
OUTSIDE_ROWS=(60 250)

bash scripts/install-deps.sh
cmake --preset windows
cmake --build --preset windows --target gradewick
program=$PWD/build/windows/shell/gradewick.exe

# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
wine_pid=""
stop_everything() {
    [[ -z $wine_pid ]] || kill "$wine_pid" 2>/dev/null || true
    wine_env_stop
}
trap stop_everything EXIT
wine_env_start "$PWD/build/windows/screenshots-prefix"
export WINEARCH=win64
# No menu entries on this machine for the Start menu shortcuts that the installer makes.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

wine_prefix_prepare
# Every file dialog starts in C:\users\Public\Temp, the program's working folder: no folder
# remembered from an earlier run.
mru='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32\LastVisitedMRU'
"$WINE" reg delete "$mru" /f >/dev/null 2>&1 || true
temp=$WINEPREFIX/drive_c/users/Public/Temp
rm -rf "$temp"
mkdir -p "$temp"

# window NAME [SKIP]: waits for a visible window of the program (of windows_of) with that
# caption (empty for the splash and About) other than SKIP, and prints its id.
windows_of='^gradewick\.exe$'
window() {
    local id
    for _ in $(seq "$WINDOW_WAIT_TENTHS"); do
        for id in $(xdotool search --onlyvisible --classname "$windows_of" 2>/dev/null); do
            if [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$1" && $id != "${2:-}" ]]; then
                echo "$id"
                return
            fi
        done
        sleep 0.1
    done
    echo "screenshots.sh: no window \"$1\" appeared" >&2
    exit 1
}

# box ID: the window's place on the screen, as "LEFT TOP WIDTH HEIGHT".
box() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
        /Width/ {w = $2} /Height/ {h = $2} END {print x, y, w, h}'
}

# shoot FILE ID [ID...]: docs/FILE, cropped to the smallest rectangle around the windows.
shoot() {
    local file=$1
    shift
    sleep "$SETTLE_SECONDS"
    import -window root -crop "$(for id in "$@"; do box "$id"; done | awk '
        NR == 1 {l = $1; t = $2; r = $1 + $3; b = $2 + $4}
        {l = $1 < l ? $1 : l; t = $2 < t ? $2 : t; r = $1 + $3 > r ? $1 + $3 : r
         b = $2 + $4 > b ? $2 + $4 : b}
        END {printf "%dx%d+%d+%d", r - l, b - t, l, t}')" +repage "docs/$file"
    echo "docs/$file"
}

# shoot_view FILE TAB SCALE ID [ID...]: shoot, again until the current tab TAB shows its digit
# and not the other half of its blink; SCALE (per cent) for a view at another display scale.
# The view, ID, comes first; the windows after it (its menus, a box) lie within it.
shoot_view() {
    local file=$1 tab=$2 scale=$3
    shift 3
    for _ in $(seq 20); do
        shoot "$file" "$@" >/dev/null
        convert "docs/$file" -crop "$((20 * scale / 100))x$((26 * scale / 100))+$(((TAB_X[tab] - 10) * scale / 100))+$(((TAB_Y - 13) * scale / 100))" -fill white \
            -opaque "$SELECTED_TAB_COLOUR" -fill black +opaque white -format '%[fx:mean]' info: |
            awk '{exit !($1 > 0.1)}' && break
    done
    echo "docs/$file"
}

# click ID X Y: a left click at (X, Y) of the window; point ID X Y only moves the pointer there,
# right_click ID X Y clicks the right button.
point() { local x y && read -r x y _ < <(box "$1") && xdotool mousemove $((x + $2)) $((y + $3)); }
click() { point "$@" && xdotool click 1; }
right_click() { point "$@" && xdotool click 3; }

# menus N: waits until the program shows N shortcut menus (its windows without a caption, as a
# tooltip is too) and prints their ids.
menus() {
    local id shown
    for _ in $(seq "$WINDOW_WAIT_TENTHS"); do
        shown=()
        for id in $(xdotool search --onlyvisible --classname "$windows_of" 2>/dev/null); do
            if [[ -z $(xdotool getwindowname "$id" 2>/dev/null) ]]; then
                shown+=("$id")
            fi
        done
        if ((${#shown[@]} == $1)); then
            printf '%s\n' "${shown[@]}"
            return
        fi
        sleep 0.1
    done
    echo "screenshots.sh: no $1 menus appeared" >&2
    exit 1
}

# choose N: the next field, a list, at its item N (0 is the first).
choose() {
    xdotool key Tab Home
    for ((item = 0; item < $1; item++)); do
        xdotool key Down
    done
}

# subject NAME CREDITS GRADE_INDEX: fills the subject entry screen and presses Insert.
subject() {
    xdotool type --delay 20 "$1"
    choose "$(($2 - 1))"
    choose "$3"
    xdotool key alt+i
    sleep 0.3
}

# after KEY NAME [SKIP]: presses KEY, then waits for that window as window does.
after() { xdotool key "$1" && window "${@:2}"; }
start_program() { (cd "$temp" && exec "$WINE" "$program") >/dev/null 2>&1 & wine_pid=$!; }

# Save As in an empty folder; Open and then Save As where an earlier file is; Save As asks
# before replacing it. Then two semesters of subjects, the results view and About.
start_program
shoot splash.png "$(window '')"
selection=$(window Gradewick)
shoot file-selection.png "$selection"
save_as=$(after Return 'Select a file')
xdotool type --delay 20 my-results
shoot save-as.png "$save_as"
xdotool key Escape
printf 'Semester 1\r\nLast year\r\n3\r\n2\r\n' >"$temp/my-results.rst"
click "$selection" "${EXISTING_FILE[@]}"
open=$(after Return 'Select a file' "$save_as")
xdotool type --delay 20 my-results.rst
shoot open.png "$open"
xdotool key Escape
click "$selection" "${NEW_FILE[@]}"
save_as=$(after Return 'Select a file' "$open")
xdotool type --delay 20 my-results.rst
question=$(after Return 'Select a file' "$save_as")
shoot save-as-replace.png "$selection" "$save_as" "$question"
entry=$(after alt+y Gradewick "$selection")
subject 'Calculus I' 4 0
subject Programming 3 0
subject English 2 1
subject 'Physics I' 3 2
choose 2
choose 0
xdotool key shift+Tab shift+Tab
xdotool type --delay 20 'Linear Algebra'
shoot subject-entry.png "$entry"
xdotool key Return                      # Insert is the default button while a subject is typed
view=$(after Return Gradewick "$entry") # and "..." beside "View CGPA" once the field is empty
shoot results-opening.png "$view"
sleep "$OPENING_SECONDS"
click "$view" "${TAB_X[2]}" "$TAB_Y"
click "$view" "${ADD_SUBJECT[@]}"
entry=$(window Gradewick "$view")
subject 'Calculus II' 4 4
subject Chemistry 3 6
subject Statistics 3 5
subject Ethics 2 3
view=$(after Return Gradewick "$entry")
sleep "$OPENING_SECONDS"
shoot_view results-bad.png 2 100 "$view"
click "$view" "${TAB_X[3]}" "$TAB_Y"
shoot_view results-normal.png 3 100 "$view"
# A freshly opened view on Semester 1, as a student sees it first.
click "$view" "${TAB_X[1]}" "$TAB_Y"
click "$view" "${ADD_SUBJECT[@]}"
entry=$(window Gradewick "$view")
view=$(after Return Gradewick "$entry")
sleep "$OPENING_SECONDS"
shoot_view results-good.png 1 100 "$view"
point "$view" "${TAB_X[5]}" "$TAB_Y"
shoot_view results-hover.png 1 100 "$view"
point "$view" 0 0
shoot about.png "$(after alt+a '')"
xdotool key Return alt+e
wait "$wine_pid" || true

# The file selection screen and the results view at 150 and 200 % display scale, on the file
# made above; Wine's own dialog font stops growing at 150 %, its label fonts do not.
logpixels() {
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    "$WINE" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}
for scale in 150 200; do
    logpixels $((96 * scale / 100))
    start_program
    selection=$(window Gradewick)
    shoot "file-selection-$scale.png" "$selection"
    xdotool key Down # Existing file
    after Return 'Select a file' >/dev/null
    xdotool type --delay 20 my-results.rst
    view=$(after Return Gradewick "$selection")
    sleep "$OPENING_SECONDS"
    shoot_view "results-good-$scale.png" 1 150 "$view" # 150 % dialog units at both
    xdotool key alt+e
    wait "$wine_pid" || true
done
logpixels 96

# A third semester of ten subjects, scrolled to its end with the mouse wheel; a name too long
# for its cell, and its tooltip; the menu of the first subject shown, its grades open; Remove on
# the last, which asks first (No keeps it); Rename on another; the view's own menu outside the
# rows (planning and export), and its "Plan a target CGPA" for the semester after.
start_program
selection=$(window Gradewick)
xdotool key Down # Existing file
after Return 'Select a file' >/dev/null
xdotool type --delay 20 my-results.rst
view=$(after Return Gradewick "$selection")
sleep "$OPENING_SECONDS"
click "$view" "${TAB_X[3]}" "$TAB_Y"
click "$view" "${ADD_SUBJECT[@]}"
entry=$(window Gradewick "$view")
subject 'Data Structures' 4 2
subject Algorithms 4 1
subject Databases 3 3
subject 'Operating Systems' 4 4
subject 'Computer Networks' 3 2
subject 'Introduction to Theoretical Computer Science II' 3 0
subject 'Discrete Mathematics' 3 5
subject Probability 3 3
subject 'Technical Writing' 2 1
subject 'Web Development' 2 0
view=$(after Return Gradewick "$entry")
sleep "$OPENING_SECONDS"
point "$view" "$ROW_X" "${ROW_Y[4]}"
xdotool click --repeat 2 5 # two notches down: three rows each, the second stops at the end
point "$view" 0 0          # no tooltip over the rows
shoot_view results-scrolled.png 3 100 "$view"
point "$view" "$ROW_X" "${ROW_Y[3]}"
shoot_view results-long-name.png 3 100 "$view" "$(menus 1)" # the tooltip, a window like a menu
right_click "$view" "$ROW_X" "${ROW_Y[1]}"
menu=$(menus 1)
point "$menu" "${MENU_GRADE[@]}"
# shellcheck disable=SC2046 # one id a line
shoot_view results-menu.png 3 100 "$view" $(menus 2)
xdotool key Escape Escape
menus 0 >/dev/null
right_click "$view" "$ROW_X" "${ROW_Y[7]}"
menus 1 >/dev/null
question=$(after r Gradewick "$view")
shoot_view results-remove.png 3 100 "$view" "$question"
xdotool key alt+n
right_click "$view" "$ROW_X" "${ROW_Y[2]}"
menus 1 >/dev/null
rename=$(after n 'Rename subject')
shoot results-rename.png "$view" "$rename"
xdotool key Escape
right_click "$view" "${OUTSIDE_ROWS[@]}"
shoot_view results-view-menu.png 3 100 "$view" "$(menus 1)"
plan=$(after p 'Plan a target CGPA')
xdotool type --delay 20 3.35
shoot plan-target.png "$view" "$plan"
xdotool key Escape alt+e
wait "$wine_pid" || true

# A new file whose write is refused: its name is taken by a folder.
start_program
selection=$(window Gradewick)
after Return 'Select a file' >/dev/null
xdotool type --delay 20 marks-shot.rst
entry=$(after Return Gradewick "$selection")
mkdir "$temp/marks-shot.rst"
subject 'Linear Algebra' 3 4
shoot subject-entry-refused.png "$entry" "$(window WARNING)"
xdotool key Return alt+e
wait "$wine_pid" || true
wine_pid=""

# The installer's last page, when the packages have been built.
installers=(build/windows/Gradewick-*-win64.exe)
if [[ ! -f ${installers[0]} ]]; then
    echo "screenshots.sh: docs/installer-finish.png needs the packages built first" >&2
    exit 0
fi
"$WINE" "${installers[0]}" >/dev/null 2>&1 &
wine_pid=$!
windows_of=. # any program: the caption is enough
setup=$(window "$(basename "${installers[0]}" -win64.exe | tr - ' ') Setup ") # sic: a space
xdotool key Return # Install
sleep "$INSTALL_SECONDS"
shoot installer-finish.png "$setup"
xdotool key space Return # not "Start Gradewick now", then Finish
wait "$wine_pid" || true
wine_pid=""
