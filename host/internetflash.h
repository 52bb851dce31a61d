#pragma once

#include <QString>

// Ruffle for internet pages: a user script of the default profile that
// loads Ruffle's polyfill into every frame of every http(s) page, so their
// <object> and <embed> movies play in place. The script checks the frame's
// own address, so the player's pages never get it.
namespace internetflash {

// The script's text, from the page's files (flash/filefetch.js and
// flash/internetflash.js) wrapped in one function; empty if one is missing.
QString userScriptSource(const QString &pageFolder);

// Adds the script to the default profile; false (and nothing added) if the
// page's files are missing.
bool installOnDefaultProfile(const QString &pageFolder);

} // namespace internetflash
