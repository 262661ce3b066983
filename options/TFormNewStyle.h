/// TFormNewStyle: asks for the name under which the options window saves the current
/// settings as a new style.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace zenkel {

/// Shows the existing styles and accepts only a name that can serve as a directory name
/// and is not taken yet: " OK" is enabled exactly while the cleaned name is not empty.
class TFormNewStyle : public QDialog
{
    Q_OBJECT

public:
    /// existingStyles: the style list, as the file system spells the names.
    explicit TFormNewStyle(std::vector<std::string> existingStyles, QWidget* parent = nullptr);

    /// The cleaned name after OK (file-system spelling); empty while none is acceptable.
    const std::string& newStyleName() const { return m_newStyleName; }

    void FormActivate();
    void EditStyleChange();
    void BOKClick();
    /// The cleaned name of a typed text, or empty when a listed style has it already.
    std::string CheckNewStyle(const QString& typed) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::vector<std::string> m_existing;
    std::string m_newStyleName;
    QListWidget* m_list = nullptr;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace zenkel
