#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

// The start-up options, read from the arguments as typed (the program name
// excluded) by one reader, for the host and the window alike.
//
// An option is recognised only at the start of an argument, in any case, so
// that a path holding "-source:" or "-fullscreen" stays a path. Front-end
// templates add what no shell takes away: blanks and an opening quote before
// the option, two dashes instead of one, one pair of quotes around the
// value. A flag must be the whole argument, blanks aside. A later argument
// wins over an earlier one.
namespace host {

// What the window is asked for: each value as text under the name of the
// window property that receives it (backslashes made "/" in paths), each
// flag given as true; options not given are absent. Options the host reads
// itself ("-renderer:") are left out.
QVariantMap startOptions(const QStringList &arguments);

// The values of one option, by its key in startOptions (or "renderer"), in
// the order given.
QStringList optionValues(const QStringList &arguments, const QString &key);

} // namespace host
