#include "auth/document_waiter.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DocumentWaiter::DocumentWaiter(QWidget *owner, std::chrono::milliseconds dialogDelay)
    : m_owner(owner)
    , m_dialogDelay(dialogDelay)
{
    m_tick.setSingleShot(true);
    m_tick.setTimerType(Qt::PreciseTimer);
    m_tick.setInterval(1);
}

DocumentWaiter::~DocumentWaiter()
{
    delete m_dialog;
}

bool DocumentWaiter::keepWaiting()
{
    if (!m_elapsed.isValid())
        m_elapsed.start();
    if (!m_dialog && !m_cancelled && m_elapsed.elapsed() >= m_dialogDelay.count())
        showDialog();

    const QEventLoop::ProcessEventsFlags flags
        = m_dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
    m_tick.start();
    // Blocks in the event dispatcher until the tick or an event arrives: no busy waiting.
    while (m_tick.isActive() && !m_cancelled)
        QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
    m_tick.stop();
    return !m_cancelled;
}

void DocumentWaiter::showDialog()
{
    auto *dialog = new QDialog(m_owner);
    dialog->setObjectName(QStringLiteral("Aguardando"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumWidth(260);
    auto *label = new QLabel(QStringLiteral("Aguardando o documento..."), dialog);
    label->setAlignment(Qt::AlignCenter);
    auto *cancel = new QPushButton(QStringLiteral("Cancelar"), dialog);
    cancel->setObjectName(QStringLiteral("Cancelar"));
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(label);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    // Escape and the frame's close button reject the dialog: both cancel too.
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    QObject::connect(dialog, &QDialog::rejected, dialog, [this] { m_cancelled = true; });
    m_dialog = dialog;
    dialog->show();
}
