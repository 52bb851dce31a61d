#pragma once

#include <QImage>

// The dark, finely woven backdrop with the logo in the centre (1920 x 1080).
QImage backdropImage();
