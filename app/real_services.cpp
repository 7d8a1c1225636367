#include "app/real_services.h"

#include "app/logging.h"

#include <QMessageBox>

void BoxMessageSink::show(QWidget *parent, const QString &text)
{
    qCInfo(lcUi).noquote() << "message:" << text;
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box.exec();
}
