#pragma once

#include "app/settings.h"
#include "printer_link/port_discovery.h"

#include <QDialog>
#include <QLocale>
#include <QVector>
#include <functional>
#include <optional>

class MessageSink;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;

// "Configuração da impressora": which printer, the device behind each port, the serial line and
// the write time limit. "OK" hands the choice over in chosen(); "Cancelar" leaves it all as it was.
class PrinterSetupDialog : public QDialog
{
    Q_OBJECT
public:
    struct Context
    {
        MessageSink *messages = nullptr;
        QLocale locale;
        QString testLine; // the main window's test line, for "Enviar linha de teste"
        QString note; // shown above the buttons when not empty
        // Lets go of the ports the program holds, so that they do not read as busy.
        std::function<void()> releasePorts;
        std::function<QList<port_discovery::SerialEntry>()> serialPorts
            = port_discovery::systemSerialPorts;
    };

    PrinterSetupDialog(const PrinterSettings &current, Context context, QWidget *parent = nullptr);

    // The settings the dialog shows, once it was accepted.
    [[nodiscard]] const PrinterSettings &chosen() const { return m_chosen; }

    void accept() override;

private:
    struct PortRow
    {
        int16_t code;
        settings::Key key;
        PortDevice::Kind kind;
        QComboBox *device = nullptr;
        QLabel *state = nullptr;
        std::optional<QString> checked = {}; // the path the state speaks of
    };

    void addPortRow(PortRow row);
    void discover();
    // Diagnoses the rows whose path changed since their last diagnosis.
    void diagnose();
    void test(const PortRow &row);
    void sendTestLine(const PortRow &row);
    void showOutcome(const PortRow &row, bool ok, const QString &text);
    void chooseLibrary();
    void followPrinter();
    [[nodiscard]] bool isChosen(PrinterSettings::Printer printer) const;
    [[nodiscard]] QString devicePath(const PortRow &row) const;
    // Every key with its text as the widgets hold it.
    [[nodiscard]] QList<std::pair<settings::Key, QString>> texts() const;
    // The ports as the widgets hold them; a value that cannot be used keeps the current one.
    [[nodiscard]] PortSettings ports() const;

    PrinterSettings m_current;
    PrinterSettings m_chosen;
    Context m_context;
    QRadioButton *m_printers[3] = {};
    QLineEdit *m_library;
    QWidget *m_libraryRow;
    QGroupBox *m_portsBox;
    QGridLayout *m_portGrid;
    QVector<PortRow> m_rows;
    QComboBox *m_speed;
    QComboBox *m_flow;
    QLineEdit *m_timeout;
    QTimer *m_recheck;
};
