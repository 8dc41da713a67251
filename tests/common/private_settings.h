// The program's names, with the settings store in a private folder that
// lives as long as the test run: no test reads or writes the user's own.
#pragma once

#include "program_data.h"

#include <QSettings>
#include <QTemporaryDir>

class TPrivateSettings {
public:
    TPrivateSettings() {
        vortn::SetProgramNames();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.path());
    }

private:
    QTemporaryDir folder_;
};
