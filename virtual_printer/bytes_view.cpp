#include "virtual_printer/bytes_view.h"

#include "virtual_printer/hex_dump.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr qsizetype kPageBytes = BytesView::kPageRows * hex_dump::kRowBytes;

} // namespace

BytesView::BytesView(QWidget *parent)
    : QWidget(parent)
    , m_text(new QPlainTextEdit(this))
    , m_pager(new QWidget(this))
    , m_where(new QLabel(m_pager))
    , m_previous(new QPushButton(QStringLiteral("< Anteriores"), m_pager))
    , m_next(new QPushButton(QStringLiteral("Seguintes >"), m_pager))
{
    m_text->setObjectName(QStringLiteral("bytes"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlaceholderText(QStringLiteral("Os bytes da chamada escolhida no diário"));
    m_where->setObjectName(QStringLiteral("bytesPagina"));
    m_previous->setObjectName(QStringLiteral("bytesAnteriores"));
    m_next->setObjectName(QStringLiteral("bytesSeguintes"));
    connect(m_previous, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });

    auto *pager = new QHBoxLayout(m_pager);
    pager->setContentsMargins(0, 0, 0, 0);
    pager->addWidget(m_where, 1);
    pager->addWidget(m_previous);
    pager->addWidget(m_next);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_pager);
    m_pager->hide();
}

void BytesView::setBytes(const QByteArray &bytes)
{
    m_bytes = bytes;
    m_pager->setVisible(pageCount() > 1);
    showPage(0);
}

qsizetype BytesView::pageCount() const
{
    return (m_bytes.size() + kPageBytes - 1) / kPageBytes;
}

void BytesView::showPage(qsizetype page)
{
    m_page = std::clamp<qsizetype>(page, 0, std::max<qsizetype>(pageCount() - 1, 0));
    m_text->setPlainText(hex_dump::rows(m_bytes, m_page * kPageRows, kPageRows));
    const qsizetype first = m_page * kPageBytes;
    m_where->setText(QStringLiteral("bytes %1 a %2 de %3")
                         .arg(first)
                         .arg(std::min(first + kPageBytes, m_bytes.size()) - 1)
                         .arg(m_bytes.size()));
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < pageCount());
}
