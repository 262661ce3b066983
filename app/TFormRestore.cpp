/// TFormRestore: asks whether to restore the editor's file from its backup, showing the backup.
#include "app/TFormRestore.h"

#include "widgets/Prompter.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zenkel {

namespace {

/// The preview shows at most this much of the backup.
constexpr qsizetype MaxPreviewCharacters = 800000;

} // namespace

TFormRestore::TFormRestore(const QString& backupFile, const QString& backupText, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("TFormRestore");
    setWindowTitle("Restore from: \"" + backupFile + "\" ?");
    auto* layout = new QVBoxLayout(this);
    m_reRestore = new QPlainTextEdit(this);
    m_reRestore->setObjectName("RERestore");
    m_reRestore->setReadOnly(true);
    m_reRestore->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font("Courier New");
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    m_reRestore->setFont(font);
    m_reRestore->setPlainText(backupText.left(MaxPreviewCharacters));
    layout->addWidget(m_reRestore);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("BOK");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("BCancel");
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 480);
}

int TFormRestore::run()
{
    Prompter::Answer answer;
    if (Prompter::takeScriptedAnswer(answer))
        return answer == Prompter::Ok || answer == Prompter::Yes ? Accepted : Rejected;
    return exec();
}

} // namespace zenkel
