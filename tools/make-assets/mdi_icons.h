#pragma once

#include <QString>
#include <QStringList>

struct MdiIcon
{
    const char *resourceName; // file name under ui/img/
    const char *mdiName; // icon name in the @mdi/svg package
    int viewBox; // side of the written view box
};

// Which Material Design icon stands for which button.
const QList<MdiIcon> &mdiIcons();

// Writes every icon of the table from mdiSvgDir into outDir. Returns the
// problems met (a missing or unreadable icon); empty on success.
QStringList writeMdiIcons(const QString &mdiSvgDir, const QString &outDir);
