#!/bin/sh
# manpage.sh PROGRAM OUTPUT.1.gz DATE VERSION
# Writes the manual page (section 1, gzip) of one of Escrivon's programs from the program's own
# --help, so that the page and the help never disagree: the usage lines are the synopsis, the
# rest the description. escrivon-cli's page adds each command's help (the commands as its
# --help lists them); escrivon-report's, the reports with their options (--list).
set -eu
program=$1 output=$2 date=$3 version=$4
name=$(basename "$program")
case "$name" in
escrivon) summary="contabilidade por partidas dobradas (a janela do livro)" ;;
escrivon-init) summary="cria um diretório de dados do Escrivon" ;;
escrivon-report) summary="escreve um relatório do Escrivon em PDF, sem janela" ;;
escrivon-cli) summary="trabalha o livro do Escrivon na linha de comando" ;;
*) summary="programa do Escrivon" ;;
esac

# Text kept as the program prints it: backslashes and hyphens as roff reads them, and a line
# beginning with a period or a quote not taken for a request.
roff() { sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\([.']\)/\\\\\&\1/"; }
verbatim() { printf '.nf\n'; roff; printf '.fi\n'; }

help=$("$program" --help)
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
{
  printf '.\\" Escrita pela construção a partir de "%s --help"; não edite.\n' "$name"
  printf '.TH "%s" 1 "%s" "Escrivon %s" "Manual do Escrivon"\n' \
    "$(printf '%s' "$name" | tr 'a-z' 'A-Z' | roff)" "$date" "$version"
  printf '.SH NOME\n%s \\- %s\n' "$(printf '%s' "$name" | roff)" "$summary"
  # The usage is the first paragraph: "uso: PROGRAM ..." and its indented continuations.
  printf '.SH SINOPSE\n'
  printf '%s\n' "$help" | sed -n '/^$/q; s/^uso: *//; s/^ *//; p' | verbatim
  description=$(printf '%s\n' "$help" | sed '1,/^$/d')
  if [ -n "$description" ]; then
    printf '.SH DESCRIÇÃO\n'
    printf '%s\n' "$description" | verbatim
  fi
  case "$name" in
  escrivon-cli)
    printf '.SH COMANDOS\n'
    for command in $(printf '%s\n' "$help" | sed -n '/^Comandos:$/,/^$/{s/^  \([a-z-]*\).*/\1/p}'); do
      printf '.SS %s\n' "$(printf '%s' "$command" | roff)"
      "$program" "$command" --help | verbatim
    done
    ;;
  escrivon-report)
    printf '.SH RELATÓRIOS E OPÇÕES\n'
    "$program" --list | verbatim
    ;;
  esac
  printf '.SH VEJA TAMBÉM\n'
  for other in escrivon escrivon-init escrivon-report escrivon-cli; do
    [ "$other" = "$name" ] || printf '.BR %s (1),\n' "$(printf '%s' "$other" | roff)"
  done
  printf '.BR sqlite3 (1);\no manual do usuário em /usr/share/doc/escrivon/manual.html.\n'
} >"$tmp"
mkdir -p "$(dirname "$output")"
gzip -9nc "$tmp" >"$output"
