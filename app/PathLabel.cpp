/// PathLabel: a directory path shortened to the label's width.
#include "app/PathLabel.h"

#include <algorithm>

namespace zenkel {

PathLabel::PathLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void PathLabel::setPath(const QString& path)
{
    m_path = path;
    setToolTip(path);
    showElided();
}

QSize PathLabel::minimumSizeHint() const
{
    return QSize(60, QLabel::minimumSizeHint().height());
}

QSize PathLabel::sizeHint() const
{
    return minimumSizeHint();
}

void PathLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showElided();
}

void PathLabel::showElided()
{
    setText(fontMetrics().elidedText(m_path, Qt::ElideLeft, std::max(0, contentsRect().width())));
}

} // namespace zenkel
