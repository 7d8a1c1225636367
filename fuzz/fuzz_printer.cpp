// libFuzzer entry: any bytes, cut into calls at each 0x1E, go through the decoder, the job
// collector and the renderer (picture and PDF); the same bytes are read as a journal file, header
// and all, and a journal read is written and read again to the same calls. Run it with fuzz/run.sh.
#include "virtual_printer/command_decoder.h"
#include "virtual_printer/job_collector.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/virtual_printer.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
            (void)paper_renderer::pdf(job);
        }
    }

    // What the recorder reads of a file before adding to it, the header included.
    (void)journal_format::whyNotJournal(input);
    const journal_format::Parsed journal = journal_format::parse(input);
    if (!journal.error.isEmpty())
        return 0;
    const journal_format::Parsed again
        = journal_format::parse(journal_format::text(journal.entries).toUtf8());
    if (!again.error.isEmpty() || again.entries.size() != journal.entries.size())
        std::abort();
    for (qsizetype i = 0; i < journal.entries.size(); ++i) {
        const JournalEntry &a = journal.entries.at(i), &b = again.entries.at(i);
        // The file keeps no port for Sleep.
        const bool samePort = a.port == b.port || a.call == JournalEntry::Call::Sleep;
        if (a.time != b.time || a.call != b.call || !samePort || a.bytes != b.bytes
            || a.result != b.result || a.repeats != b.repeats)
            std::abort();
        (void)journal_format::shortened(a.bytes, journal_format::readable);
    }
    return 0;
}
