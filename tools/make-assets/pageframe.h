#pragma once

#include <QMargins>
#include <QString>

// The bezel's border on each side of the game, as page/frame.js declares
// them for the game page and the window. Null margins and a message in
// `error` when the file cannot be read or does not declare all four.
QMargins readBezelBorders(const QString &frameScriptPath, QString *error);
