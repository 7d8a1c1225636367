#pragma once

#include "printer_link/printer_link.h"

// Logs every call under vorel.printer, then passes it on. The windows hold this link; the
// printer behind it may change while they hold it.
class LoggingLink : public PrinterLink
{
public:
    explicit LoggingLink(PrinterLink &inner)
        : m_inner(&inner)
    { }

    // The next call goes to `inner`; the one before may then be destroyed.
    void setInner(PrinterLink &inner) { m_inner = &inner; }

    [[nodiscard]] LinkResult Estado(int16_t port) override;
    [[nodiscard]] LinkResult TX(int16_t port, const QByteArray &bytes) override;
    LinkResult TXI(int16_t port, const QByteArray &bytes) override;
    void Sleep(uint32_t milliseconds) override;

private:
    PrinterLink *m_inner;
};
