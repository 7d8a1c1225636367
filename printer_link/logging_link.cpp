#include "printer_link/logging_link.h"

#include "core/logging.h"

namespace {

QString outcome(const LinkResult &r)
{
    return r.callFailed() ? QStringLiteral("erro: ") + r.error : QString::number(r.value);
}

} // namespace

LinkResult LoggingLink::Estado(int16_t port)
{
    const LinkResult r = m_inner->Estado(port);
    qCInfo(lcPrinter).noquote() << "Estado" << port << "->" << outcome(r);
    return r;
}

LinkResult LoggingLink::TX(int16_t port, const QByteArray &bytes)
{
    const LinkResult r = m_inner->TX(port, bytes);
    qCInfo(lcPrinter).noquote() << "TX" << port << bytes.size() << "bytes" << bytes.toHex(' ')
                                << "->" << outcome(r);
    return r;
}

LinkResult LoggingLink::TXI(int16_t port, const QByteArray &bytes)
{
    const LinkResult r = m_inner->TXI(port, bytes);
    qCInfo(lcPrinter).noquote() << "TXI" << port << bytes.size() << "bytes" << bytes.toHex(' ')
                                << "->" << outcome(r);
    return r;
}

void LoggingLink::Sleep(uint32_t milliseconds)
{
    qCInfo(lcPrinter).noquote() << "Sleep" << milliseconds;
    m_inner->Sleep(milliseconds);
}
