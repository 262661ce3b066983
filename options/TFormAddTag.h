/// TFormAddTag: asks for the name of a tag to append to the active style's tag table.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;
class QTextEdit;

namespace zenkel {

struct TagTable;

/// Shown modally by the options window. " Add tag" cleans the typed name, checks it and,
/// when it passes, appends the new entry to the table and closes with Accepted; a refused
/// name is shown with its reason and the dialog stays open with the cleaned name.
class TFormAddTag : public QDialog
{
    Q_OBJECT

public:
    TFormAddTag(TagTable& table, const std::string& styleName, QWidget* parent = nullptr);

    void BOKClick();

private:
    TagTable& m_table;
    QTextEdit* m_info = nullptr;
    QLineEdit* m_tag = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace zenkel
