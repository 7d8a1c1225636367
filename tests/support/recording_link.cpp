#include "tests/support/recording_link.h"

namespace {

int16_t next(const QList<int16_t> &script, int &index, int16_t fallback)
{
    if (script.isEmpty())
        return fallback;
    const int16_t v = script.at(qMin(index, int(script.size()) - 1));
    ++index;
    return v;
}

} // namespace

LinkResult RecordingLink::Estado(int16_t port)
{
    LinkResult r {next(statuses, m_statusIndex, 0xD8), estadoError};
    record({QStringLiteral("Estado"), port, {}, 0});
    return r;
}

LinkResult RecordingLink::TX(int16_t port, const QByteArray &bytes)
{
    LinkResult r {next(txResults, m_txIndex, 0), txError};
    record({QStringLiteral("TX"), port, bytes, 0});
    return r;
}

LinkResult RecordingLink::TXI(int16_t port, const QByteArray &bytes)
{
    record({QStringLiteral("TXI"), port, bytes, 0});
    return {};
}

void RecordingLink::Sleep(uint32_t milliseconds)
{
    record({QStringLiteral("Sleep"), 0, {}, milliseconds});
}

void RecordingLink::record(Call call)
{
    calls.append(call);
    if (onCall)
        onCall(calls.last());
}

QStringList RecordingLink::names() const
{
    QStringList out;
    for (const Call &c : calls)
        out << c.name;
    return out;
}

QVector<RecordingLink::Call> RecordingLink::only(const QString &name) const
{
    QVector<Call> out;
    for (const Call &c : calls) {
        if (c.name == name)
            out << c;
    }
    return out;
}
