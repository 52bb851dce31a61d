#pragma once

// File names are bytes on Linux, UTF-8 only by custom: old archives and
// copies from other systems carry names that are not valid UTF-8. Qt reads
// them through the locale's codec, whose UTF-8 turns each invalid byte into
// U+FFFD and can then never find the file again.
//
// The player reads and writes local 8-bit text (arguments, file names,
// process arguments) through this UTF-8 instead: an invalid byte B becomes
// the lone surrogate U+DC00 + B and back, so every name makes the round
// trip, and valid UTF-8 reads as before. The game page carries such a byte
// as "%XX" in its addresses (page/gamequery.js, ui/lib/addresses.js).

#include <QByteArray>
#include <QString>

namespace rawnames {

QString fromBytes(const QByteArray &bytes);
QByteArray toBytes(const QString &text);

// Makes the UTF-8 above the codec for local 8-bit text; before the
// application object exists.
void installAsLocaleCodec();

} // namespace rawnames
