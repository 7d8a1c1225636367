#pragma once

#include "printer_link/port_diagnosis.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The devices this machine offers for LPT1/LPT2 and COM1/COM2, each with what is known of the
// device behind it and its diagnosis. Listing sends nothing to any device.
namespace port_discovery {

// One serial port as the system reports it; empty where unknown.
struct SerialEntry
{
    QString path; // "/dev/ttyUSB0"
    QString description;
    QString manufacturer;
    QString serialNumber;
};

struct Found
{
    QString path;
    QString label; // the path, then what the device is: "/dev/ttyUSB0 — FT232R USB UART, FTDI"
    port_diagnosis::Diagnosis diagnosis;
};

// Every serial port the system reports (pseudo-terminals are not among them).
[[nodiscard]] QList<SerialEntry> systemSerialPorts();
// The serial ports in `entries`, in natural order (ttyS2 before ttyS10), each diagnosed.
[[nodiscard]] QList<Found> serialPorts(const QList<SerialEntry> &entries);
// lp*, usb/lp* and parport* under `devRoot`, in that order, each diagnosed; a USB printer
// with its maker and model.
[[nodiscard]] QList<Found> parallelPorts(const QString &devRoot = QStringLiteral("/dev"));

// A printer's IEEE 1284 device ID ("MFG:ACME;MDL:X-100;CMD:...") split into what matters here.
struct DeviceId
{
    QString maker;
    QString model;
};
[[nodiscard]] DeviceId parseDeviceId(const QByteArray &id);
// The device ID of the USB printer at `path`, without the length in front; empty when the
// device is no USB printer or does not answer. Opens it read-only and non-blocking.
[[nodiscard]] QByteArray readDeviceId(const QString &path);

} // namespace port_discovery
