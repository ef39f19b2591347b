#!/bin/sh
# Runs the program as a user would from a shell: "zu /pt FILE OUT.pdf"
# prints FILE to a PDF file and ends with success, touching no settings.
set -eu
zu="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export ZU_CONFIG_DIR="$work/config"

# Japanese text in Shift_JIS: "<p>日本語</p>" and a line break.
printf '<p>\223\372\226\173\214\352</p>\r\n' > "$work/page.htm"
"$zu" /pt "$work/page.htm" "$work/page.pdf"
head -c 4 "$work/page.pdf" | grep -q '%PDF' || { echo "no PDF written"; exit 1; }
[ ! -e "$work/config/zu.set" ] || { echo "printing from the command line wrote zu.set"; exit 1; }
echo "ok"
