/// TFormAddTag: asks for the name of a tag to append to the active style's tag table.
#include "options/TFormAddTag.h"

#include "options/TagPageRules.h"
#include "options/WindowsText.h"

#include "widgets/Prompter.h"
#include "widgets/WidgetText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace zenkel {

TFormAddTag::TFormAddTag(TagTable& table, const std::string& styleName, QWidget* parent)
    : QDialog(parent)
    , m_table(table)
{
    setObjectName(QStringLiteral("TFormAddTag"));
    setWindowTitle(QStringLiteral("Add new tag to style: ") + fromFileName(styleName));

    m_info = new QTextEdit(this);
    m_info->setObjectName(QStringLiteral("MemoInfo"));
    m_info->setReadOnly(true);
    m_info->setFocusPolicy(Qt::NoFocus);
    m_info->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_info->setLineWrapMode(QTextEdit::NoWrap);
    QStringList lines;
    for (const std::string_view line : AddTagInformation)
        lines << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    m_info->setPlainText(lines.join(QLatin1Char('\n')));
    QTextCursor cursor(m_info->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);

    m_tag = new QLineEdit(this);
    m_tag->setObjectName(QStringLiteral("ETag"));
    auto* prompt = new QLabel(QStringLiteral("Enter new tag:"), this);
    prompt->setBuddy(m_tag);
    m_ok = new QPushButton(QStringLiteral(" Add tag"), this);
    m_ok->setObjectName(QStringLiteral("BOK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("BCancel"));
    m_cancel->setAutoDefault(false);

    auto* entry = new QHBoxLayout;
    entry->addWidget(prompt);
    entry->addWidget(m_tag, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_info, 1);
    layout->addLayout(entry);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &TFormAddTag::BOKClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    const int textWidth = m_info->fontMetrics().horizontalAdvance(
        QString::fromLatin1(AddTagInformation[6].data(), AddTagInformation[6].size()));
    resize(textWidth + 80, 340);
    m_tag->setFocus();
}

void TFormAddTag::BOKClick()
{
    const std::string tag = NormalizeNewTag(toWindows1252(m_tag->text()));
    m_tag->setText(fromWindows1252(tag));
    const NewTagCheck check = CheckNewTag(m_table, tag);
    if (check != NewTagCheck::Ok) {
        Prompter::error(this, programTitle(), messageText(NewTagMessage(check, tag)));
        return;
    }
    AppendNewTag(m_table, tag);
    accept();
}

} // namespace zenkel
