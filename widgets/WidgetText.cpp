/// Small conversions every window needs.
#include "widgets/WidgetText.h"

#include "engine/DocLine.h"

namespace zenkel {

QString programTitle()
{
    return QString::fromLatin1(ProgramTitle.data(), static_cast<qsizetype>(ProgramTitle.size()))
        + QLatin1Char(' ');
}

QColor windowsColor(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

} // namespace zenkel
