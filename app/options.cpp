#include "app/options.h"

#include <QCommandLineParser>

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
    parser.addOptions({help, version, printer, library, desktop});

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
        return fail(QStringLiteral("--printer ports ainda não está disponível nesta versão."));
    else
        return fail(QStringLiteral("Impressora desconhecida: %1 (use virtual, library ou ports)")
                        .arg(kind));

    if (parser.isSet(library) && result.options.printer != Options::Printer::Library)
        return fail(QStringLiteral("--printer-library só vale com --printer library."));
    result.options.libraryPath = parser.value(library);
    result.options.desktop = parser.isSet(desktop);
    return result;
}
