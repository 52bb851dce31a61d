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
    // Makes a folder and its parents; true when it exists afterwards.
    bool createFolder(const QString &repertoire);
    // Writes a line of text on standard output, for people at a terminal.
    void printText(const QString &text);
    // The window names the game it is about to play: the only folder whose
    // files the game view may read (see GameSchemeHandler).
    void setGameFile(const QString &fichier);

signals:
    void gameFileChosen(const QString &fichier);
};
