#include "Settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {
const QString Section = QStringLiteral("Strelmark");
}

Settings::Settings() : Settings(defaultPath()) {}

Settings::Settings(const QString &iniPath)
    : store_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

Settings::~Settings() = default;

QString Settings::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Brindlewick.ini");
}

QString Settings::path() const {
    return store_->fileName();
}

QString Settings::get(const QString &key, const QString &defaultValue) const {
    const QVariant value = store_->value(Section + u'/' + key);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value with unquoted commas reads back as a list; it is one text to us.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

void Settings::save(const QString &key, const QString &value) {
    store_->setValue(Section + u'/' + key, value);
    store_->sync();
}
