/// TFormMsg: the confirmation dialog shown before a run.
#include "app/TFormMsg.h"

#include "batch/Backup.h"
#include "batch/Session.h"
#include "widgets/Prompter.h"
#include "widgets/TiledPanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace zenkel {

QString confirmationDisplayText(const std::string& crLfText)
{
    QString text = QString::fromStdString(crLfText);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

TFormMsg::TFormMsg(Session& session, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_session(session)
{
    setObjectName(QStringLiteral("TFormMsg"));

    m_memo = new QTextEdit(this);
    m_memo->setObjectName(QStringLiteral("MemoMsg"));
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QTextEdit::WidgetWidth);
    m_memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Read-only text needs no keyboard focus; Enter and Esc then always reach the dialog.
    m_memo->setFocusPolicy(Qt::NoFocus);
    QFont bold = m_memo->font();
    bold.setBold(true);
    m_memo->setFont(bold);

    m_backupBox = new QCheckBox(QStringLiteral("Create/overwrite existing Backup File(s)"), this);
    m_backupBox->setObjectName(QStringLiteral("CBBackup"));
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("BOK"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("BCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(TiledPanel::fillWindow(*this));
    layout->addWidget(m_memo, 1);
    layout->addWidget(m_backupBox);
    layout->addLayout(buttons);

    connect(m_backupBox, &QCheckBox::clicked, this, &TFormMsg::CBBackupClick);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(560, 300);
}

TFormMsg::~TFormMsg() = default;

void TFormMsg::prepare()
{
    setResult(QDialog::Rejected);
    m_backupBox->setChecked(m_session.settings.DoCreateBackUps);
    MakeMsg();
    m_okButton->setFocus();
}

int TFormMsg::run()
{
    prepare();
    return execOrScripted(*this, [this] {
        accept();
        return result();
    });
}

void TFormMsg::MakeMsg()
{
    RunState& state = m_session.runState;
    const std::string& backupExt = m_session.settings.BackupExt;
    const ConfirmationMsg msg = zenkel::MakeMsg(state.Operation, state.SelectionMode,
        m_session.settings.DoCreateBackUps, gatherMsgFacts(state, backupExt));
    setWindowTitle(QString::fromStdString(msg.caption));
    m_backupBox->setEnabled(msg.backupBoxEnabled);

    m_memo->setPlainText(confirmationDisplayText(msg.text));
    QTextCursor cursor(m_memo->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
}

void TFormMsg::CBBackupClick(bool checked)
{
    m_session.settings.DoCreateBackUps = checked;
    MakeMsg();
}

} // namespace zenkel
