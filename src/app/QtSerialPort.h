// The link's serial port on QSerialPort: 57600 baud, 8 data bits, no parity,
// 1 stop bit, no flow control.
#pragma once

#include "link/SerialPort.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>

class QtSerialPort : public QObject, public zentrova::SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    // Opens and configures the device; false with a reason on failure.
    bool open(const QString& device);
    void close();
    QString device() const { return device_; }
    QString errorText() const { return errorText_; }
    QSerialPort::SerialPortError lastError() const { return lastError_; }
    int closedOnErrorCount() const { return closedOnError_; }

    bool isOpen() const override { return port_.isOpen(); }
    std::optional<std::size_t> queuedBytes() override;
    std::size_t read(std::uint8_t* dst, std::size_t n) override;
    bool write(const std::uint8_t* src, std::size_t n) override;

signals:
    // The port was closed because the device failed (hung up, pulled out).
    void closedOnError(const QString& reason);

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QString device_;
    QString errorText_;
    QSerialPort::SerialPortError lastError_ = QSerialPort::NoError;
    int closedOnError_ = 0;
};

// The serial ports the system lists, by device path.
QStringList SystemPortList();
// Port n (1..20) as a device: the settings file's section "PORTS", key "COMn",
// else the n-th of the listed ports. Empty when neither names one.
QString ResolvePortDevice(int n, const QString& settingsFile, const QStringList& listed);

// For a device that refused to open for lack of permission: a line telling
// the user how to get access (the group that owns it), or that another
// program holds it; empty when there is nothing useful to say.
QString PermissionAdvice(const QString& device);
