// Pointer pictures read from cursor (.cur) and icon (.ico) files beside the program.
#pragma once

#include <QCursor>
#include <QString>

// The pointer in the file, with the hot spot the file names (a cursor file) or its centre (an
// icon file). Fails with "Invalid picture" when the file holds no readable picture, and with
// the system's wording when it cannot be read.
QCursor LoadPointerPicture(const QString &path);
