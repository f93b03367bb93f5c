#!/usr/bin/env bash
# zel-trx as a translator runs it: exact reports, exit statuses, messages for
# bad input. Usage: commandLine.sh TOOL SAMPLE_DIR CASE
set -u
tool=$1 samples=$2 case=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$samples"/*.trx "$work"/
cd "$work" || exit 1
failures=0

# fail TEXT: reports a failed check and counts it.
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# run STATUS ARGS...: runs the tool, keeps stdout and stderr, checks the status.
run() {
  local expected=$1; shift
  "$tool" "$@" >out.txt 2>err.txt
  local status=$?
  if [ "$status" != "$expected" ]; then
    fail "zel-trx $* exited with $status, not $expected"; cat out.txt err.txt
  fi
}
# same FILE: FILE holds exactly the text on standard input.
same() {
  diff -u - "$1" || fail "unexpected $1"
}
# has FILE TEXT: FILE holds TEXT.
has() {
  grep -qF -- "$2" "$1" || { fail "$1 lacks: $2"; cat "$1"; }
}

case $case in
check.complete)
  run 0 check complete.trx
  same out.txt <<'EOF'
complete.trx: 4 source texts; languages: de_CH, fr
de_CH: 4 of 4 source texts translated, 0 missing
fr: 4 of 4 source texts translated, 0 missing
EOF
  ;;
check.problems)
  run 0 check problems.trx --lang de_CH --lang fr
  same out.txt <<'EOF'
problems.trx: 5 source texts; languages: de_CH, de, fr
de_CH: 4 of 5 source texts translated, 1 missing; 2 shadowed, 1 ignored line, 1 short line, 1 unclosed line
  problems.trx:2: translation before the first source line: it translates the empty text
  problems.trx:5: shadowed by the fallback line 4 ("de"): the translation of "Open file" stays "Datei & Ordner"
  problems.trx:7: missing: "Save"
  problems.trx:11: shadowed by line 10: the translation of "Close" stays "Schliessen"
  problems.trx:12: ignored by the reader: "<translation lang=fr>Fermer<\\translation>"
  problems.trx:15: shorter than its closing tag: the text is everything after the opening tag
  problems.trx:19: does not end with its closing tag: the reader drops its last 14 characters instead and reads "Programm"
fr: 4 of 5 source texts translated, 1 missing; 1 shadowed, 1 ignored line, 1 short line, 1 empty translation
  problems.trx:9: missing: "Close"
  problems.trx:12: ignored by the reader: "<translation lang=fr>Fermer<\\translation>"
  problems.trx:14: shadowed by line 6: the translation of "Open file" stays "Ouvrir"
  problems.trx:15: shorter than its closing tag: the text is everything after the opening tag
  problems.trx:20: empty translation of "Quit"
EOF
  ;;
check.tokens)
  run 0 check tokens.trx
  same out.txt <<'EOF'
tokens.trx: 4 source texts; languages: de_CH
de_CH: 4 of 4 source texts translated, 0 missing; 2 token mismatches
  tokens.trx:2: token mismatch: %2 of the source text missing from the translation
  tokens.trx:4: token mismatch: %2 in the translation but not in the source text
EOF
  # The same two would fail msgfmt -c: to-po hands them over as fuzzy.
  run 0 to-po tokens.trx --lang de_CH -o tokens.po
  has err.txt "tokens.trx:2: warning: marked fuzzy: a format"
  has err.txt "for argument 2 doesn't exist in 'msgstr'"
  [ "$(grep -c '^#, fuzzy, qt-format' tokens.po)" = 2 ] || fail "two fuzzy messages expected"
  ;;
check.require)
  run 0 check complete.trx --require de_CH --require fr
  run 1 check problems.trx --lang fr --require de_CH
  has err.txt "zel-trx: problems.trx: the required language de_CH misses 1 translation"
  has out.txt "fr: 4 of 5 source texts translated, 1 missing"
  has out.txt "de_CH: 4 of 5 source texts translated, 1 missing"
  # A language the file does not hold yet misses everything.
  run 1 check complete.trx --require it
  has out.txt "it: 0 of 4 source texts translated, 4 missing"
  ;;
fromPo.merge)
  printf '%s\n' '<source>Save<\source>' '  <translation lang="fr">Enregistrer<\translation>' >> complete.trx
  cp complete.trx before.trx
  cat > de.po <<'EOF'
msgid ""
msgstr ""
"Language: de_CH\n"
"Content-Type: text/plain; charset=UTF-8\n"

msgid "Save"
msgstr "Speichern & schliessen"

msgid "Open file"
msgstr "Datei öffnen"

#, fuzzy
msgid "Copy %1 to %2"
msgstr "Kopieren"

msgid "Files & folders"
msgstr ""

msgid "Not in the dictionary"
msgstr "Nicht im Wörterbuch"
EOF
  run 1 from-po complete.trx de.po
  has out.txt "complete.trx: de_CH: 1 added, 0 replaced, 1 unchanged, 1 fuzzy not merged, 1 untranslated, 1 not mergeable"
  has err.txt "de.po: warning: \"Not in the dictionary\" not merged: it is not a source text of complete.trx"
  # One line more, after the last line of its block; fuzzy and empty messages change nothing.
  { cat before.trx; echo '  <translation lang="de_CH">Speichern &amp; schliessen<\translation>'; } | same complete.trx
  ;;
badInput.malformedPo)
  printf 'msgid ""\nmsgstr ""\n"Language: de_CH\\n"\n\nmsgid "Open file"\nmsgstr "Datei"\nmsgstr "x"\n' > broken.po
  cp complete.trx before.trx
  run 2 from-po complete.trx broken.po
  has err.txt "zel-trx: broken.po:7: syntax error"
  cmp -s complete.trx before.trx || fail "complete.trx changed"
  ls complete.trx.* >/dev/null 2>&1 && fail "temporary file left"
  printf 'msgid ""\nmsgstr ""\n"Content-Type: text/plain; charset=UTF-8\\n"\n' > nolanguage.po
  run 2 from-po complete.trx nolanguage.po
  has err.txt "zel-trx: nolanguage.po: the header names no language"
  ;;
badInput.unknownLanguage)
  run 2 to-po complete.trx --lang 'de CH'
  has err.txt "zel-trx: complete.trx: unknown language \"de CH\": it occurs in no translation tag of complete.trx"
  run 2 check complete.trx --lang x
  has err.txt "unknown language \"x\""
  printf 'msgid ""\nmsgstr ""\n"Language: German\\n"\n' > german.po
  run 2 from-po complete.trx german.po
  has err.txt "zel-trx: german.po: unknown language \"German\""
  ;;
badInput.unreadable)
  run 2 check missing.trx
  has err.txt "zel-trx: missing.trx: cannot read the file: No such file or directory"
  run 2 from-po complete.trx missing.po
  has err.txt "zel-trx: missing.po: cannot read the file"
  run 2 to-po complete.trx --lang fr -o no/such/dir/fr.po
  has err.txt "zel-trx: no/such/dir/fr.po: cannot create a temporary file beside it"
  run 2 frobnicate complete.trx
  has err.txt "usage:"
  ;;
*)
  echo "unknown case $case"; exit 2 ;;
esac

[ "$failures" = 0 ] || exit 1
