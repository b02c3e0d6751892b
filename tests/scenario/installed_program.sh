# Installed under a prefix, the program carries a valid desktop entry, its
# icon and its AppStream metadata; started from there with a bin folder it
# may not write, it shows the installed default picture and keeps its state
# in the user's data folder, never beside itself.
source "$(dirname "$0")/lib.sh"
build=$(cd "$(dirname "$QUILLET")/.." && pwd)
root="$WORK/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$WORK/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -n 5 "$WORK/install.log")"

for file in usr/bin/quillet usr/bin/quillet-picture usr/share/quillet/pic/1.jpg \
  usr/share/applications/quillet.desktop usr/share/icons/hicolor/scalable/apps/quillet.svg \
  usr/share/metainfo/io.quillet.Quillet.metainfo.xml; do
  [[ -f "$root/$file" ]] || fail "$file is not installed"
done
desktop-file-validate "$root/usr/share/applications/quillet.desktop" ||
  fail "the desktop entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.quillet.Quillet.metainfo.xml" \
  >"$WORK/appstream.log" 2>&1 || fail "the metadata does not validate: $(cat "$WORK/appstream.log")"

start_desktop
chmod a-w "$root/usr/bin"
export XDG_DATA_HOME="$WORK/data"
PROGRAM_RUNS=$((PROGRAM_RUNS + 1))
(unset QUILLET_PROGRAM_FOLDER && exec "$root/usr/bin/quillet") </dev/null \
  >"$WORK/program-$PROGRAM_RUNS.log" 2>&1 &
PROGRAM_PID=$!
id=$(wait_window "^Quillet －" 20)
read -r pw ph < <(picture_size "$root/usr/share/quillet/pic/1.jpg")
[[ $(window_title "$id") == "$(main_title "$pw" "$ph")" ]] ||
  fail "the installed default picture is not shown: '$(window_title "$id")'"
press "$id" x
wait_program_exit 10
record="$XDG_DATA_HOME/quillet/上次文件.txt"
[[ -f $record ]] || fail "no state in the user's data folder: $(ls -R "$WORK/data" 2>&1)"
[[ $(iconv -f GB18030 -t UTF-8 "$record") == "$root/usr/share/quillet/pic/1.jpg" ]] ||
  fail "the record holds '$(iconv -f GB18030 -t UTF-8 "$record")'"
[[ $(ls "$root/usr/bin" | sort | tr '\n' ' ') == "quillet quillet-picture " ]] ||
  fail "something was written beside the installed program: $(ls "$root/usr/bin")"
chmod u+w "$root/usr/bin"
pass
