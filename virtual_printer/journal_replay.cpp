#include "virtual_printer/journal_replay.h"

#include "virtual_printer/command_decoder.h"
#include "virtual_printer/journal_format.h"

namespace journal_replay {

namespace {

using Call = JournalEntry::Call;

// What TXI answers is only shown.
QString answer(const LinkResult &r, bool tx)
{
    if (r.callFailed())
        return QStringLiteral("erro: ") + r.error;
    return tx && r.value < 0 ? QStringLiteral("recusada (%1)").arg(r.value)
                             : QString::number(r.value);
}

} // namespace

Result replay(PrinterLink &link, const QVector<JournalEntry> &journal,
    monitored_mode::Waiter &waiter, const std::function<void(const Event &)> &report,
    const std::function<bool()> &stop)
{
    const auto tell = [&report](Event::Kind kind, int call, const LinkResult &r = {}) {
        if (report)
            report({kind, call, r});
    };
    bool monitored = false; // ESC "~1" went out, ESC "~0" not yet
    bool document = false; // and the document came
    int16_t monitoredPort = 0;
    Result result;
    const auto leave = [&](Outcome outcome, int call, const QString &error) {
        if (monitored)
            tell(Event::Kind::Ended, call, link.TXI(monitoredPort, monitored_mode::end()));
        result.outcome = outcome;
        result.call = call;
        result.error = error;
        return result;
    };
    for (int i = 0; i < journal.size(); ++i) {
        const JournalEntry &e = journal.at(i);
        if (e.call != Call::TX && e.call != Call::TXI) {
            tell(Event::Kind::Skipped, i);
            continue;
        }
        if (stop && stop())
            return leave(Outcome::Stopped, i, {});
        const bool bare = e.bytes == monitored_mode::start() || e.bytes == monitored_mode::end();
        if (monitored && !document && !bare) {
            tell(Event::Kind::Waiting, i);
            const monitored_mode::WaitResult waited = monitored_mode::waitForDocument(
                link, [&e] { return e.port; }, waiter);
            if (waited.outcome == monitored_mode::Wait::GivenUp)
                return leave(Outcome::GivenUp, i, {});
            if (waited.outcome == monitored_mode::Wait::StatusFailed)
                return leave(Outcome::StatusFailed, i, waited.error);
            document = true;
        }
        const LinkResult r
            = e.call == Call::TX ? link.TX(e.port, e.bytes) : link.TXI(e.port, e.bytes);
        ++result.sent;
        tell(Event::Kind::Sent, i, r);
        if (e.call == Call::TX ? r.refused() : r.callFailed())
            return leave(Outcome::Refused, i, r.error);
        switch (monitored_mode::find(e.bytes)) {
        case monitored_mode::Command::Start:
            monitored = true;
            document = false;
            monitoredPort = e.port;
            break;
        case monitored_mode::Command::End:
            monitored = false;
            break;
        case monitored_mode::Command::None:
            break;
        }
    }
    return result;
}

QString describe(const QVector<JournalEntry> &journal, const Event &event)
{
    const JournalEntry &e = journal.at(event.call);
    const QString call = QStringLiteral("chamada %1: ").arg(event.call + 1);
    switch (event.kind) {
    case Event::Kind::Skipped:
        return call + journal_format::callText(e)
            + (e.call == Call::Sleep ? QStringLiteral(" %1 ms").arg(e.result)
                                     : QLatin1Char(' ') + port_code::name(e.port))
            + QStringLiteral(": não repetida");
    case Event::Kind::Waiting:
        return call
            + QStringLiteral("aguardando o documento (bit 4 do estado da %1)...")
                  .arg(port_code::name(e.port));
    case Event::Kind::Sent:
        return call
            + QStringLiteral("%1 %2, %3 bytes (%4): %5")
                  .arg(callName(e.call), port_code::name(e.port))
                  .arg(e.bytes.size())
                  .arg(command_decoder::summary(command_decoder::decode(
                      e.bytes.first(std::min(e.bytes.size(), journal_format::kShownBytes)))))
                  .arg(answer(event.result, e.call == Call::TX));
    case Event::Kind::Ended:
        return call
            + QStringLiteral("ESC ~0 enviado para encerrar o modo monitorado: %1")
                  .arg(answer(event.result, false));
    }
    return {};
}

QString summary(const Result &result, const QString &givenUp)
{
    const QString where = QStringLiteral("Parou na chamada %1").arg(result.call + 1);
    switch (result.outcome) {
    case Outcome::Done:
        return result.sent == 1 ? QStringLiteral("1 chamada enviada.")
                                : QStringLiteral("%1 chamadas enviadas.").arg(result.sent);
    case Outcome::Refused:
        return result.error.isEmpty()
            ? QStringLiteral("%1: a impressora recusou o comando.").arg(where)
            : QStringLiteral("%1: %2").arg(where, result.error);
    case Outcome::GivenUp:
    case Outcome::Stopped:
        return QStringLiteral("%1: %2").arg(where, givenUp);
    case Outcome::StatusFailed:
        return QStringLiteral("%1, ao esperar o documento: %2").arg(where, result.error);
    }
    return {};
}

} // namespace journal_replay
