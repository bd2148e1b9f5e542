#include "widgets/fonts.h"

namespace ballwick {

QStringList sansFamilies()
{
    return {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")};
}

QStringList serifFamilies()
{
    return {QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman"), QStringLiteral("DejaVu Serif")};
}

QStringList familiesFor(const QString &face)
{
    if (face.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return sansFamilies();
    if (face.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
        return serifFamilies();
    return {face};
}

QFont uiFont(int pointSize, bool bold)
{
    QFont f;
    f.setFamilies(sansFamilies());
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

} // namespace ballwick
