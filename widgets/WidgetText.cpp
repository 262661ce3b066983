/// Small conversions every window needs.
#include "widgets/WidgetText.h"

#include "engine/DocLine.h"

#include <QPalette>
#include <QWidget>

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

void applyHighlightColours(QWidget& list)
{
    QPalette palette = list.palette();
    palette.setColor(QPalette::Base, windowsColor(HighlightCream));
    palette.setColor(QPalette::Highlight, windowsColor(HighlightPink));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    list.setPalette(palette);
}

} // namespace zenkel
