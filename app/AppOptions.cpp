#include "app/AppOptions.h"

#include <QSettings>
#include <limits>

namespace {

// Every option is a whole number from 0 (off) up to its largest value:
// a new option is one more line here.
struct OptionField {
    const char *key;
    int32_t AppOptions::*field;
    int32_t largest;
};
const OptionField Fields[] = {
    {"Options/UntilMissing", &AppOptions::UntilMissing, std::numeric_limits<int32_t>::max()},
    {"Options/SkipExisting", &AppOptions::SkipExisting, 1},
    {"Options/Retries", &AppOptions::Retries, AppOptions::MostRetries},
    {"Options/WaitMs", &AppOptions::WaitMs, AppOptions::LongestWaitMs},
};

} // namespace

QString AppOptions::FilePath(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("/Tavrin.conf");
}

AppOptions AppOptions::Load(const QString &dataFolder)
{
    const QSettings file(FilePath(dataFolder), QSettings::IniFormat);
    AppOptions options;
    for (const OptionField &option : Fields) {
        bool ok = false;
        const int value = file.value(QLatin1String(option.key)).toString().toInt(&ok);
        if (ok && value >= 0 && value <= option.largest)
            options.*option.field = value;
    }
    return options;
}

bool AppOptions::Save(const QString &dataFolder, QString *message) const
{
    QSettings file(FilePath(dataFolder), QSettings::IniFormat);
    // An option that is off and was never set stays out of the file.
    for (const OptionField &option : Fields) {
        const QLatin1String key(option.key);
        if (this->*option.field != 0 || file.contains(key))
            file.setValue(key, this->*option.field);
    }
    file.sync();
    if (file.status() == QSettings::NoError)
        return true;
    if (message)
        *message = QStringLiteral("Unable to save: ") + FilePath(dataFolder);
    return false;
}
