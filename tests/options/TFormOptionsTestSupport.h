/// The options window tests' fixture and helpers, shared by the test sources of the window.
#pragma once

#include "batch/Session.h"
#include "options/OptionsRules.h"
#include "options/TFormNewStyle.h"
#include "options/TFormOptions.h"
#include "options/TagPageRules.h"
#include "options/WindowsText.h"
#include "style/StyleFiles.h"
#include "widgets/Prompter.h"
#include "widgets/WidgetText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace zenkel::optionstest {

/// Records what reaches the main window: status line, progress bars and caption.
class RecordingHost : public FileJobHost
{
public:
    void SetStatus(const std::string& text) override { statuses << QString::fromStdString(text); }
    void AppendStatus(const std::string& text) override
    {
        statuses << QString::fromStdString(text);
    }
    void SetProgressRange(int, long long) override { ++progressCalls; }
    void SetProgressPosition(int, long long) override { ++progressCalls; }
    void setCaption(const std::string& caption) override
    {
        this->caption = QString::fromStdString(caption);
    }

    QStringList statuses;
    int progressCalls = 0;
    QString caption;
};

inline void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo& info : source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = to + "/" + info.fileName();
        if (info.isDir())
            copyTree(info.filePath(), target);
        else
            QFile::copy(info.filePath(), target);
    }
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Runs action on the modal dialog that opens next, once it is up.
inline void whenModal(std::function<void(QWidget&)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        action(*dialog);
    });
}

template <typename T> T* child(QWidget& parent, const char* name)
{
    T* widget = parent.findChild<T*>(QLatin1String(name));
    if (!widget)
        qWarning("no control %s", name);
    return widget;
}

} // namespace zenkel::optionstest

using namespace zenkel;
using namespace zenkel::optionstest;

class TFormOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsHaveTheirNames_data();
    void controlsHaveTheirNames();
    void opensOnGeneralPageWithTheActiveStyle();
    void tagGridShowsEveryEntry();

    void backupExtensionIsNormalisedOnLeaving_data();
    void backupExtensionIsNormalisedOnLeaving();
    void indentPanelsArePaleRedWithoutIndent();
    void disablingCommentsRecoloursTheFourPanels();
    void oddBreakExcluderIsStoredAsQuote();
    void userInfoLosesAngleBracketsButFieldKeepsThem();
    void lineEndsSettingIsOffered();

    void choosingTheActiveStyleDoesNothing();
    void styleSwitchAnsweredYesSavesTheEdits();
    void styleSwitchAnsweredNoDiscardsTheEdits();
    void okWritesExactlyWhatTheWindowShows();
    void cancelLeavesFilesAndRestoresTrimList();
    void escapeSavesNothingAndKeepsTrimList();
    void scriptedRunActsAsOkOrCancel();

    void previewReflectsUnsavedLineSize();
    void layoutSettingsShowInThePreviewAtOnceAndAreSaved();
    void emptyPreviewDirectoryDisablesPreview();
    void programDirectoryStandsInForMissingPreviewDirectory();

    void typingACommentStoresItAtOnce();
    void asTextWithoutBreaksBecomesStandAloneWithOneEach();
    void asTextStartCommentWithoutBreakIsItalic();
    void addingFontAppendsItAndSaysSo();
    void refusedTagsKeepTheDialogOpen_data();
    void refusedTagsKeepTheDialogOpen();
    void hundredTagLimit();
    void removingATagDiscardsUnsavedEdits();
    void removeAnsweredNoChangesNothing();
    void emptyTagTableDisablesRemoval();

    void newStyleNameIsCleaned_data();
    void newStyleNameIsCleaned();
    void saveAsNewStyleCreatesAndSelectsIt();

private:
    QString path(const QString& relative) const { return m_dir->path() + "/" + relative; }
    QString defaultDir() const { return path("styles/_default/"); }
    TFormOptions& openForm();
    QWidget& form() { return *m_form; }
    Style& style() { return m_session->engine.style(); }
    QTableWidget& grid() { return *child<QTableWidget>(form(), "TagGrid"); }
    void showPage(int index) { child<QTabBar>(form(), "TabSet1")->setCurrentIndex(index); }
    void selectTag(const QString& tag);
    int tagEntry(const QString& tag) const;
    void chooseStyle(const QString& name);
    void leaveField(QLineEdit* edit);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RecordingHost> m_host;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<TFormOptions> m_form;
};
