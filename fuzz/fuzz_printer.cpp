// libFuzzer entry: any bytes, cut into calls at each 0x1E, go through the decoder, the job
// collector and the renderer. Run it with fuzz/run.sh.
#include "virtual_printer/command_decoder.h"
#include "virtual_printer/job_collector.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/virtual_printer.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    JobCollector collector;
    int index = 0;
    for (const QByteArray &call : input.split('\x1e')) {
        (void)command_decoder::summary(command_decoder::decode(call));
        const JournalEntry entry {
            QDateTime::currentDateTime(), JournalEntry::Call::TX, 888, call, 0};
        for (const PaperJob &job : collector.add(index++, entry)) {
            (void)paper_renderer::notes(job);
            (void)paper_renderer::render(job, 1);
        }
    }
    return 0;
}
