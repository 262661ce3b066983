/// ReplaceDialog1: the modeless find-and-replace dialog of the editor.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zenkel {

/// Search text, replacement text, match case, whole word and a direction (shown; every search
/// runs forward). Find Next is the default button; Esc and Close hide the dialog. Each button
/// press emits one signal and the dialog stays open.
class ReplaceDialog1 : public QDialog
{
    Q_OBJECT

public:
    explicit ReplaceDialog1(QWidget* parent = nullptr);

    QString findText() const;
    void setFindText(const QString& text);
    QString replaceText() const;
    void setReplaceText(const QString& text);
    bool matchCase() const;
    bool wholeWord() const;
    /// The Replace All option: set by Replace All, cleared by Replace and Find Next.
    bool replaceAll() const { return m_replaceAll; }

    /// Shows the dialog (or brings it to the front) with the search text selected.
    void execute();

signals:
    /// Find Next.
    void find();
    /// Replace or Replace All (replaceAll() tells which).
    void replace();

private:
    void updateButtons();

    QLineEdit* m_findText;
    QLineEdit* m_replaceText;
    QCheckBox* m_wholeWord;
    QCheckBox* m_matchCase;
    QRadioButton* m_up;
    QRadioButton* m_down;
    QPushButton* m_findNext;
    QPushButton* m_replaceButton;
    QPushButton* m_replaceAllButton;
    QPushButton* m_close;
    bool m_replaceAll = false;
};

} // namespace zenkel
