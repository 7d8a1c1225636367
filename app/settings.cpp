#include "app/settings.h"

#include "app/options.h"
#include "core/system_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

using settings::Key;
using Printer = PrinterSettings::Printer;

const QString kGroup = QStringLiteral("printer");
const QString kViewerGroup = QStringLiteral("viewer");
const QString kFrame = QStringLiteral("frame");
const QString kPanes = QStringLiteral("panes");
const QString kZoom = QStringLiteral("zoom");
constexpr int kUnknownShown = 5;
constexpr int kValueShown = 40;

// The device path behind `key`, or nothing for a key that is not a port.
template <typename Ports> auto devicePath(Ports &ports, Key key) -> decltype(&ports.lpt1)
{
    switch (key) {
    case Key::Lpt1:
        return &ports.lpt1;
    case Key::Lpt2:
        return &ports.lpt2;
    case Key::Com1:
        return &ports.com1;
    case Key::Com2:
        return &ports.com2;
    default:
        return nullptr;
    }
}

// QSettings reads an unquoted "2,5" as a list; the comma was the decimal one.
QString valueText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

QString elided(const QString &text)
{
    return text.size() <= kValueShown ? text : text.left(kValueShown - 1) + QChar(0x2026);
}

// QSettings skips, in silence, lines it cannot read; it takes "#" for a key, though hand-written
// files often use it for comments.
bool hasForeignLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QByteArray l = line.trimmed();
        const bool group = l.startsWith('[') && l.endsWith(']');
        if (!l.isEmpty() && !l.startsWith(';') && !l.startsWith('#') && !group && !l.contains('='))
            return true;
    }
    return false;
}

bool isKnown(const QString &key)
{
    for (const QString &own : {kFrame, kPanes, kZoom}) {
        if (key == kViewerGroup + QLatin1Char('/') + own)
            return true;
    }
    for (Key k : settings::kKeys) {
        if (key == kGroup + QLatin1Char('/') + settings::name(k))
            return true;
    }
    return false;
}

// QSettings says only that it could not write; a file of our own in the folder says why.
QString whyNotWritten(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return system_error::reason(EISDIR);
    QTemporaryFile probe(info.absolutePath() + QStringLiteral("/XXXXXX.tmp"));
    if (!probe.open())
        return system_error::reason(probe);
    return system_error::reason(0);
}

} // namespace

namespace settings {

QString defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/vorel-demo/vorel-demo.conf");
}

Loaded read(const QString &path)
{
    Loaded loaded;
    if (!QFileInfo::exists(path))
        return loaded;
    QStringList problems;
    QSettings file(path, QSettings::IniFormat);
    const QStringList keys = file.allKeys(); // read first: only then does the status tell
    if (file.status() == QSettings::AccessError) {
        QFile raw(path);
        const QString why = QFileInfo(path).isDir() ? system_error::reason(EISDIR)
            : raw.open(QIODevice::ReadOnly)         ? system_error::reason(0)
                                                    : system_error::reason(raw);
        problems << QStringLiteral("não foi possível lê-lo: %1").arg(why);
    } else if (hasForeignLines(path)) {
        problems << QStringLiteral("linhas fora do formato INI (a seção [printer] com linhas "
                                   "chave=valor)");
    }
    QStringList unknown;
    for (const QString &key : keys) {
        if (!isKnown(key))
            unknown << elided(key);
    }
    if (!unknown.isEmpty()) {
        const qsizetype more = unknown.size() - kUnknownShown;
        QString list = unknown.mid(0, kUnknownShown).join(QStringLiteral(", "));
        if (more > 0)
            list += QStringLiteral(" e mais %1").arg(more);
        problems << QStringLiteral("chaves que o programa não conhece (as dele ficam em "
                                   "[printer]): %1")
                        .arg(list);
    }
    file.beginGroup(kGroup);
    for (Key key : kKeys) {
        if (!file.contains(name(key)))
            continue;
        const QString value = valueText(file.value(name(key)));
        if (!set(loaded.settings, key, value))
            problems << QStringLiteral("%1=%2: %3; vale %4")
                            .arg(name(key), elided(value), expected(key), text({}, key));
    }
    if (!problems.isEmpty())
        loaded.problem
            = QStringLiteral("O arquivo de configuração %1 tem o que o programa não pode "
                             "usar; no lugar valem os padrões:\n- %2")
                  .arg(path, problems.join(QStringLiteral("\n- ")));
    return loaded;
}

QString write(const QString &path, const PrinterSettings &settings)
{
    const auto failed = [&path](const QString &why) {
        return QStringLiteral("Não foi possível gravar %1: %2.").arg(path, why);
    };
    {
        // QSettings keeps the first error it met, so a file it could not read would hide a
        // failed write. All of ours it could hold is written again below.
        QSettings old(path, QSettings::IniFormat);
        (void)old.allKeys(); // the status tells how reading went only once it was read
        if (old.status() != QSettings::NoError && !QFileInfo(path).isDir()) {
            QFile garbage(path);
            if (!garbage.remove())
                return failed(system_error::reason(garbage));
        }
    }
    QSettings file(path, QSettings::IniFormat);
    for (const QString &key : file.allKeys()) {
        if (!key.startsWith(kViewerGroup + QLatin1Char('/')))
            file.remove(key);
    }
    file.beginGroup(kGroup);
    for (Key key : kKeys)
        file.setValue(name(key), text(settings, key));
    file.endGroup();
    // Written to a new file renamed over the old one, so a crash leaves either whole.
    file.sync();
    if (file.status() != QSettings::NoError)
        return failed(whyNotWritten(path));
    return {};
}

ViewerSettings readViewer(const QString &path)
{
    ViewerSettings viewer;
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(kViewerGroup);
    if (const QRect frame = file.value(kFrame).toRect(); frame.isValid())
        viewer.frame = frame;
    for (const QString &size :
        valueText(file.value(kPanes)).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        viewer.layout.panes << size.toInt(&ok);
        if (!ok) {
            viewer.layout.panes.clear();
            break;
        }
    }
    viewer.layout.zoom = file.value(kZoom).toInt(); // "fit", or anything else not a number: 0
    return viewer;
}

QString writeViewer(const QString &path, const ViewerSettings &viewer)
{
    QSettings file(path, QSettings::IniFormat);
    (void)file.allKeys(); // the status tells how reading went only once it was read
    if (file.status() != QSettings::NoError)
        return QStringLiteral("Não foi possível gravar %1: não foi possível lê-lo.").arg(path);
    file.beginGroup(kViewerGroup);
    file.remove(QString());
    if (viewer.frame.isValid())
        file.setValue(kFrame, viewer.frame);
    QStringList panes;
    for (const int size : viewer.layout.panes)
        panes << QString::number(size);
    file.setValue(kPanes, panes.join(QLatin1Char(' ')));
    file.setValue(kZoom,
        viewer.layout.zoom > 0 ? QString::number(viewer.layout.zoom) : QStringLiteral("fit"));
    file.endGroup();
    file.sync();
    if (file.status() != QSettings::NoError)
        return QStringLiteral("Não foi possível gravar %1: %2.").arg(path, whyNotWritten(path));
    return {};
}

QString printerName(Printer printer)
{
    switch (printer) {
    case Printer::Virtual:
        return QStringLiteral("virtual");
    case Printer::Library:
        return QStringLiteral("library");
    case Printer::Ports:
        return QStringLiteral("ports");
    }
    return {};
}

PrinterSettings withChanges(
    PrinterSettings file, const PrinterSettings &before, const PrinterSettings &after)
{
    for (Key key : kKeys) {
        if (const QString value = text(after, key); value != text(before, key))
            (void)set(file, key, value);
    }
    return file;
}

QString name(Key key)
{
    switch (key) {
    case Key::Backend:
        return QStringLiteral("backend");
    case Key::Library:
        return QStringLiteral("library");
    case Key::Lpt1:
        return QStringLiteral("lpt1");
    case Key::Lpt2:
        return QStringLiteral("lpt2");
    case Key::Com1:
        return QStringLiteral("com1");
    case Key::Com2:
        return QStringLiteral("com2");
    case Key::SerialSpeed:
        return QStringLiteral("serial-speed");
    case Key::SerialFlow:
        return QStringLiteral("serial-flow");
    case Key::WriteTimeout:
        return QStringLiteral("write-timeout");
    }
    return {};
}

QString text(const PrinterSettings &settings, Key key)
{
    const PortSettings &ports = settings.ports;
    switch (key) {
    case Key::Backend:
        return printerName(settings.printer);
    case Key::Library:
        return settings.libraryPath;
    case Key::SerialSpeed:
        return QString::number(ports.serialSpeed);
    case Key::SerialFlow:
        return port_settings::flowName(ports.serialFlow);
    case Key::WriteTimeout:
        return QString::number(double(ports.writeTimeout.count()) / 1000.0, 'g', 10);
    default:
        return *devicePath(ports, key);
    }
}

bool set(PrinterSettings &settings, Key key, const QString &text)
{
    PortSettings &ports = settings.ports;
    switch (key) {
    case Key::Backend:
        for (Printer p : {Printer::Virtual, Printer::Library, Printer::Ports}) {
            if (text == printerName(p)) {
                settings.printer = p;
                return true;
            }
        }
        return false;
    case Key::Library:
        settings.libraryPath = text;
        return true;
    case Key::SerialSpeed:
        if (const std::optional<int> bps = options::serialSpeed(text)) {
            ports.serialSpeed = *bps;
            return true;
        }
        return false;
    case Key::SerialFlow:
        if (const std::optional<SerialFlow> flow = port_settings::flowFromName(text)) {
            ports.serialFlow = *flow;
            return true;
        }
        return false;
    case Key::WriteTimeout:
        if (const auto limit = options::writeTimeout(text)) {
            ports.writeTimeout = *limit;
            return true;
        }
        return false;
    default:
        if (text.isEmpty())
            return false;
        *devicePath(ports, key) = text;
        return true;
    }
}

QString expected(Key key)
{
    switch (key) {
    case Key::Backend:
        return QStringLiteral("use virtual, library ou ports");
    case Key::Library:
        return QStringLiteral("use o caminho da biblioteca");
    case Key::SerialSpeed:
        return QStringLiteral("use um número de 50 a 4000000");
    case Key::SerialFlow:
        return QStringLiteral("use none, hardware ou software");
    case Key::WriteTimeout:
        return QStringLiteral("use segundos, de 0,001 a 3600");
    default:
        return QStringLiteral("use o caminho do dispositivo");
    }
}

} // namespace settings
