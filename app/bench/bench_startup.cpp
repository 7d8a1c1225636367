// Start-up of vorel-demo to its main window shown, beside a bare Qt window (one line of text)
// started the same way. Each sample is a fresh process, timed from just before it is started to
// the end of its window's first paint (the child reads the same monotonic clock); tearing the
// process down is not counted. The figures are the medians of that time and of peak memory.
#include "app/main_window.h"
#include "app/options.h"
#include "app/qt_texts.h"
#include "app/shell.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

namespace {

int64_t monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t {now.tv_sec} * 1000000000 + now.tv_nsec;
}

// Reports peak memory (KiB) once the window has been painted for the first time, and quits.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Queued, so it runs once this paint is done and before anything queued after it.
            QTimer::singleShot(0, [] {
                rusage usage {};
                getrusage(RUSAGE_SELF, &usage);
                std::printf("%lld %ld\n", static_cast<long long>(monotonicNs()), usage.ru_maxrss);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

// Child: builds and shows its window as the program does.
int child(int argc, char *argv[], bool vorel)
{
    // As main.cpp starts: Qt's translation loaded, the options read under an application
    // without a display, then the one with windows.
    QTranslator qtTexts;
    if (vorel) {
        qt_texts::load(qtTexts);
        const QCoreApplication reading(argc, argv);
        QCoreApplication::installTranslator(&qtTexts);
        (void)parseOptions({QCoreApplication::arguments().constFirst()});
    }
    QApplication app(argc, argv);
    if (vorel)
        QCoreApplication::installTranslator(&qtTexts);
    FirstPaint probe;
    BoxMessageSink messages;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<QWidget> bare;
    if (vorel) {
        shell = std::make_unique<Shell>(Options {}, messages);
        shell->show();
        // Installed last, so it sees the first paint before the shell does.
        shell->mainWindow().installEventFilter(&probe);
    } else {
        // The least a window shows is a line of text, so both pay for the font system.
        bare = std::make_unique<QWidget>();
        bare->resize(337, 450);
        new QLabel(QStringLiteral("VOREL"), bare.get());
        bare->installEventFilter(&probe);
        bare->show();
    }
    return QApplication::exec();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1
        && (std::string(argv[1]) == "--child-bare" || std::string(argv[1]) == "--child-vorel"))
        return child(argc, argv, std::string(argv[1]) == "--child-vorel");

    QCoreApplication app(argc, argv);
    // Fifteen samples swung from 0.83x to 1.20x on a virtual machine; 41 swing less, though
    // still by a tenth or more from run to run.
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    std::vector<double> time[2], memory[2];
    for (int i = 0; i < runs; ++i) {
        for (int kind = 0; kind < 2; ++kind) {
            QProcess p;
            const int64_t started = monotonicNs();
            p.start(QCoreApplication::applicationFilePath(),
                {kind == 0 ? QStringLiteral("--child-bare") : QStringLiteral("--child-vorel")});
            if (!p.waitForFinished(30000) || p.exitCode() != 0) {
                std::fprintf(stderr, "child failed: %s\n", p.readAllStandardError().constData());
                return 1;
            }
            const QList<QByteArray> figures = p.readAllStandardOutput().trimmed().split(' ');
            if (figures.size() != 2) {
                std::fprintf(stderr, "child said nothing\n");
                return 1;
            }
            time[kind].push_back((figures[0].toLongLong() - started) / 1e6);
            memory[kind].push_back(figures[1].toDouble() / 1024.0);
        }
    }
    const double tb = median(time[0]), tv = median(time[1]);
    const double mb = median(memory[0]), mv = median(memory[1]);
    const QString row = QStringLiteral("início até a janela principal (mediana de %1)\t").arg(runs);
    std::printf("%s%s\t%.1f ms\t%.1f MiB\n", qPrintable(row), "janela Qt mínima", tb, mb);
    std::printf("%s%s\t%.1f ms\t%.1f MiB\n", qPrintable(row), "vorel-demo", tv, mv);
    std::printf("%s%s\t%.2fx tempo\t%.2fx memória\n", qPrintable(row), "razão", tv / tb, mv / mb);
    return 0;
}
