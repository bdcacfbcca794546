#include "app/SettingsFile.h"

#include "app/InstallLayout.h"
#include "platform/NumberFormat.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cmath>

namespace SettingsFile {

bool isInstalledCopy(const QString& appDir, const QString& installedBinFolder)
{
    const QString dir = QFileInfo(appDir).canonicalFilePath();
    if (dir.isEmpty())
        return false;
    if (!installedBinFolder.isEmpty() && dir == QFileInfo(installedBinFolder).canonicalFilePath())
        return true;
    return QFileInfo(QDir(dir).filePath(QLatin1String(InstallLayout::desktopEntryFromBin)))
        .isFile();
}

bool isInstalledCopy(const QString& appDir)
{
    return isInstalledCopy(appDir, QLatin1String(InstallLayout::binFolder));
}

QString folder(const QString& appDir)
{
    const QFileInfo beside(appDir);
    if (beside.isDir() && beside.isWritable() && !isInstalledCopy(appDir))
        return appDir;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config + QLatin1Char('/');
}

namespace {

std::optional<double> asDouble(std::optional<long double> value)
{
    if (!value)
        return std::nullopt;
    const double d = static_cast<double>(*value);
    if (!std::isfinite(d))
        return std::nullopt;
    return d;
}

} // namespace

double readNumber(const ProfileFile& file, const QString& section, const QString& key,
                  double defaultValue)
{
    const std::optional<QString> text = file.readValue(section, key);
    if (!text)
        return defaultValue;
    if (const auto value = asDouble(NumberFormat::tryParseFloat(*text)))
        return *value;
    // Written under the other decimal separator? Three digits after it could as well be a
    // thousands group ("100,000"), so only other forms count as a number.
    const QChar own = NumberFormat::decimalSeparator();
    const QChar other = own == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    static const QRegularExpression grouped(QStringLiteral("[.,]\\d{3}(?!\\d)"));
    if (!text->contains(grouped)) {
        if (const auto value = asDouble(NumberFormat::tryParseFloat(*text, other)))
            return *value;
    }
    return defaultValue;
}

bool readFlag(const ProfileFile& file, const QString& section, const QString& key)
{
    const auto value = NumberFormat::tryParseInteger(file.readString(section, key));
    return value && *value != 0;
}

void writeNumber(ProfileFile& file, const QString& section, const QString& key, double value)
{
    file.writeString(section, key, NumberFormat::formatGeneral(value, 15));
}

void writeFlag(ProfileFile& file, const QString& section, const QString& key, bool value)
{
    file.writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace SettingsFile
