#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

class PlayerHost;
class QQmlEngine;

// What the QML tests need beyond QML itself: a way to change the command
// line the next window sees, the host's reader of it, and plain file-system
// access for fixtures.
class TestHost : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString buildDir READ buildDir CONSTANT)
    Q_PROPERTY(QString sourceDir READ sourceDir CONSTANT)
    Q_PROPERTY(QString tempDir READ tempDir CONSTANT)

public:
    TestHost(QQmlEngine *engine, PlayerHost *host, QObject *parent = nullptr);

    QString buildDir() const;
    QString sourceDir() const;
    QString tempDir() const;

    // The next document created sees this list's options as `startOptions`.
    Q_INVOKABLE void setCommandLine(const QStringList &arguments);
    // What the host reads from a command line (host::startOptions).
    Q_INVOKABLE QVariantMap parseCommandLine(const QStringList &arguments) const;
    Q_INVOKABLE bool writeFile(const QString &path, const QByteArray &content);
    Q_INVOKABLE QString readFile(const QString &path) const;
    Q_INVOKABLE bool makePath(const QString &path) const;
    Q_INVOKABLE bool removePath(const QString &path) const;
    Q_INVOKABLE bool exists(const QString &path) const;
    Q_INVOKABLE bool copyFile(const QString &from, const QString &to) const;
    Q_INVOKABLE bool setReadOnly(const QString &path, bool readOnly) const;
    // Lets go of the settings store's open connection, as a new process
    // would start without one.
    Q_INVOKABLE void forgetSettingsConnection() const;
    // The names in a folder, sorted.
    Q_INVOKABLE QStringList listFolder(const QString &path) const;
    // The SQLite file behind the settings store, to break it on purpose.
    Q_INVOKABLE QString settingsDatabaseFile() const;
    // Image checks for screenshots: size and the colour at a point.
    Q_INVOKABLE QVariantMap imageInfo(const QString &path, int x, int y) const;

private:
    QQmlEngine *m_engine;
    PlayerHost *m_host;
};
