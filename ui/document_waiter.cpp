#include "ui/document_waiter.h"

#include "ui/busy_action.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The outermost window above `w`: windows with the same one are blocked together.
QWidget *family(QWidget *w)
{
    w = w->window();
    while (w->parentWidget())
        w = w->parentWidget()->window();
    return w;
}

} // namespace

DocumentWaiter::DocumentWaiter(
    QWidget *owner, std::chrono::milliseconds dialogDelay, QWidget *alsoBlocked)
    : m_owner(owner)
    , m_alsoBlocked(alsoBlocked)
    , m_dialogDelay(dialogDelay)
{
    m_tick.setSingleShot(true);
    m_tick.setTimerType(Qt::PreciseTimer);
    m_tick.setInterval(1);
}

DocumentWaiter::~DocumentWaiter()
{
    QCoreApplication::instance()->removeEventFilter(this);
    delete m_dialog;
}

bool DocumentWaiter::keepWaiting()
{
    if (!m_elapsed.isValid()) {
        m_elapsed.start();
        QCoreApplication::instance()->installEventFilter(this);
    }
    if (!m_dialogShown && !m_cancelled && m_elapsed.elapsed() >= m_dialogDelay.count())
        showDialog();

    m_tick.start();
    // Blocks in the event dispatcher until the tick or an event arrives: no busy waiting.
    while (m_tick.isActive() && !m_cancelled)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    m_tick.stop();
    return !m_cancelled;
}

bool DocumentWaiter::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType() || !isUserInput(event->type()))
        return false;
    const QWidget *from = family(static_cast<QWidget *>(watched));
    if (m_alsoBlocked && from == family(m_alsoBlocked))
        return true;
    // Once the dialog is up, window modality does this, and lets the dialog's own input through.
    return !m_dialogShown && from == family(m_owner);
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
    connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    connect(dialog, &QDialog::rejected, this, [this] { m_cancelled = true; });
    m_dialog = dialog;
    m_dialogShown = true;
    dialog->show();
}
