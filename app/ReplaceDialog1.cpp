/// ReplaceDialog1: the modeless find-and-replace dialog of the editor.
#include "app/ReplaceDialog1.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zenkel {

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

ReplaceDialog1::ReplaceDialog1(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("ReplaceDialog1");
    setWindowTitle("Replace");
    setModal(false);
    setSizeGripEnabled(false);

    m_findText = new QLineEdit(this);
    m_findText->setObjectName("FindText");
    m_replaceText = new QLineEdit(this);
    m_replaceText->setObjectName("ReplaceText");
    auto* findLabel = new QLabel("Fi&nd what:", this);
    findLabel->setBuddy(m_findText);
    auto* replaceLabel = new QLabel("Re&place with:", this);
    replaceLabel->setBuddy(m_replaceText);

    m_wholeWord = new QCheckBox("Match &whole word only", this);
    m_wholeWord->setObjectName("CBWholeWord");
    m_matchCase = new QCheckBox("Match &case", this);
    m_matchCase->setObjectName("CBMatchCase");

    // Shown as the standard dialog shows it; searches always run downwards.
    auto* direction = new QGroupBox("Direction", this);
    direction->setObjectName("GBDirection");
    m_up = new QRadioButton("&Up", direction);
    m_up->setObjectName("RBUp");
    m_down = new QRadioButton("&Down", direction);
    m_down->setObjectName("RBDown");
    m_down->setChecked(true);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->setContentsMargins(8, 4, 8, 4);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);

    m_findNext = makeButton(this, "BFindNext", "&Find Next");
    m_findNext->setDefault(true);
    m_findNext->setAutoDefault(true);
    m_replaceButton = makeButton(this, "BReplace", "&Replace");
    m_replaceAllButton = makeButton(this, "BReplaceAll", "Replace &All");
    m_close = makeButton(this, "BClose", "Close");

    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findText, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(m_replaceText, 1, 1);
    fields->setColumnMinimumWidth(1, 220);

    auto* options = new QHBoxLayout;
    auto* checks = new QVBoxLayout;
    checks->addStretch(1);
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    options->addLayout(checks);
    options->addSpacing(12);
    options->addWidget(direction, 0, Qt::AlignBottom);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addSpacing(8);
    left->addLayout(options);
    left->addStretch(1);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_findNext, m_replaceButton, m_replaceAllButton, m_close})
        buttons->addWidget(b);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(12);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_findNext, &QPushButton::clicked, this, [this] {
        m_replaceAll = false;
        emit find();
    });
    connect(m_replaceButton, &QPushButton::clicked, this, [this] {
        m_replaceAll = false;
        emit replace();
    });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] {
        m_replaceAll = true;
        emit replace();
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_findText, &QLineEdit::textChanged, this, &ReplaceDialog1::updateButtons);
    updateButtons();
}

QString ReplaceDialog1::findText() const
{
    return m_findText->text();
}

void ReplaceDialog1::setFindText(const QString& text)
{
    m_findText->setText(text);
}

QString ReplaceDialog1::replaceText() const
{
    return m_replaceText->text();
}

void ReplaceDialog1::setReplaceText(const QString& text)
{
    m_replaceText->setText(text);
}

bool ReplaceDialog1::matchCase() const
{
    return m_matchCase->isChecked();
}

bool ReplaceDialog1::wholeWord() const
{
    return m_wholeWord->isChecked();
}

void ReplaceDialog1::execute()
{
    show();
    raise();
    activateWindow();
    m_findText->setFocus();
    m_findText->selectAll();
}

void ReplaceDialog1::updateButtons()
{
    // As in the standard dialog, nothing can be searched for without a search text.
    const bool any = !m_findText->text().isEmpty();
    m_findNext->setEnabled(any);
    m_replaceButton->setEnabled(any);
    m_replaceAllButton->setEnabled(any);
}

} // namespace zenkel
