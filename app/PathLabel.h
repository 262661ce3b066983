/// PathLabel: a directory path shortened to the label's width.
#pragma once

#include <QLabel>
#include <QString>

namespace zenkel {

/// Shows a directory path, shortened at its left end to the width the label has, so a long
/// path never widens its dialog. The full path is the tool tip.
class PathLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PathLabel(QWidget* parent = nullptr);
    void setPath(const QString& path);
    QString path() const { return m_path; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showElided();
    QString m_path;
};

} // namespace zenkel
