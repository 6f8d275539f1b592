#!/bin/sh
# run.sh WORK BIN COMMAND...: runs COMMAND, an editor in batch mode, in the scratch folder WORK,
# which holds a copy of the programs of this folder, with the vrelc (and vrel-lsp) of the build
# folder BIN first on PATH and WORK as HOME, so that no setting of the user's is read. COMMAND is
# stopped after EDITOR_SECONDS seconds (40 by default).
set -e
work=$1 bin=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work/bin"
for program in vrelc vrel-lsp; do
  [ ! -x "$bin/$program" ] || ln -s "$bin/$program" "$work/bin/$program"
done
cp "$here"/*.vrel "$work/"
cd "$work"
PATH="$work/bin:$PATH" HOME="$work" XDG_CONFIG_HOME="$work/.config" \
  XDG_DATA_HOME="$work/.local/share" XDG_STATE_HOME="$work/.local/state" \
  exec timeout -k 5 "${EDITOR_SECONDS:-40}" "$@"
