#include "toolkit/Artwork.h"

namespace toolkit {

namespace {
QString ArtworkPath(const QString &name)
{
    return QStringLiteral(":/artwork/") + name + QStringLiteral(".png");
}
} // namespace

QPixmap ArtworkPixmap(const QString &name)
{
    return QPixmap(ArtworkPath(name));
}

QImage ArtworkImage(const QString &name)
{
    return QImage(ArtworkPath(name));
}

} // namespace toolkit
