#include "testhost.h"

#include "maintenance.h"
#include "playerhost.h"
#include "startoptions.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QQmlContext>
#include <QQmlEngine>

TestHost::TestHost(QQmlEngine *engine, PlayerHost *host, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_host(host)
{
}

QString TestHost::buildDir() const
{
    return QStringLiteral(VORLUMEN_BUILD_DIR);
}

QString TestHost::sourceDir() const
{
    return QStringLiteral(VORLUMEN_SOURCE_DIR);
}

QString TestHost::tempDir() const
{
    return qEnvironmentVariable("VORLUMEN_TEST_TMP", QDir::tempPath());
}

void TestHost::setCommandLine(const QStringList &arguments)
{
    m_host->setArguments(arguments);
}

QVariantMap TestHost::parseCommandLine(const QStringList &arguments) const
{
    return host::startOptions(arguments);
}

bool TestHost::writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

QString TestHost::readFile(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

bool TestHost::makePath(const QString &path) const
{
    return QDir().mkpath(path);
}

bool TestHost::removePath(const QString &path) const
{
    const QFileInfo info(path);
    if (info.isDir())
        return QDir(path).removeRecursively();
    return !info.exists() || QFile::remove(path);
}

bool TestHost::exists(const QString &path) const
{
    return QFileInfo::exists(path);
}

bool TestHost::copyFile(const QString &from, const QString &to) const
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    return QFile::copy(from, to);
}

bool TestHost::setReadOnly(const QString &path, bool readOnly) const
{
    QFile::Permissions permissions = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
        | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    if (!readOnly)
        permissions |= QFile::WriteOwner;
    return QFile::setPermissions(path, permissions);
}

void TestHost::forgetSettingsConnection() const
{
    Maintenance::releaseLocalStorageConnection(QStringLiteral("VorlumenDB"));
}

QStringList TestHost::listFolder(const QString &path) const
{
    return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QString TestHost::settingsDatabaseFile() const
{
    return m_engine->offlineStoragePath() + QStringLiteral("/Databases/")
        + Maintenance::localStorageId(QStringLiteral("VorlumenDB")) + QStringLiteral(".sqlite");
}

QVariantMap TestHost::imageInfo(const QString &path, int x, int y) const
{
    QVariantMap info;
    QImage image(path);
    info[QStringLiteral("valid")] = !image.isNull();
    info[QStringLiteral("width")] = image.width();
    info[QStringLiteral("height")] = image.height();
    if (image.valid(x, y))
        info[QStringLiteral("color")] = QColor(image.pixel(x, y)).name();
    return info;
}
