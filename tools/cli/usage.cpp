#include "usage.h"

#include <QRegularExpression>

namespace esc::cli {

namespace {

struct CommandForm {
  QString name;
  int minArguments, maxArguments; // -1: any number
  QStringList options;            // taking a value
  QStringList flags;
  QString usage; // after "escrivon-cli [--data-dir DIR] "
  QString help;
};

const QVector<CommandForm>& commands() {
  static const QVector<CommandForm> all = {
      {"processar",
       0,
       -1,
       {"--ano"},
       {"--todos"},
       "processar DOC... | processar --todos [--ano AAAA]",
       "Processa documentos: cada lançamento vai para o balancete do exercício e o documento fica\n"
       "processado (\"P\"). Todos os documentos são conferidos antes; quando algum é recusado,\n"
       "cada recusa é dita com o seu documento e nada é gravado. Os documentos aceitos são\n"
       "processados numa só transação.\n"
       "  DOC...        números dos documentos (\"3\" é o documento 00003)\n"
       "  --todos       todos os documentos ainda não processados\n"
       "  --ano AAAA    o exercício dos documentos; sem ele, o exercício que os lançamentos\n"
       "                trazem na chave (com --todos: todos os exercícios, se forem de um só)\n"},
      {"estornar",
       1,
       1,
       {"--data"},
       {},
       "estornar DOC [--data DD/MM/AAAA]",
       "Estorna o documento processado DOC: cria o documento seguinte com os mesmos lançamentos,\n"
       "débito e crédito trocados, complemento \"ESTORNO DOC \" + número + complemento original, "
       "e\n"
       "o processa, tudo numa só transação. O exercício é o dos lançamentos de DOC.\n"
       "  --data DD/MM/AAAA   a data do estorno, no exercício e não antes da data de DOC; sem\n"
       "                      ela, hoje (trazida para dentro do exercício)\n"
       "Recusa um documento não processado, um estorno e um documento já estornado.\n"},
      {"sinteticas",
       1,
       1,
       {},
       {},
       "sinteticas AAAA",
       "Atualização de saldo de contas sintéticas do exercício AAAA: as contas sintéticas e a\n"
       "conta de resultado (299999 / 999), mês a mês.\n"},
      {"abrir",
       1,
       1,
       {},
       {},
       "abrir AAAA",
       "Abertura do exercício financeiro posterior: cria o exercício AAAA+1 a partir de dezembro\n"
       "de AAAA.\n"},
      {"retranspor",
       1,
       1,
       {},
       {},
       "retranspor AAAA",
       "Retransposição de saldos de balanço: leva os saldos de dezembro de AAAA para janeiro de\n"
       "AAAA+1.\n"},
      {"fechar", 1, 1, {}, {}, "fechar AAAA", "Fechamento do exercício financeiro AAAA.\n"},
      {"reabrir", 1, 1, {}, {}, "reabrir AAAA", "Reabertura do exercício AAAA, fechado.\n"},
      {"demonstracao",
       1,
       1,
       {},
       {},
       "demonstracao AAAAMM",
       "Atualização da demonstração de resultado para o período AAAAMM.\n"},
      {"balanco",
       1,
       1,
       {},
       {},
       "balanco AAAA",
       "Atualização do balanço patrimonial do exercício AAAA.\n"},
      {"copia",
       1,
       1,
       {},
       {},
       "copia DESTINO",
       "Cópia de segurança do banco de dados: copia todos os arquivos do livro para o diretório\n"
       "DESTINO, que deve existir. Arquivos de uma cópia anterior são substituídos.\n"},
      {"listar",
       1,
       2,
       {"--periodo"},
       {"--csv"},
       "listar contas|historicos|lancamentos|balancete [--periodo AAAAMM] [--csv] | "
       "listar painel AAAA [--csv]",
       "Lista as linhas de uma tabela na saída padrão. O livro é aberto só para leitura.\n"
       "  contas        o plano de contas, por conta e conta corrente\n"
       "  historicos    os históricos padrão, por código\n"
       "  lancamentos   os lançamentos, na ordem da chave (exercício, conta, mês, dia)\n"
       "  balancete     as linhas do balancete, por período e conta\n"
       "  painel AAAA   os números dos gráficos do exercício: por mês receitas, despesas,\n"
       "                resultado, resultado acumulado e disponível; depois as dez maiores\n"
       "                despesas do ano\n"
       "  --periodo AAAAMM   só o período (lancamentos e balancete)\n"
       "  --csv         CSV para planilhas: cabeçalho, separador \";\", vírgula decimal,\n"
       "                UTF-8 com BOM\n"},
      {"ecd",
       1,
       1,
       {"-o"},
       {},
       "ecd AAAA -o ARQUIVO",
       "Exporta a ECD (SPED Contábil) do exercício AAAA para ARQUIVO: Livro Diário Geral,\n"
       "leiaute 9, em ISO-8859-1. Todos os documentos do exercício devem estar processados e as\n"
       "contas sintéticas, a demonstração de resultado de AAAA12 e o balanço patrimonial\n"
       "atualizados; o que faltar é dito e nada é gravado. O livro é aberto só para leitura.\n"},
      {"exportar-hledger",
       1,
       1,
       {"-o"},
       {},
       "exportar-hledger AAAA -o ARQUIVO.journal",
       "Exporta o exercício AAAA como diário do hledger: os saldos de abertura numa transação de\n"
       "01/01 e uma transação por documento processado, contas como \"código nome\" na hierarquia\n"
       "do plano de contas, débito positivo e crédito negativo (o comentário no início do arquivo\n"
       "explica). \"hledger -f ARQUIVO bal -M not:tag:abertura\" dá o movimento de cada mês\n"
       "do balancete. O livro é aberto só para leitura.\n"},
      {"dados-sped",
       0,
       -1,
       {},
       {},
       "dados-sped [CAMPO=VALOR...]",
       "Mostra os dados para o SPED (sem argumentos) ou grava os CAMPO=VALOR dados, no formato\n"
       "em que são mostrados. Um VALOR vazio apaga o campo.\n"
       "  uf, municipio (código IBGE), nome-municipio, nire, data-nire (dd/mm/aaaa), ie, im,\n"
       "  plano-referencial (código do plano de contas referencial)\n"
       "  situacao-inicio (0 normal, 1 abertura, 2 resultante de cisão, fusão ou incorporação,\n"
       "                 3 início de obrigatoriedade), situacao-especial (vazio ou 1 a 5),\n"
       "                 finalidade (0 original, 1 substituta), hash-substituida (da ECD\n"
       "                 substituída), grande-porte (0 ou 1), mudanca-plano (0 ou 1)\n"
       "  inscricoes=ENTIDADE:NUMERO,...     outras inscrições (registro 0007)\n"
       "  signatario.N=NOME;CPF;QUALIFICACAO;CODIGO;CRC;EMAIL;FONE;UF_CRC;SEQ_CRC;VALIDADE;S|N\n"
       "                 o N-ésimo signatário (CODIGO 900 para o contador; S no responsável "
       "legal)\n"
       "  natureza.CONTA=NN      natureza SPED de uma conta de 1º ou 2º nível (01 ativo, 02\n"
       "                 passivo, 03 patrimônio líquido, 04 resultado, 05 compensação, 09 outras)\n"
       "  referencial.PAR=CODIGO   código referencial da conta analítica (conta + conta corrente,\n"
       "                 como 1111210001)\n"},
      {"sql",
       1,
       1,
       {},
       {"--csv"},
       "sql \"SELECT ...\" [--csv]",
       "Executa uma consulta SQL no livro e mostra as linhas como listar as mostra. Uma só\n"
       "instrução, que só lê (SELECT, WITH, VALUES ou EXPLAIN); as tabelas têm os nomes de\n"
       "contas, historic, lancamen, balanco, balpatri, demresul, fechamen e cabecalh, e os\n"
       "campos os dos cadastros. O livro é aberto só para leitura. Os índices que ignoram\n"
       "maiúsculas e acentos usam a ordenação ESCI: ORDER BY NomeContaContabil COLLATE ESCI.\n"
       "  --csv         CSV para planilhas, como em listar\n"
       "Outros programas do SQLite leem os arquivos com os seus índices carregando a extensão\n"
       "do Escrivon, por exemplo:\n"
       "  sqlite3 CONTAS.db -cmd '.load " ESCRIVON_SQLITE_EXTENSION "'\n"},
      {"importar-lancamentos",
       1,
       1,
       {"--ano"},
       {},
       "importar-lancamentos ARQUIVO.csv [--ano AAAA]",
       "Importa lançamentos de uma planilha em CSV como documentos novos, não processados.\n"
       "A primeira linha nomeia as colunas: data;documento;conta;corrente;dc;valor;historico;\n"
       "complemento (documento e complemento podem faltar). Separador \";\" ou \",\", vírgula\n"
       "ou ponto decimal, UTF-8 ou Windows-1252: o arquivo diz quais. As linhas de um mesmo\n"
       "documento formam um documento; com documento em branco, cada grupo de linhas que se\n"
       "equilibra, na ordem do arquivo. Cada documento recebe um número novo. Cada linha passa\n"
       "pelas verificações do Gravar e cada documento pelas do processamento; havendo falha,\n"
       "todas as linhas com problema são ditas e nada é importado.\n"
       "  --ano AAAA    o exercício; sem ele, o ano da primeira data do arquivo\n"},
      {"importar-ofx",
       1,
       1,
       {"--conta", "--contrapartida", "--historico", "--ano"},
       {},
       "importar-ofx ARQUIVO.ofx --conta CONTA/CORRENTE --contrapartida CONTA/CORRENTE "
       "--historico COD [--ano AAAA]",
       "Importa um extrato bancário OFX (1.x ou 2.x): cada transação vira um documento novo,\n"
       "não processado, de dois lançamentos, na data de lançamento do banco, com o histórico\n"
       "COD e o memorando do extrato como complemento. Entrada de dinheiro debita a conta do\n"
       "banco e credita a contrapartida; saída, o contrário. Transações já importadas (mesmo\n"
       "FITID, mesma conta do banco e mesma conta contábil) são puladas e contadas. Uma\n"
       "transação fora do exercício recusa o extrato inteiro.\n"
       "  --conta CONTA/CORRENTE          a conta do banco no plano de contas\n"
       "  --contrapartida CONTA/CORRENTE  a outra conta (em geral uma conta transitória)\n"
       "  --historico COD                 o histórico padrão\n"
       "  --ano AAAA    o exercício; sem ele, o ano da primeira transação\n"},
      {"verificar",
       0,
       0,
       {},
       {},
       "verificar",
       "Verifica o livro, só lendo: a integridade de cada arquivo, documentos processados em\n"
       "parte, os doze meses de cada conta, o movimento de cada conta analítica contra os seus\n"
       "lançamentos processados, os saldos de cada mês contra o mês anterior e o movimento, e\n"
       "débitos contra créditos de cada mês. Mostra cada falha (até 50), depois os avisos\n"
       "(contas sintéticas e demonstrações desatualizadas) e por fim\n"
       "\"N verificações, M falhas, K avisos\". Sai com 1 quando há falhas.\n"},
  };
  return all;
}

const CommandForm* find(const QString& name) {
  for (const CommandForm& c : commands())
    if (c.name == name) return &c;
  return nullptr;
}

} // namespace

QString usageLine(const QString& command) {
  if (const CommandForm* c = find(command))
    return "uso: escrivon-cli [--data-dir DIR] " + c->usage + "\n";
  return QStringLiteral("uso: escrivon-cli [--data-dir DIR] COMANDO [ARGUMENTOS] "
                        "(escrivon-cli --help mostra os comandos)\n");
}

QString generalHelp() {
  QString out = QStringLiteral(
      "uso: escrivon-cli [--data-dir DIR] COMANDO [ARGUMENTOS]\n\n"
      "Trabalha o livro do Escrivon sem janela. O diretório de dados é o de --data-dir, senão o\n"
      "de ESCRIVON_DATA, senão o diretório padrão do Escrivon. Os comandos que gravam tomam o\n"
      "livro para si (um Escrivon aberto no mesmo livro os faz recusar); listar e verificar só\n"
      "leem. Executar o comando é a confirmação.\n\nComandos:\n");
  for (const CommandForm& c : commands())
    out += "  " + c.usage + "\n";
  out += QStringLiteral(
      "\nSaída: 0 feito, 1 recusado (a mensagem do sistema na saída de erros), 2 uso "
      "incorreto.\nescrivon-cli COMANDO --help mostra a ajuda do comando.\n");
  return out;
}

QString commandHelp(const QString& command) {
  const CommandForm* c = find(command);
  return c ? usageLine(command) + "\n" + c->help : generalHelp();
}

Invocation parseArguments(const QStringList& args) {
  Invocation inv;
  const CommandForm* form = nullptr;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const QString command = form ? form->name : QString();
    auto value = [&]() {
      if (i + 1 >= args.size()) throw UsageError{"falta o valor de " + a, command};
      return args[++i];
    };
    if (a == "--help" || a == "-h") {
      inv.help = true;
    } else if (a == "--data-dir") {
      inv.dataDir = value();
    } else if (form && form->options.contains(a)) {
      inv.options.insert(a, value());
    } else if (form && form->flags.contains(a)) {
      inv.flags.insert(a);
    } else if (a.startsWith("-") && a.size() > 1) {
      throw UsageError{"opção desconhecida: " + a, command};
    } else if (!form) {
      form = find(a);
      if (!form) throw UsageError{"comando desconhecido: " + a, {}};
      inv.command = a;
    } else {
      inv.arguments << a;
    }
  }
  if (inv.help) return inv;
  if (!form) throw UsageError{"falta o comando", {}};
  const int n = int(inv.arguments.size());
  if (n < form->minArguments || (form->maxArguments >= 0 && n > form->maxArguments))
    throw UsageError{n < form->minArguments ? "faltam argumentos" : "argumentos demais",
                     form->name};
  return inv;
}

QString yearArgument(const QString& command, const QString& text) {
  static const QRegularExpression year(QStringLiteral("^[0-9]{4}$"));
  if (!year.match(text).hasMatch()) throw UsageError{"exercício inválido (AAAA): " + text, command};
  return text;
}

QString periodArgument(const QString& command, const QString& text) {
  static const QRegularExpression period(QStringLiteral("^[0-9]{4}(0[1-9]|1[0-2])$"));
  if (!period.match(text).hasMatch())
    throw UsageError{"período inválido (AAAAMM): " + text, command};
  return text;
}

} // namespace esc::cli
