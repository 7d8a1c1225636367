#include "app/options.h"

#include <QCommandLineParser>
#include <QLocale>
#include <cmath>

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
    const QCommandLineOption printer(QStringLiteral("printer"),
        QStringLiteral("Impressora: virtual (padrão), library ou ports."), QStringLiteral("tipo"),
        QStringLiteral("virtual"));
    const QCommandLineOption library(QStringLiteral("printer-library"),
        QStringLiteral("Caminho da biblioteca da impressora (com --printer library)."),
        QStringLiteral("caminho"));
    const QCommandLineOption desktop(QStringLiteral("desktop"),
        QStringLiteral(
            "Usa a pasta de dados do usuário como diretório de trabalho (menu do desktop)."));
    const QCommandLineOption lpt1(QStringLiteral("lpt1"),
        QStringLiteral("Dispositivo da LPT1 (padrão /dev/lp0)."), QStringLiteral("caminho"));
    const QCommandLineOption lpt2(QStringLiteral("lpt2"),
        QStringLiteral("Dispositivo da LPT2 (padrão /dev/lp1)."), QStringLiteral("caminho"));
    const QCommandLineOption com1(QStringLiteral("com1"),
        QStringLiteral("Dispositivo da COM1 (padrão /dev/ttyS0)."), QStringLiteral("caminho"));
    const QCommandLineOption com2(QStringLiteral("com2"),
        QStringLiteral("Dispositivo da COM2 (padrão /dev/ttyS1)."), QStringLiteral("caminho"));
    const QCommandLineOption speed(QStringLiteral("serial-speed"),
        QStringLiteral("Velocidade das portas seriais em bps (padrão 9600)."),
        QStringLiteral("bps"));
    const QCommandLineOption flow(QStringLiteral("serial-flow"),
        QStringLiteral("Controle de fluxo das portas seriais: none, hardware (padrão) ou "
                       "software."),
        QStringLiteral("modo"));
    const QCommandLineOption timeout(QStringLiteral("write-timeout"),
        QStringLiteral("Tempo máximo de um envio à impressora, em segundos (padrão 10)."),
        QStringLiteral("segundos"));
    parser.addOptions(
        {help, version, printer, library, lpt1, lpt2, com1, com2, speed, flow, timeout, desktop});

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
        result.output = parser.helpText().replace(
            QStringLiteral("<executable_name>"), QStringLiteral("vorel-demo"));
        return result;
    }
    if (parser.isSet(version)) {
        result.exit = true;
        result.output = QStringLiteral("vorel-demo %1\n").arg(QStringLiteral(VOREL_VERSION));
        return result;
    }

    const QString kind = parser.value(printer);
    if (kind == QLatin1String("virtual"))
        result.options.printer = Options::Printer::Virtual;
    else if (kind == QLatin1String("library"))
        result.options.printer = Options::Printer::Library;
    else if (kind == QLatin1String("ports"))
        result.options.printer = Options::Printer::Ports;
    else
        return fail(QStringLiteral("Impressora desconhecida: %1 (use virtual, library ou ports)")
                        .arg(kind));

    if (parser.isSet(library) && result.options.printer != Options::Printer::Library)
        return fail(QStringLiteral("--printer-library só vale com --printer library."));
    result.options.libraryPath = parser.value(library);
    result.options.desktop = parser.isSet(desktop);

    PortSettings &ports = result.options.ports;
    for (const QCommandLineOption *o : {&lpt1, &lpt2, &com1, &com2, &speed, &flow, &timeout}) {
        if (parser.isSet(*o) && result.options.printer != Options::Printer::Ports)
            return fail(
                QStringLiteral("--%1 só vale com --printer ports.").arg(o->names().first()));
    }
    const struct
    {
        const QCommandLineOption &option;
        QString &path;
    } paths[] = {{lpt1, ports.lpt1}, {lpt2, ports.lpt2}, {com1, ports.com1}, {com2, ports.com2}};
    for (const auto &p : paths) {
        if (!parser.isSet(p.option))
            continue;
        p.path = parser.value(p.option);
        if (p.path.isEmpty())
            return fail(
                QStringLiteral("--%1 precisa de um caminho.").arg(p.option.names().first()));
    }
    if (parser.isSet(speed)) {
        const std::optional<int> bps = options::serialSpeed(parser.value(speed));
        if (!bps)
            return fail(QStringLiteral("Velocidade inválida: %1 (use um número de 50 a 4000000).")
                            .arg(parser.value(speed)));
        ports.serialSpeed = *bps;
    }
    if (parser.isSet(flow)) {
        const std::optional<SerialFlow> f = port_settings::flowFromName(parser.value(flow));
        if (!f)
            return fail(QStringLiteral("Controle de fluxo desconhecido: %1 (use none, hardware ou "
                                       "software).")
                            .arg(parser.value(flow)));
        ports.serialFlow = *f;
    }
    if (parser.isSet(timeout)) {
        const auto limit = options::writeTimeout(parser.value(timeout));
        if (!limit)
            return fail(QStringLiteral("Tempo inválido: %1 (use segundos, de 0,001 a 3600).")
                            .arg(parser.value(timeout)));
        ports.writeTimeout = *limit;
    }
    return result;
}
