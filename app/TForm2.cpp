/// TForm2: the found-files dialog of a tree selection.
#include "app/TForm2.h"

#include "batch/FileJob.h"
#include "batch/FileSelection.h"
#include "batch/Session.h"
#include "widgets/Prompter.h"
#include "widgets/TiledPanel.h"
#include "widgets/WaitCursor.h"
#include "widgets/WidgetText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zenkel {

namespace {

/// Lets the window handle its events during the search, at most every 40 ms: the search
/// calls this after every directory entry, far too often to run the event loop each time.
class EventPumpSink : public ProgressSink
{
public:
    EventPumpSink() { m_sinceLastPump.start(); }

    void handlePendingMessages() override
    {
        if (m_sinceLastPump.elapsed() < 40)
            return;
        QCoreApplication::processEvents();
        m_sinceLastPump.restart();
    }

private:
    QElapsedTimer m_sinceLastPump;
};

} // namespace

TForm2::TForm2(Session& session, const QString& treeDirectory, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_treeDirectory(treeDirectory)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("File List"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->setUniformItemSizes(true);
    applyHighlightColours(*m_list);

    auto button = [this](const QString& text, const char* name) {
        auto* created = new QPushButton(text, this);
        created->setObjectName(QLatin1String(name));
        return created;
    };
    m_okButton = button(QStringLiteral("OK"), "BOK");
    m_cancelButton = button(QStringLiteral("Cancel"), "BCancel");
    m_selectAllButton = button(QStringLiteral("Select All"), "BSelectAll");
    m_deselectAllButton = button(QStringLiteral("Deselect All"), "BDeselectAll");
    m_okButton->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_selectAllButton);
    buttons->addWidget(m_deselectAllButton);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(TiledPanel::fillWindow(*this));
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_okButton, &QPushButton::clicked, this, &TForm2::BOKClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &TForm2::BCancelClick);
    connect(m_selectAllButton, &QPushButton::clicked, this, &TForm2::BSelectAllClick);
    connect(m_deselectAllButton, &QPushButton::clicked, this, &TForm2::BDeselectAllClick);
    resize(640, 420);
}

TForm2::~TForm2() = default;

int TForm2::run()
{
    return execOrScripted(*this, [this] {
        searchFiles();
        BOKClick();
        return result();
    });
}

void TForm2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Search once the dialog is on screen, so the user sees it working.
    if (!m_searched && !m_searching)
        QTimer::singleShot(0, this, &TForm2::searchFiles);
}

void TForm2::searchFiles()
{
    if (m_searched || m_searching)
        return;
    m_searching = true;
    m_stopSearch = false;
    setWindowTitle(QString::fromLatin1(SearchingFilesCaption));
    m_list->clear();
    m_kept.clear();
    setButtonsEnabled(false);

    std::vector<std::string> found;
    {
        WaitCursor wait;
        EventPumpSink pump;
        const bool doValidate = m_session.settings.DoValidate;
        const CommandLineMode mode = m_session.runState.CommandLineMode;
        // Once the user stops the search, every further file is passed over unread, so the
        // rest of the walk ends quickly.
        const FileValidator isValid = [&](const std::string& path) {
            return !m_stopSearch && IsValidHtmlFile(path, doValidate, mode);
        };
        found = SearchTree(
            m_treeDirectory.toStdString(), m_session.runState.treeFileType, isValid, pump);
    }
    m_searching = false;
    m_searched = true;
    if (m_stopSearch) {
        QDialog::reject();
        return;
    }

    QStringList paths;
    paths.reserve(static_cast<qsizetype>(found.size()));
    for (const std::string& path : found)
        paths.append(QString::fromStdString(path));
    m_list->setUpdatesEnabled(false);
    m_list->addItems(paths);
    m_list->selectAll();
    m_list->setUpdatesEnabled(true);
    setWindowTitle(
        QString::fromStdString(foundFilesCaption(found.size(), m_treeDirectory.toStdString())));
    setButtonsEnabled(true);
    m_okButton->setFocus();
}

std::vector<std::string> TForm2::keptFileList() const
{
    std::vector<std::string> files;
    files.reserve(static_cast<std::size_t>(m_kept.size()));
    for (const QString& path : m_kept)
        files.push_back(path.toStdString());
    return files;
}

void TForm2::BOKClick()
{
    if (m_searching)
        return;
    m_kept.clear();
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->isSelected())
            m_kept.append(m_list->item(row)->text());
    }
    accept();
}

void TForm2::BCancelClick()
{
    reject();
}

void TForm2::reject()
{
    m_kept.clear();
    if (m_searching) {
        // The dialog closes when the search has wound down (see searchFiles).
        m_stopSearch = true;
        return;
    }
    QDialog::reject();
}

void TForm2::BSelectAllClick()
{
    m_list->selectAll();
}

void TForm2::BDeselectAllClick()
{
    m_list->clearSelection();
}

void TForm2::setButtonsEnabled(bool enabled)
{
    m_okButton->setEnabled(enabled);
    m_selectAllButton->setEnabled(enabled);
    m_deselectAllButton->setEnabled(enabled);
}

} // namespace zenkel
