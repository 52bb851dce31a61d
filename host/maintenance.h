#pragma once

#include <QObject>

// File and folder checks for the UI; one instance, owned by the host.
class Maintenance : public QObject
{
    Q_OBJECT

public:
    explicit Maintenance(QObject *parent = nullptr);

public slots:
    bool verifyFolder(const QString &repertoire);
    bool verifyFile(const QString &fichier);
};
