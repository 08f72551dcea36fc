#!/usr/bin/env bash
# install_test.sh SETUP.EXE: the installer in a fresh wine prefix, as a user
# meets it. Two rounds, each a silent install, its files and keys checked, and a
# silent uninstall that must leave nothing behind:
# - for this user, over a .dcm that another program already opens: velk joins
#   "Open with" without taking the default, and gives it back untouched;
# - for the machine (wine's user is an administrator), over a .dcm nobody opens:
#   velk becomes its default, and a .dcm started through the shell opens in velk.
#   (Wine's shell reads file types from the machine's classes only, so the
#   opening is tried in this round.)
# Needs an X display.
set -euo pipefail
setup=$(realpath "$1")
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

fail() { echo "install_test: $*" >&2; exit 1; }
key_exists() { wine reg query "$1" >/dev/null 2>&1; }
default_of() { wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'; }
# wait_for SECONDS COMMAND...: polls until COMMAND succeeds.
wait_for() {
  local until=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $until ] || return 1; sleep 0.5; done
}
gone() { ! key_exists "$1"; }

user=$(id -un)   # wine names the Windows user after the Unix one
wineboot -i >/dev/null 2>&1
wineserver -w
drive=$WINEPREFIX/drive_c

# use_scope user|machine: where the round's files and keys go.
use_scope() {
  if [ "$1" = user ]; then
    root_key=HKCU app_dir=$drive/users/$user/AppData/Local/Programs/velk
    app_win='C:\users\'"$user"'\AppData\Local\Programs\velk'
    shortcut="$drive/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/velk.lnk"
  else
    root_key=HKLM app_dir="$drive/Program Files/velk" app_win='C:\Program Files\velk'
    shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/velk.lnk"
  fi
  classes="$root_key\Software\Classes"
  uninstall_key="$root_key\Software\Microsoft\Windows\CurrentVersion\Uninstall\velk"
}

install() {
  wine "$setup" /S "$@"
  for f in velk.exe velkdump.exe mailrun.exe uninstall.exe; do
    [ -f "$app_dir/$f" ] || fail "$f not installed in $app_dir"
  done
  [ -f "$shortcut" ] || fail "no Start menu shortcut at $shortcut"
  local command
  command=$(default_of "$classes\velk.dcm\shell\open\command")
  [ "$command" = "\"$app_win\\velk.exe\" \"%1\"" ] || fail "the open command is '$command'"
  [ "$(default_of "$classes\velk.dcm\DefaultIcon")" = "\"$app_win\\velk.exe\",-129" ] ||
    fail "the document icon is $(default_of "$classes\velk.dcm\DefaultIcon")"
  wine reg query "$classes\.dcm\OpenWithProgids" /v velk.dcm >/dev/null 2>&1 || fail "not offered in Open with"
  key_exists "$classes\Applications\velk.exe\shell\open\command" || fail "no application entry"
  key_exists "$uninstall_key" || fail "no uninstall entry"
}

# Everything the installer and velk added is gone.
uninstall() {
  wine "$app_dir/uninstall.exe" /S
  # The uninstaller copies itself away and returns at once.
  wait_for 20 test ! -e "$app_dir" || fail "$app_dir left behind"
  wait_for 10 gone "$uninstall_key" || fail "uninstall entry left behind"
  [ ! -e "$shortcut" ] || fail "shortcut left behind"
  for key in velk.dcm 'Applications\velk.exe' '.dcm\OpenWithProgids'; do
    gone "$classes\$key" || fail "$key left behind"
  done
  gone 'HKCU\Software\velk' || fail "velk's settings left behind"
}

use_scope user
wine reg add "$classes\.dcm" /ve /d other.dcm /f >/dev/null
install /CURRENTUSER
[ "$(default_of "$classes\.dcm")" = other.dcm ] || fail "the installer took .dcm from its program"
uninstall
[ "$(default_of "$classes\.dcm")" = other.dcm ] || fail "the uninstaller took .dcm from its program"
wine reg delete "$classes\.dcm" /f >/dev/null

use_scope machine
install
[ "$(default_of "$classes\.dcm")" = velk.dcm ] || fail ".dcm is not opened by velk"
cp /usr/lib/python3/dist-packages/pydicom/data/test_files/CT_small.dcm "$drive/users/$user/sample.dcm"
wine start "C:\\users\\$user\\sample.dcm"
shows() { xwininfo -root -tree | grep -q "DICOM Lattice$1"; }
wait_for 20 shows ' - \[sample.dcm\]' || fail "velk did not show sample.dcm"
# Closed as a user closes it, so that velk writes what it remembers.
wine taskkill /IM velk.exe >/dev/null 2>&1
wait_for 20 bash -c "! xwininfo -root -tree | grep -q 'DICOM Lattice'" || fail "velk did not close"
uninstall
gone "$classes\.dcm" || fail ".dcm left behind"
echo "install_test: passed"
