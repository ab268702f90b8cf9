#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace toolkit {

// The program's embedded pictures, by name (":/artwork/<name>.png"). A name that does not
// exist gives a null picture.
QPixmap ArtworkPixmap(const QString &name);
QImage ArtworkImage(const QString &name);

} // namespace toolkit
