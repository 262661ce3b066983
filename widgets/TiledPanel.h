/// TiledPanel: a panel that tiles a picture behind its children.
#pragma once

#include <QFrame>
#include <QPixmap>

namespace zenkel {

class TiledPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TiledPanel(QWidget* parent = nullptr);
    /// A null picture shows the panel's ordinary background.
    void setTile(const QPixmap& tile);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_tile;
};

} // namespace zenkel
