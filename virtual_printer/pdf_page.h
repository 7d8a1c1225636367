#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSizeF>
#include <QString>
#include <memory>

class PdfPageEngine;

// One PDF page of lines, rectangles, dots and text in the standard PDF fonts (Courier for
// fixed-pitch text, Helvetica for the rest, in cp1252), for the drawn paper. Qt's own PDF writer
// embeds each font it uses in every file, and that took 90 % of the time of a file: a journal of
// a thousand checks took seconds where it now takes a fraction of one.
class PdfPage : public QPaintDevice
{
public:
    // A page of `sizeMm`, drawn on at kDotsPerInch.
    PdfPage(QSizeF sizeMm, QString title);
    ~PdfPage() override;

    static constexpr int kDotsPerInch = 720;

    [[nodiscard]] QPaintEngine *paintEngine() const override;
    // The file, once painting has ended.
    [[nodiscard]] QByteArray bytes() const;

protected:
    [[nodiscard]] int metric(PaintDeviceMetric metric) const override;

private:
    QSizeF m_sizeMm;
    QString m_title;
    std::unique_ptr<PdfPageEngine> m_engine;
};
