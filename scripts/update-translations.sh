#!/usr/bin/env bash
# Brings the .ts files in translations/ up to date with the texts of the
# window, its dialogs and the update notices' frames, and those in
# packaging/desktop/ts/ with the menu entry's and metainfo's texts. New texts
# arrive unfinished; translate them (Qt Linguist or any editor) and commit
# the .ts.
set -euo pipefail
cd "$(dirname "$0")/.."
dirs=()
for d in ui meter update; do
    [ -d "$d" ] && dirs+=("$d")
done
lupdate -locations none -no-obsolete "${dirs[@]}" -ts translations/strata-panel_*.ts
lupdate -locations none -no-obsolete packaging/desktop/texts.h -ts packaging/desktop/ts/strata-panel-desktop_*.ts
