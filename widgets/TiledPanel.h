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

    /// Puts a tiled panel under the whole window: the panel fills it, and the window builds
    /// its layout on the returned panel.
    static TiledPanel* fillWindow(QWidget& window);
    /// Tiles picture behind a window set up with fillWindow (a null picture removes it).
    static void tileWindow(QWidget& window, const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_tile;
};

} // namespace zenkel
