// Where the tool keeps its files: $XDG_CONFIG_HOME/Zentrova, by default
// ~/.config/Zentrova.
#pragma once

#include <QString>

QString ConfigDir();
QString SettingsFilePath();   // Zentrova.ini
QString SideFilePath();       // _Zentrova.ini, the image kept between runs
QString TestMarkerFilePath(); // test_kelvor.txt
