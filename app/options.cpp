#include "app/options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <cmath>

namespace {

using settings::Key;
using Printer = PrinterSettings::Printer;

QString optionName(Key key)
{
    switch (key) {
    case Key::Backend:
        return QStringLiteral("printer");
    case Key::Library:
        return QStringLiteral("printer-library");
    default:
        return settings::name(key);
    }
}

// The printer an option is for; --printer itself is for none.
std::optional<Printer> printerOf(Key key)
{
    switch (key) {
    case Key::Backend:
        return std::nullopt;
    case Key::Library:
        return Printer::Library;
    default:
        return Printer::Ports;
    }
}

} // namespace

namespace options {

std::optional<int> serialSpeed(const QString &text)
{
    bool ok = false;
    const int bps = text.trimmed().toInt(&ok);
    if (!ok || bps < 50 || bps > 4000000)
        return std::nullopt;
    return bps;
}

std::optional<std::chrono::milliseconds> writeTimeout(const QString &text)
{
    // A decimal point or a decimal comma, never grouping: "1,500" is one and a half seconds.
    QLocale point = QLocale::c();
    point.setNumberOptions(QLocale::RejectGroupSeparator);
    QLocale comma(QLocale::Portuguese, QLocale::Brazil);
    comma.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double seconds = point.toDouble(text.trimmed(), &ok);
    if (!ok)
        seconds = comma.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(seconds))
        return std::nullopt;
    const auto ms = std::llround(seconds * 1000.0);
    if (ms < 1 || ms > 3600 * 1000)
        return std::nullopt;
    return std::chrono::milliseconds(ms);
}

PrinterSettings overFile(const PrinterSettings &file, const Options &options)
{
    PrinterSettings run = file;
    for (Key key : options.given)
        (void)settings::set(run, key, settings::text(options, key));
    return run;
}

QString unused(const PrinterSettings &run, const Options &options)
{
    QStringList sentences;
    for (Printer printer : {Printer::Library, Printer::Ports}) {
        QStringList names;
        for (Key key : options.given) {
            if (printer != run.printer && printerOf(key) == printer)
                names << QStringLiteral("--") + optionName(key);
        }
        if (!names.isEmpty())
            sentences << QStringLiteral("%1 só vale com --printer %2")
                             .arg(names.join(QStringLiteral(", ")), settings::printerName(printer));
    }
    if (sentences.isEmpty())
        return {};
    return QStringLiteral("Sem efeito nesta execução, com a impressora %1: %2.")
        .arg(settings::printerName(run.printer), sentences.join(QStringLiteral("; ")));
}

QString virtualReplay()
{
    return QStringLiteral("--replay envia o diário a uma impressora real: use --printer ports ou "
                          "--printer library (a impressora virtual não imprime).");
}

QString onlyThisRun(const Options &options)
{
    QStringList names;
    for (Key key : options.given)
        names << QStringLiteral("--") + optionName(key);
    if (names.isEmpty())
        return {};
    return QStringLiteral("As opções %1 da linha de comando valem só nesta execução e não vão "
                          "para o arquivo de configuração; \"OK\" grava nele só o que for "
                          "mudado aqui.")
        .arg(names.join(QStringLiteral(", ")));
}

} // namespace options

ParsedOptions parseOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Demonstração da impressora de documentos bancários VOREL."));
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Mostra esta ajuda."));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Mostra a versão."));
    const QCommandLineOption desktop(QStringLiteral("desktop"),
        QStringLiteral(
            "Usa a pasta de dados do usuário como diretório de trabalho (menu do desktop)."));
    const QCommandLineOption setup(
        QStringLiteral("setup"), QStringLiteral("Começa com a configuração da impressora aberta."));
    // The printer options override the settings file for this run only.
    const auto printerOption = [](Key key, const char *description, const char *value) {
        return std::pair(key,
            QCommandLineOption(
                optionName(key), QString::fromUtf8(description), QString::fromUtf8(value)));
    };
    const std::pair<Key, QCommandLineOption> printerOptions[] = {
        printerOption(Key::Backend, "Impressora: virtual (padrão), library ou ports.", "tipo"),
        printerOption(Key::Library, "Caminho da biblioteca da impressora (com --printer library).",
            "caminho"),
        printerOption(Key::Lpt1, "Dispositivo da LPT1 (padrão /dev/lp0).", "caminho"),
        printerOption(Key::Lpt2, "Dispositivo da LPT2 (padrão /dev/lp1).", "caminho"),
        printerOption(Key::Com1, "Dispositivo da COM1 (padrão /dev/ttyS0).", "caminho"),
        printerOption(Key::Com2, "Dispositivo da COM2 (padrão /dev/ttyS1).", "caminho"),
        printerOption(
            Key::SerialSpeed, "Velocidade das portas seriais em bps (padrão 9600).", "bps"),
        printerOption(Key::SerialFlow,
            "Controle de fluxo das portas seriais: none, hardware (padrão) ou software.", "modo"),
        printerOption(Key::WriteTimeout,
            "Tempo máximo de um envio à impressora, em segundos (padrão 10).", "segundos"),
    };
    const auto valued = [](const char *name, const char *description, const char *value) {
        return QCommandLineOption(
            QString::fromLatin1(name), QString::fromUtf8(description), QString::fromUtf8(value));
    };
    const QCommandLineOption journal = valued("journal",
        "Acrescenta cada chamada à impressora, de qualquer tipo, ao diário no arquivo.", "arquivo");
    const QCommandLineOption render = valued("render",
        "Sem janelas: desenha cada impresso do diário na pasta de --to e lista o texto "
        "deles em impressos.txt.",
        "diário");
    const QCommandLineOption to = valued("to", "Com --render: a pasta dos impressos.", "pasta");
    const QCommandLineOption format = valued(
        "format", "Com --render: png (padrão) ou pdf, em tamanho real, com texto.", "formato");
    const QCommandLineOption replay = valued("replay",
        "Sem janelas: envia à impressora (ports ou library) as chamadas TX e TXI do diário, em "
        "ordem, e mostra o resultado de cada uma.",
        "diário");
    const QCommandLineOption waitTimeout = valued("wait-timeout",
        "Com --replay: espera máxima pelo documento numa autenticação monitorada, em segundos "
        "(padrão 30).",
        "segundos");
    parser.addOptions({help, version});
    for (const auto &[key, option] : printerOptions)
        parser.addOption(option);
    parser.addOptions({desktop, setup, journal, render, to, format, replay, waitTimeout});

    ParsedOptions result;
    const auto fail = [&result](const QString &message) {
        result.exit = true;
        result.exitStatus = 2;
        result.output = message + QStringLiteral("\nUse --help para ver as opções.\n");
        return result;
    };
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return fail(
                QStringLiteral("Opção desconhecida: %1%2")
                    .arg(unknown.first().size() > 1 ? QStringLiteral("--") : QStringLiteral("-"),
                        unknown.first()));
        return fail(QStringLiteral("Opções inválidas: %1").arg(parser.errorText()));
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(
            QStringLiteral("Argumento inesperado: %1").arg(parser.positionalArguments().first()));
    if (parser.isSet(help)) {
        result.exit = true;
        // Named as the manual names it, however the program was started.
        result.output = parser.helpText();
        const QString called = QCoreApplication::instance()
            ? QCoreApplication::arguments().constFirst()
            : QStringLiteral("<executable_name>");
        if (const qsizetype at = result.output.indexOf(called); at >= 0)
            result.output.replace(at, called.size(), QStringLiteral("vorel-demo"));
        return result;
    }
    if (parser.isSet(version)) {
        result.exit = true;
        result.output = QStringLiteral("vorel-demo %1\n").arg(QStringLiteral(VOREL_VERSION));
        return result;
    }

    Options &options = result.options;
    options.desktop = parser.isSet(desktop);
    options.setup = parser.isSet(setup);
    // The last of two would win in silence, and the operator may have meant the first.
    for (const QString &name : parser.optionNames()) {
        if (parser.values(name).size() > 1)
            return fail(QStringLiteral("A opção --%1 foi dada mais de uma vez.").arg(name));
    }
    for (const auto &[key, option] : printerOptions) {
        if (!parser.isSet(option))
            continue;
        const QString value = parser.value(option);
        if (!settings::set(options, key, value))
            return fail(QStringLiteral("Valor inválido em --%1 \"%2\": %3.")
                            .arg(optionName(key), value, settings::expected(key)));
        options.given << key;
    }
    // An option for another printer than the one named here is refused, not dropped in silence.
    // Without --printer the settings file may name the printer it goes with.
    for (Key key : options.given) {
        const std::optional<Printer> wanted = printerOf(key);
        if (parser.isSet(optionName(Key::Backend)) && wanted && *wanted != options.printer)
            return fail(QStringLiteral("--%1 só vale com --printer %2.")
                            .arg(optionName(key), settings::printerName(*wanted)));
    }

    // The journal tools, which open no window.
    const auto invalid = [&fail, &parser](const QCommandLineOption &option, const char *expected) {
        return fail(QStringLiteral("Valor inválido em --%1 \"%2\": %3.")
                        .arg(option.names().constFirst(), parser.value(option),
                            QString::fromUtf8(expected)));
    };
    options.journal = parser.value(journal);
    options.render = parser.value(render);
    options.renderTo = parser.value(to);
    options.replay = parser.value(replay);
    for (const QCommandLineOption *path : {&journal, &render, &to, &replay}) {
        if (parser.isSet(*path) && parser.value(*path).isEmpty())
            return invalid(*path, "use o caminho de um arquivo ou pasta");
    }
    if (parser.isSet(format)) {
        options.pdf = parser.value(format) == QLatin1String("pdf");
        if (!options.pdf && parser.value(format) != QLatin1String("png"))
            return invalid(format, "use png ou pdf");
    }
    if (parser.isSet(waitTimeout)) {
        // The same range as the write time limit.
        const std::optional<std::chrono::milliseconds> limit
            = options::writeTimeout(parser.value(waitTimeout));
        if (!limit)
            return invalid(waitTimeout, "use segundos, de 0,001 a 3600");
        options.waitTimeout = *limit;
    }
    const auto onlyWith = [&fail](const QCommandLineOption &option, const char *with) {
        return fail(QStringLiteral("--%1 só vale com --%2.")
                        .arg(option.names().constFirst(), QString::fromLatin1(with)));
    };
    for (const QCommandLineOption *option : {&to, &format}) {
        if (parser.isSet(*option) && !parser.isSet(render))
            return onlyWith(*option, "render");
    }
    if (parser.isSet(waitTimeout) && !parser.isSet(replay))
        return onlyWith(waitTimeout, "replay");
    if (parser.isSet(render) && !parser.isSet(to))
        return fail(QStringLiteral("--render precisa de --to com a pasta dos impressos."));
    // No window opens: what is for the windows, or the printer with --render, means nothing.
    QStringList useless;
    if (parser.isSet(render) && parser.isSet(replay))
        useless << QStringLiteral("--replay");
    for (const QCommandLineOption *option : {&desktop, &setup})
        if (parser.isSet(*option))
            useless << QStringLiteral("--") + option->names().constFirst();
    if (parser.isSet(render)) {
        if (parser.isSet(journal))
            useless << QStringLiteral("--journal");
        for (Key key : options.given)
            useless << QStringLiteral("--") + optionName(key);
    }
    const QString tool
        = parser.isSet(render) ? QStringLiteral("--render") : QStringLiteral("--replay");
    if ((parser.isSet(render) || parser.isSet(replay)) && !useless.isEmpty())
        return fail(QStringLiteral("%1 não vale com %2.").arg(useless.first(), tool));
    if (parser.isSet(replay) && parser.isSet(optionName(Key::Backend))
        && options.printer == Printer::Virtual)
        return fail(options::virtualReplay());
    return result;
}
