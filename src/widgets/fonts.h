#pragma once
#include <QFont>
#include <QString>
#include <QStringList>

namespace ballwick {

// The faces of the game's look. "Arial" and "Times New Roman" map to the
// metric-compatible faces a Linux desktop ships, named first: a family that
// is not installed costs Qt a search through every installed font for a
// stand-in the first time each one is used.
QStringList sansFamilies();  // Liberation Sans, Arial, DejaVu Sans
QStringList serifFamilies(); // Liberation Serif, Times New Roman, DejaVu Serif
// The families for a face the game names: Arial and Times New Roman as above,
// any other as it is.
QStringList familiesFor(const QString &face);

// The game's sans-serif face at a point size (the main window's text, and
// the application's default font).
QFont uiFont(int pointSize, bool bold = false);

} // namespace ballwick
