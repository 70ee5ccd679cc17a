#include "Config.h"

#include <QDir>

namespace {
const QString SETTINGS_FILE_NAME = QStringLiteral("Zentrova.ini");
}

QString ConfigDir() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/Zentrova");
}

QString SettingsFilePath() {
    return ConfigDir() + '/' + SETTINGS_FILE_NAME;
}
QString SideFilePath() {
    return ConfigDir() + QStringLiteral("/_") + SETTINGS_FILE_NAME;
}
QString TestMarkerFilePath() {
    return ConfigDir() + QStringLiteral("/test_kelvor.txt");
}
