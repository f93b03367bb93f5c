#!/usr/bin/env bash
# zel-trx as a translator runs it: exact reports, exit statuses, messages for
# bad input. Usage: commandLine.sh TOOL SAMPLE_DIR CASE
set -u
tool=$1 samples=$2 case=$3
work=$(mktemp -d)
trap 'mountpoint -q "$work/disk" 2>/dev/null && umount "$work/disk"; rm -rf "$work"' EXIT
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
# only DIR NAME...: DIR holds exactly the files NAME... (no temporaries).
only() {
  local dir=$1; shift
  local expected actual
  expected=$(printf '%s\n' "$@" | sort)
  actual=$(ls -A "$dir" | sort)
  [ "$expected" = "$actual" ] || fail "$dir holds: $(echo $actual)"
}
# A PO file in de_CH that changes one text of complete.trx and adds one.
merge_po() {
  cat <<'EOF'
msgid ""
msgstr ""
"Language: de_CH\n"
"Content-Type: text/plain; charset=UTF-8\n"

msgid "Open file"
msgstr "Datei aufmachen"

msgid "Save"
msgstr "Speichern"
EOF
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
write.devFull)
  # Standard output that takes nothing: the report is lost, so is the status 0.
  "$tool" to-po complete.trx --lang de_CH >/dev/full 2>err.txt
  [ $? = 2 ] || fail "to-po >/dev/full did not exit with 2"
  has err.txt "zel-trx: standard output: cannot write: No space left on device"
  "$tool" check complete.trx >/dev/full 2>err.txt
  [ $? = 2 ] || fail "check >/dev/full did not exit with 2"
  has err.txt "zel-trx: standard output: cannot write: No space left on device"
  # The report of a merge goes out before the file is replaced: where it
  # cannot, the dictionary stays as it was; likewise the PO file of to-po.
  printf '%s\n' '<source>Save<\source>' >> complete.trx
  cp complete.trx before.trx
  merge_po > de.po
  cp de.po before.po
  "$tool" from-po complete.trx de.po >/dev/full 2>err.txt
  [ $? = 2 ] || fail "from-po >/dev/full did not exit with 2"
  has err.txt "zel-trx: standard output: cannot write: No space left on device"
  cmp -s complete.trx before.trx || fail "complete.trx changed"
  # A device named with -o is written to, not replaced.
  run 0 to-po complete.trx --lang fr -o /dev/null
  run 2 to-po complete.trx --lang fr -o /dev/full
  has err.txt "zel-trx: /dev/full: cannot write the file: No space left on device"
  "$tool" to-po complete.trx --lang fr -o de.po >/dev/full 2>err.txt
  [ $? = 2 ] || fail "to-po -o de.po >/dev/full did not exit with 2"
  cmp -s de.po before.po || fail "de.po changed"
  only . complete.trx problems.trx tokens.trx tricky.trx err.txt out.txt before.trx de.po before.po
  ;;
write.fullDisk)
  mkdir disk
  if ! mount -t tmpfs -o size=64k,mode=0755 tmpfs disk 2>/dev/null; then
    echo "SKIP: cannot mount a small tmpfs here (needs root or CAP_SYS_ADMIN in this namespace)"
    exit 77
  fi
  printf '%s\n' '<source>Save<\source>' '  <translation lang="fr">Enregistrer<\translation>' >> complete.trx
  cp complete.trx disk/complete.trx
  run 0 to-po complete.trx --lang de_CH -o disk/de.po
  cp disk/de.po before.po
  dd if=/dev/zero of=disk/filler bs=4096 >/dev/null 2>&1
  # to-po over an existing PO file on a full disk.
  run 2 to-po complete.trx --lang fr -o disk/de.po
  has err.txt "zel-trx: disk/de.po: cannot write the file: No space left on device"
  cmp -s disk/de.po before.po || fail "disk/de.po changed"
  # from-po into a dictionary on a full disk.
  merge_po > de.po
  run 2 from-po disk/complete.trx de.po
  has err.txt "zel-trx: disk/complete.trx: cannot write the file: No space left on device"
  cmp -s disk/complete.trx complete.trx || fail "disk/complete.trx changed"
  only disk complete.trx de.po filler
  ;;
write.symlink)
  printf '%s\n' '<source>Save<\source>' '  <translation lang="fr">Enregistrer<\translation>' >> complete.trx
  mkdir real
  mv complete.trx real/complete.trx
  ln -s real/complete.trx complete.trx
  merge_po > de.po
  run 0 from-po complete.trx de.po
  [ -L complete.trx ] || fail "complete.trx is no longer a symbolic link"
  has real/complete.trx '<translation lang="de_CH">Datei aufmachen<\translation>'
  only real complete.trx
  # to-po -o through a link, too.
  ln -s real/fr.po fr.po
  run 0 to-po complete.trx --lang fr -o fr.po
  [ -L fr.po ] || fail "fr.po is no longer a symbolic link"
  has real/fr.po 'msgstr "Ouvrir le fichier"'
  ;;
check.strict)
  run 0 check complete.trx --strict
  # One file for each kind of problem; each fails --strict for de_CH.
  printf '%s\n' '<source>A<\source>' '<translation lang="de_CH">A<\translation>' '<source>B<\source>' > missing.trx
  printf '%s\n' '<source>Copy %1<\source>' '<translation lang="de_CH">Kopieren<\translation>' > token.trx
  printf '%s\n' '<source>A<\source>' '<translation lang="de_CH">Alpha' > unclosed.trx
  printf '%s\n' '<source>A<\source>' '<translation lang="de_CH">A' > short.trx
  printf '%s\n' '<source>A<\source>' '<translation lang="de">A<\translation>' '<translation lang="de_CH">B<\translation>' > shadowed.trx
  printf '<source>A<\\source>\n<translation lang="de_CH">L\344nge<\\translation>\n' > latin1.trx
  for kind in missing token unclosed short shadowed latin1; do
    run 0 check $kind.trx --lang de_CH
    run 1 check $kind.trx --lang de_CH --strict
    has err.txt "zel-trx: $kind.trx: de_CH: 1 problem (--strict)"
  done
  has out.txt '  latin1.trx:2: not valid UTF-8 (saved in another encoding?): "<translation lang=\"de_CH\">L\xe4nge<\\translation>"'
  # Only the chosen languages count: fr has no problem in shadowed.trx.
  printf '%s\n' '<translation lang="fr">A<\translation>' >> shadowed.trx
  run 0 check shadowed.trx --lang fr --strict
  run 1 check shadowed.trx --strict
  ;;
check.escapes)
  # An ignored line with terminal escape sequences, and one of 5 MB.
  printf '<source>A<\\source>\n\033]0;pwned\007\033[2J ignored \302\233 line\n' > escapes.trx
  head -c 5242880 /dev/zero | tr '\0' 'x' >> escapes.trx
  printf '\n<translation lang="fr">A<\\translation>\n' >> escapes.trx
  run 0 check escapes.trx
  has out.txt '  escapes.trx:2: ignored by the reader: "\x1b]0;pwned\x07\x1b[2J ignored \u009b line"'
  has out.txt '  escapes.trx:3: ignored by the reader: "xxxxxxxx'
  has out.txt 'xxx"... (5242880 bytes)'
  LC_ALL=C grep -q "$(printf '\033')" out.txt && fail "an escape character reached the output"
  [ "$(wc -c < out.txt)" -lt 2000 ] || fail "the report is $(wc -c < out.txt) bytes long"
  ;;
badInput.malformedPoVariety)
  # Broken PO files of many kinds: each a message and status 2, nothing
  # changed, nothing left behind (and, under the sanitizers, no leak).
  cp complete.trx before.trx
  printf 'garbage here\n' > 1.po
  printf 'msgctxt "a"\nmsgctxt "b"\n' > 2.po
  printf 'msgid "a"\nmsgid_plural "b"\nmsgstr[0] "c"\nmsgstr[7 "d"\n' > 3.po
  printf 'msgid "a\n' > 4.po
  printf 'msgid ""\nmsgstr "Language: de_CH\\n"\n\nmsgid "Open file"\nmsgstr "a"\nmsgid "Open file"\nmsgstr "b"\n' > 5.po
  printf '\377\376\000m' > 6.po
  for po in 1 2 3 4 5 6; do
    run 2 from-po complete.trx $po.po
    has err.txt "zel-trx: $po.po"
  done
  cmp -s complete.trx before.trx || fail "complete.trx changed"
  ls complete.trx.* >/dev/null 2>&1 && fail "temporary file left"
  ;;
*)
  echo "unknown case $case"; exit 2 ;;
esac

[ "$failures" = 0 ] || exit 1
