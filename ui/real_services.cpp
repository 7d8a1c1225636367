#include "ui/real_services.h"

#include "core/logging.h"

#include <QMessageBox>

void BoxMessageSink::show(QWidget *parent, const QString &text)
{
    qCInfo(lcUi).noquote() << "message:" << text;
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box.exec();
}
