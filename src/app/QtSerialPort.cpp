#include "QtSerialPort.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#include <ini.h>

#include <algorithm>
#include <cstring>
#include <string>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
constexpr int WRITE_WAIT_MS = 200;
}

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
    // A device that hangs up makes QSerialPort report errors over and over
    // until it is closed: close at the first real error and let the link's
    // give-up and no-connection rules take over.
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QtSerialPort::~QtSerialPort() {
    close();
}

bool QtSerialPort::open(const QString& device) {
    close();
    device_ = device;
    errorText_.clear();
    lastError_ = QSerialPort::NoError;
    if (device.isEmpty()) {
        errorText_ = QStringLiteral("no device");
        lastError_ = QSerialPort::DeviceNotFoundError;
        return false;
    }
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        lastError_ = port_.error();
        errorText_ = port_.errorString();
        port_.clearError();
        return false;
    }
    port_.setBaudRate(QSerialPort::Baud57600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(0);              // unbounded: the poll takes what is queued
    port_.clear(QSerialPort::AllDirections); // stale input from before the open
    return true;
}

void QtSerialPort::close() {
    if (port_.isOpen()) {
        port_.close();
    }
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) {
        return;
    }
    lastError_ = error;
    if (!port_.isOpen()) {
        return;
    }
    errorText_ = port_.errorString();
    port_.close();
    ++closedOnError_;
    emit closedOnError(errorText_);
}

std::optional<std::size_t> QtSerialPort::queuedBytes() {
    if (!port_.isOpen()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(std::max<qint64>(0, port_.bytesAvailable()));
}

std::size_t QtSerialPort::read(std::uint8_t* dst, std::size_t n) {
    if (!port_.isOpen()) {
        return 0;
    }
    const qint64 got = port_.read(reinterpret_cast<char*>(dst), static_cast<qint64>(n));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

bool QtSerialPort::write(const std::uint8_t* src, std::size_t n) {
    if (!port_.isOpen()) {
        return false;
    }
    const qint64 put = port_.write(reinterpret_cast<const char*>(src), static_cast<qint64>(n));
    if (put != static_cast<qint64>(n)) {
        return false;
    }
    // The request is on its way when the driver has taken it.
    while (port_.isOpen() && port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(WRITE_WAIT_MS)) {
            return false;
        }
    }
    return port_.isOpen();
}

namespace {
struct PortLookup {
    std::string key;
    std::string value;
};

int portsHandler(void* user, const char* section, const char* name, const char* value) {
    auto* lookup = static_cast<PortLookup*>(user);
    if (strcasecmp(section, "PORTS") == 0 && strcasecmp(name, lookup->key.c_str()) == 0) {
        lookup->value = value;
    }
    return 1;
}
} // namespace

QStringList SystemPortList() {
    QStringList paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        paths << info.systemLocation();
    }
    paths.sort();
    return paths;
}

QString ResolvePortDevice(int n, const QString& settingsFile, const QStringList& listed) {
    PortLookup lookup{"COM" + std::to_string(n), {}};
    if (!settingsFile.isEmpty() && QFileInfo::exists(settingsFile)) {
        ini_parse(settingsFile.toLocal8Bit().constData(), portsHandler, &lookup);
        if (!lookup.value.empty()) {
            return QString::fromStdString(lookup.value);
        }
    }
    if (n >= 1 && n <= listed.size()) {
        return listed[n - 1];
    }
    return {};
}

QString PermissionAdvice(const QString& device) {
#ifdef Q_OS_UNIX
    if (::access(device.toLocal8Bit().constData(), R_OK | W_OK) == 0) {
        // Allowed, but locked: another program has the port open.
        return QStringLiteral("%1 is in use by another program.").arg(device);
    }
    struct stat st {};
    if (::stat(device.toLocal8Bit().constData(), &st) != 0) {
        return {};
    }
    const group* g = ::getgrgid(st.st_gid);
    if (g == nullptr || g->gr_name == nullptr) {
        return {};
    }
    return QStringLiteral("%1 belongs to the group \"%2\": add your user to that group "
                          "(sudo usermod -aG %2 $USER) and log in again.")
        .arg(device, QString::fromLocal8Bit(g->gr_name));
#else
    Q_UNUSED(device);
    return {};
#endif
}
