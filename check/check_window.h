#pragma once

#include "ui/services.h"

#include <QPointer>
#include <QWidget>
#include <span>

namespace form {
struct Control;
}

class ActivationWatcher;
class QAbstractButton;
class LayoutEditor;
class LineField;
class QPushButton;
class TextField;

// "Cheque": the data of one check, kept in Dados_cheque.txt from one use to the next.
class CheckWindow : public QWidget
{
    Q_OBJECT
public:
    CheckWindow(const Services &services, PortaSource porta, QWidget *parent = nullptr);
    // The table the window is built from: every control with its caption and place.
    [[nodiscard]] static std::span<const form::Control> table();
    ~CheckWindow() override;

    // Layout string of the bank last validated; empty until the first validation.
    QString Formato_cheque;

    // Looks the bank number up in the layout table, or warns and takes the default layout.
    // True when the operator was told something.
    bool validateBank();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void printFront();
    void printObservations();
    void printBack(bool indented);
    // Saves the fields, then sends `commands` carrying `texts` as sendCommands() does.
    bool send(const QList<QByteArray> &commands, const QStringList &texts);
    void validateValue();
    void focusMoved(QWidget *from, QWidget *to);
    void load();
    void store();
    void openLayoutEditor();
    void reportFileError(QString &told, const QString &text);

    Services m_services;
    PortaSource m_porta;
    LineField *m_bank; // Text1
    LineField *m_value; // Text2
    LineField *m_payee; // Text3
    LineField *m_date; // Text4
    LineField *m_observation1; // Text5
    LineField *m_observation2; // Text6
    TextField *m_back; // Text7
    LineField *m_city; // Text8
    QPushButton *m_layoutButton; // Command5, "Formato do cheque"
    ActivationWatcher *m_activation = nullptr;
    LayoutEditor *m_editor = nullptr;
    // Failures already told, one for reading and one for writing the data file.
    QString m_readError;
    QString m_writeError;
    // Why the data file could not be read at the last activation; such a file is not replaced
    // with fields it never filled.
    QString m_unreadable;
    // The bank number was left for "Formato do cheque", which validates it itself.
    bool m_bankPending = false;
    // A press on this button took the focus from the bank number and met its message: the
    // message box took the rest of the click, so the press itself clicks once it arrives.
    QPointer<QAbstractButton> m_clickAfterMessage;
};
