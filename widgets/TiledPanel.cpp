/// TiledPanel: a panel that tiles a picture behind its children.
#include "widgets/TiledPanel.h"

#include <QPainter>
#include <QVBoxLayout>

namespace zenkel {

TiledPanel::TiledPanel(QWidget* parent)
    : QFrame(parent)
{ }

void TiledPanel::setTile(const QPixmap& tile)
{
    m_tile = tile;
    update();
}

namespace {

const char* const WindowPanelName = "PanelWallpaper";

} // namespace

TiledPanel* TiledPanel::fillWindow(QWidget& window)
{
    auto* panel = new TiledPanel(&window);
    panel->setObjectName(QLatin1String(WindowPanelName));
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);
    return panel;
}

void TiledPanel::tileWindow(QWidget& window, const QPixmap& picture)
{
    if (auto* panel
        = window.findChild<TiledPanel*>(QLatin1String(WindowPanelName), Qt::FindDirectChildrenOnly))
        panel->setTile(picture);
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
