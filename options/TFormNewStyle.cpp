/// TFormNewStyle: asks for the name of a new style.
#include "options/TFormNewStyle.h"

#include "options/OptionsRules.h"
#include "options/WindowsText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zenkel {

TFormNewStyle::TFormNewStyle(std::vector<std::string> existingStyles, QWidget* parent)
    : QDialog(parent)
    , m_existing(std::move(existingStyles))
{
    setObjectName(QStringLiteral("TFormNewStyle"));
    setWindowTitle(QStringLiteral("Save new style"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("LBExist"));
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("EditStyle"));
    auto* nameLabel = new QLabel(QStringLiteral("New Style Name:"), this);
    QFont bold = nameLabel->font();
    bold.setBold(true);
    nameLabel->setFont(bold);
    nameLabel->setBuddy(m_edit);
    m_ok = new QPushButton(QStringLiteral(" OK"), this);
    m_ok->setObjectName(QStringLiteral("BOK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("BCancel"));
    m_cancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Existing styles:"), this));
    layout->addWidget(m_list, 1);
    layout->addWidget(nameLabel);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);

    connect(m_edit, &QLineEdit::textChanged, this, &TFormNewStyle::EditStyleChange);
    connect(m_ok, &QPushButton::clicked, this, &TFormNewStyle::BOKClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(320, 360);
    FormActivate();
}

void TFormNewStyle::showEvent(QShowEvent* event)
{
    FormActivate();
    m_edit->setFocus();
    QDialog::showEvent(event);
}

void TFormNewStyle::FormActivate()
{
    m_list->clear();
    for (const std::string& name : m_existing)
        m_list->addItem(fromFileName(name));
    m_edit->clear();
    EditStyleChange();
}

std::string TFormNewStyle::CheckNewStyle(const QString& typed) const
{
    return zenkel::CheckNewStyle(toFileName(typed), m_existing);
}

void TFormNewStyle::EditStyleChange()
{
    m_newStyleName = CheckNewStyle(m_edit->text());
    m_ok->setEnabled(!m_newStyleName.empty());
}

void TFormNewStyle::BOKClick()
{
    m_newStyleName = CheckNewStyle(m_edit->text());
    if (!m_newStyleName.empty())
        accept();
}

} // namespace zenkel
