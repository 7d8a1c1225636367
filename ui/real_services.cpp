#include "ui/real_services.h"

#include "core/logging.h"

#include <QAbstractButton>
#include <QMessageBox>

void BoxMessageSink::show(QWidget *parent, const QString &text)
{
    qCInfo(lcUi).noquote() << "message:" << text;
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool BoxQuestion::ask(QWidget *parent, const QString &text)
{
    QMessageBox box(
        QMessageBox::Question, QString(), text, QMessageBox::Yes | QMessageBox::No, parent);
    // Named here rather than by Qt's translation, which may be missing.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Sim"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Não"));
    box.setDefaultButton(QMessageBox::No);
    const bool yes = box.exec() == QMessageBox::Yes;
    qCInfo(lcUi).noquote() << "question:" << text << (yes ? "-> Sim" : "-> Não");
    return yes;
}
