/// TiledPanel: a panel that tiles a picture behind its children.
#include "widgets/TiledPanel.h"

#include <QPainter>

namespace zenkel {

TiledPanel::TiledPanel(QWidget* parent)
    : QFrame(parent)
{ }

void TiledPanel::setTile(const QPixmap& tile)
{
    m_tile = tile;
    update();
}

void TiledPanel::paintEvent(QPaintEvent* event)
{
    if (!m_tile.isNull()) {
        QPainter painter(this);
        painter.drawTiledPixmap(rect(), m_tile);
    }
    QFrame::paintEvent(event);
}

} // namespace zenkel
