#include "virtual_printer/printed_folder.h"

#include "core/system_error.h"
#include "core/text_file.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/png_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace printed_folder {

namespace {

// The reason `bytes` could not be written to the new file `path`.
QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return system_error::reason(file);
    QString why = text_file::writeAll(file, bytes);
    file.close();
    if (why.isEmpty() && file.error() != QFileDevice::NoError)
        why = system_error::reason(file);
    return why;
}

// Draws and writes every job into `dir`, on every core; the first failure stops the rest.
QString writePictures(const QVector<PaperJob> &jobs, const QDir &dir, Format format)
{
    std::atomic<int> next = 0;
    std::mutex mutex;
    QString error;
    const auto work = [&] {
        for (int i; (i = next++) < jobs.size();) {
            const PaperJob &job = jobs.at(i);
            const QByteArray bytes = format == Format::Pdf
                ? paper_renderer::pdf(job)
                : png_file::encode(paper_renderer::render(job));
            const QString name = fileName(i, jobs.size(), format);
            QString why = bytes.isEmpty() ? QStringLiteral("%1 não pôde ser desenhado").arg(name)
                                          : writeFile(dir.filePath(name), bytes);
            if (!why.isEmpty()) {
                const std::lock_guard lock(mutex);
                if (error.isEmpty())
                    error = why;
                next = int(jobs.size());
            }
        }
    };
    std::vector<std::jthread> threads(
        std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), jobs.size()));
    for (std::jthread &t : threads)
        t = std::jthread(work);
    threads.clear();
    return error;
}

// The printed lines without their trailing blanks; a field left empty on a check or an
// authentication shows nothing, and neither do the blank rows below plain text.
QStringList shownLines(const PaperJob &job)
{
    const bool fields = job.kind != PaperJob::Kind::Text && job.kind != PaperJob::Kind::CheckBack;
    QStringList out;
    for (const paper_renderer::PrintedLine &line : paper_renderer::printedLines(job)) {
        QString text = line.text;
        while (!text.isEmpty() && text.back().isSpace())
            text.chop(1);
        if (!text.isEmpty() || !fields)
            out << text;
    }
    while (!out.isEmpty() && out.back().isEmpty())
        out.removeLast();
    return out;
}

// What a run before left in `folder`: the listing and the pictures.
QStringList earlierOutput(const QDir &folder)
{
    static const QRegularExpression kPicture(QStringLiteral("^impresso-[0-9]+\\.(png|pdf)$"));
    QStringList out;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name == QLatin1String(kListingName) || kPicture.match(name).hasMatch())
            out << name;
    }
    return out;
}

} // namespace

QString fileName(int index, int count, Format format)
{
    const int width = std::max(4, int(QString::number(count).size()));
    return QStringLiteral("impresso-%1.%2")
        .arg(index + 1, width, 10, QLatin1Char('0'))
        .arg(format == Format::Pdf ? QStringLiteral("pdf") : QStringLiteral("png"));
}

QString listing(const QVector<PaperJob> &jobs, Format format)
{
    if (jobs.isEmpty())
        return QStringLiteral("Nenhum impresso no diário.\n");
    QString out;
    for (int i = 0; i < jobs.size(); ++i) {
        const PaperJob &job = jobs.at(i);
        if (i > 0)
            out += QLatin1Char('\n');
        out += fileName(i, jobs.size(), format) + QStringLiteral(": ")
            + paper_renderer::heading(job) + QLatin1Char('\n');
        QStringList said = QStringList {paper_renderer::details(job)};
        for (const QString &note : paper_renderer::notes(job))
            said << QStringLiteral("nota: ") + note;
        for (const QString &line : said) {
            if (!line.isEmpty())
                out += QStringLiteral("  ") + line + QLatin1Char('\n');
        }
        for (const QString &line : shownLines(job))
            out += QStringLiteral("    ") + line + QLatin1Char('\n');
    }
    return out;
}

QString write(const QVector<PaperJob> &jobs, const QString &folder, Format format)
{
    const auto failed = [&folder](const QString &why) {
        return QStringLiteral("Não foi possível gravar os impressos em %1: %2").arg(folder, why);
    };
    const QFileInfo target(folder);
    if (target.exists() && !target.isDir())
        return failed(QStringLiteral("não é uma pasta"));
    // Written beside or inside the folder, on its disk, so that each file is put in place by a
    // rename; a failure leaves the folder as it was.
    const QString base = target.exists() ? folder : target.absolutePath();
    errno = 0;
    if (!QDir().mkpath(base))
        return failed(system_error::reason(errno));
    QTemporaryDir work(QDir(base).filePath(QStringLiteral(".impressos-XXXXXX")));
    if (!work.isValid())
        return failed(system_error::reason(errno));
    const QDir dir(work.path());
    QString why = writePictures(jobs, dir, format);
    if (why.isEmpty())
        why = writeFile(dir.filePath(QLatin1String(kListingName)), listing(jobs, format).toUtf8());
    if (!why.isEmpty())
        return failed(why);
    if (!target.exists()) {
        if (::rename(
                QFile::encodeName(work.path()).constData(), QFile::encodeName(folder).constData())
            != 0)
            return failed(system_error::reason(errno));
        work.setAutoRemove(false);
        // Made private as a work folder; now as any folder the operator makes.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::chmod(QFile::encodeName(folder).constData(), 0777 & ~mask) != 0)
            return failed(system_error::reason(errno));
        return {};
    }
    const QDir out(folder);
    for (const QString &name : earlierOutput(out)) {
        if (!QFile::remove(out.filePath(name)))
            return failed(QStringLiteral("%1 não pôde ser apagado").arg(name));
    }
    for (const QString &name : dir.entryList(QDir::Files)) {
        if (::rename(QFile::encodeName(dir.filePath(name)).constData(),
                QFile::encodeName(out.filePath(name)).constData())
            != 0)
            return failed(system_error::reason(errno));
    }
    return {};
}

} // namespace printed_folder
