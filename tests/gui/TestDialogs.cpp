/// The file, tree, found-files and confirmation dialogs driven as a user drives them,
/// offscreen, on a temporary program directory.
#include "app/DirectoryListBox.h"
#include "app/FileListBox.h"
#include "app/TForm2.h"
#include "app/TFormFile.h"
#include "app/TFormMsg.h"
#include "app/TFormTree.h"
#include "base/SafeFile.h"
#include "batch/Backup.h"
#include "batch/FileJob.h"
#include "batch/Session.h"
#include "style/ProgramSettings.h"
#include "widgets/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include "GuiTestSupport.h"

#include <memory>

using namespace zenkel;
using zenkel::test::readFile;
using zenkel::test::writeFile;

namespace {

const QByteArray HtmlPage = "<html>\r\n<body>x</body>\r\n</html>\r\n";

template <typename T> T* child(QWidget& dialog, const char* name)
{
    return dialog.findChild<T*>(QLatin1String(name));
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveCaptionHasSingleSlashes();

    void msgTextSwitchesWhenBackupBoxIsClicked();
    void msgBackupBoxIsDisabledForRestore();
    void msgAnswersEnterAndEsc();
    void msgRunTakesScriptedAnswers();

    void fileListShowsFilterMatchesOnly();
    void fileListShowsWholeNames();
    void fileOkNeedsASelection();
    void fileOneInvalidFileKeepsDialogOpen();
    void fileTwoFilesCloseWithOk();
    void fileStartsInRememberedDirectory();
    void fileScriptedRunUsesPresetSelection();
    void saveTrimsBlanksFromTheName();
    void saveNoToOverwriteKeepsFileAndDialog();
    void saveFailedWriteKeepsDialogOpen();

    void treeRefusesRootOfFileSystem();
    void treeOkRemembersDirectoryWithSlash();
    void treeListShowsThePathFromTheRoot();
    void treeFilterSetsTreeFileType();

    void foundFilesSkipVtiCnfAndOtherTypes();
    void foundFilesSelectAndDeselectAll();
    void foundFilesCancelKeepsNothing();
    void foundFilesScriptedRun();

private:
    QString work(const QString& name) const { return m_work->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_program;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<Session> m_session;
};

void TestDialogs::init()
{
    m_program = std::make_unique<QTemporaryDir>();
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_program->isValid() && m_work->isValid());
    m_session = std::make_unique<Session>(m_program->path().toStdString(), nullFileJobHost());
    QVERIFY(m_session->loadSettings({1280, 800}));
    Prompter::clearAutoAnswer();
    // A prompt that no test expected must not hang the run with a real message box.
    Prompter::setAutoAnswer(Prompter::Closed);
    Prompter::log().clear();
}

void TestDialogs::cleanup()
{
    Prompter::clearAutoAnswer();
    m_session.reset();
}

void TestDialogs::saveCaptionHasSingleSlashes()
{
    QCOMPARE(saveDialogCaption("/", "a.htm"), QString("Save file as: \"/a.htm\""));
    QCOMPARE(
        saveDialogCaption("/web//site/", "a.htm"), QString("Save file as: \"/web/site/a.htm\""));
    QCOMPARE(saveTargetPath("/web/", "  a b.htm \t"), QString("/web/a b.htm"));
}

void TestDialogs::msgTextSwitchesWhenBackupBoxIsClicked()
{
    writeFile(work("a.htm"), HtmlPage);
    RunState& state = m_session->runState;
    state.SelectionMode = SelectionMode::SingleFile;
    state.Operation = Operation::Format;
    state.currentFile = work("a.htm").toStdString();
    m_session->settings.DoCreateBackUps = false;

    TFormMsg form(*m_session);
    form.prepare();
    form.show();
    auto* memo = child<QTextEdit>(form, "MemoMsg");
    auto* box = child<QCheckBox>(form, "CBBackup");
    QVERIFY(memo && box);
    QCOMPARE(form.windowTitle(), QString("Format"));
    QVERIFY(!box->isChecked());
    QVERIFY(box->isEnabled());
    QVERIFY(memo->toPlainText().endsWith("  No Backup File will be created!"));

    // Click on the box itself: the widget is wider than its text.
    const QPoint onBox(8, box->height() / 2);
    QTest::mouseClick(box, Qt::LeftButton, {}, onBox);
    QVERIFY(m_session->settings.DoCreateBackUps);
    const std::string expected = MakeMsg(Operation::Format, SelectionMode::SingleFile, true,
        gatherMsgFacts(state, m_session->settings.BackupExt))
                                     .text;
    QCOMPARE(memo->toPlainText(), confirmationDisplayText(expected));
    QVERIFY(memo->toPlainText().contains(
        "Backup will be saved first time:\n\"" + work("a.htm") + ".zbak\""));
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->document()->firstBlock().next().blockFormat().alignment() & Qt::AlignHCenter,
        Qt::AlignHCenter);

    QTest::mouseClick(box, Qt::LeftButton, {}, onBox);
    QVERIFY(!m_session->settings.DoCreateBackUps);
    QVERIFY(memo->toPlainText().contains("WARNING"));
}

void TestDialogs::msgBackupBoxIsDisabledForRestore()
{
    writeFile(work("a.htm"), HtmlPage);
    writeFile(work("b.htm"), HtmlPage);
    RunState& state = m_session->runState;
    state.SelectionMode = SelectionMode::FileList;
    state.Operation = Operation::Restore;
    state.fileList = {work("a.htm").toStdString(), work("b.htm").toStdString()};

    TFormMsg form(*m_session);
    form.prepare();
    QCOMPARE(form.windowTitle(), QString("Restore"));
    QVERIFY(!child<QCheckBox>(form, "CBBackup")->isEnabled());
    QVERIFY(child<QTextEdit>(form, "MemoMsg")
                ->toPlainText()
                .contains("Note: Restore doesn't generate new Backup Files!"));
    QVERIFY(form.windowFlags().testFlag(Qt::CustomizeWindowHint));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

void TestDialogs::msgAnswersEnterAndEsc()
{
    m_session->runState.SelectionMode = SelectionMode::FileList;
    m_session->runState.Operation = Operation::Compress;
    TFormMsg form(*m_session);
    form.prepare();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(&form, Qt::Key_Return);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!form.isVisible());

    form.prepare();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(&form, Qt::Key_Escape);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
}

void TestDialogs::msgRunTakesScriptedAnswers()
{
    m_session->runState.SelectionMode = SelectionMode::FileList;
    m_session->runState.Operation = Operation::Trim;
    TFormMsg form(*m_session);
    Prompter::setNextAnswer(Prompter::Ok);
    QCOMPARE(form.run(), int(QDialog::Accepted));
    Prompter::setNextAnswer(Prompter::Cancel);
    QCOMPARE(form.run(), int(QDialog::Rejected));
    QCOMPARE(form.windowTitle(), QString("Trim"));
}

void TestDialogs::fileListShowsFilterMatchesOnly()
{
    writeFile(work("a.htm"), HtmlPage);
    writeFile(work("b.html"), HtmlPage);
    writeFile(work("c.asp"), HtmlPage);
    writeFile(work(".hidden.htm"), HtmlPage);
    QDir().mkpath(work("sub.htm"));

    TFormFile form(*m_session);
    form.prepare(TFormFile::Mode::Select);
    form.setDirectory(m_work->path());
    auto* list = child<QListWidget>(form, "FileListBox1");
    auto listed = [&] {
        QStringList names;
        for (int row = 0; row < list->count(); ++row)
            names.append(list->item(row)->text());
        return names;
    };
    QCOMPARE(listed(), QStringList({"a.htm", "b.html"}));
    child<QComboBox>(form, "FilterComboBox1")->setCurrentIndex(1);
    QCOMPARE(listed(), QStringList({"a.htm", "b.html", "c.asp"}));
    child<QComboBox>(form, "FilterComboBox1")->setCurrentIndex(2);
    QCOMPARE(listed(), QStringList({"c.asp"}));
}

void TestDialogs::fileListShowsWholeNames()
{
    const QStringList names {
        "development-notes-for-the-team-long.html", "development-notes-for-the-team-long-2.html"};
    for (const QString& name : names)
        writeFile(work(name), HtmlPage);
    TFormFile form(*m_session);
    form.prepare(TFormFile::Mode::Select);
    form.setDirectory(m_work->path());
    auto* list = child<QListWidget>(form, "FileListBox1");
    QCOMPARE(list->textElideMode(), Qt::ElideNone);
    for (const QString& name : names)
        QVERIFY(list->gridSize().width() > list->fontMetrics().horizontalAdvance(name));
    auto* filter = child<QComboBox>(form, "FilterComboBox1");
    QCOMPARE(filter->sizeAdjustPolicy(), QComboBox::AdjustToContents);
}

void TestDialogs::fileOkNeedsASelection()
{
    writeFile(work("a.htm"), HtmlPage);
    TFormFile form(*m_session);
    form.prepare(TFormFile::Mode::Select);
    form.setDirectory(m_work->path());
    form.show();
    auto* ok = child<QPushButton>(form, "BOK");
    QCOMPARE(form.windowTitle(), QString("File Selection"));
    QCOMPARE(ok->text(), QString("OK"));
    QVERIFY(!child<QLineEdit>(form, "EFName")->isVisible());
    QVERIFY(!ok->isEnabled());
    QTest::keyClick(&form, Qt::Key_Return);
    QVERIFY(form.isVisible());

    child<QListWidget>(form, "FileListBox1")->item(0)->setSelected(true);
    QVERIFY(ok->isEnabled());
    QTest::keyClick(&form, Qt::Key_Return);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(form.selectedNames(), QStringList {"a.htm"});
    QCOMPARE(form.directory(), m_work->path() + "/");
}

void TestDialogs::fileOneInvalidFileKeepsDialogOpen()
{
    writeFile(work("bad.htm"), "<body>no tag</body>\r\n");
    m_session->settings.DoValidate = true;
    TFormFile form(*m_session);
    form.prepare(TFormFile::Mode::Select);
    form.setDirectory(m_work->path());
    form.show();
    child<QListWidget>(form, "FileListBox1")->item(0)->setSelected(true);
    QTest::mouseClick(child<QPushButton>(form, "BOK"), Qt::LeftButton);
    QVERIFY(form.isVisible());
    QVERIFY(form.result() != QDialog::Accepted);
    QCOMPARE(Prompter::log(), QStringList {invalidFileMessage(work("bad.htm"))});
    QCOMPARE(invalidFileMessage("/w/bad.htm"),
        QString("Invalid file: \"\r\n/w/bad.htm\r\n\"No <HTML> Tag inside!"));
}

void TestDialogs::fileTwoFilesCloseWithOk()
{
    // Two or more files close the dialog unchecked: the list selection checks each one.
    writeFile(work("bad.htm"), "<body>no tag</body>\r\n");
    writeFile(work("good.htm"), HtmlPage);
    m_session->settings.DoValidate = true;
    TFormFile form(*m_session);
    form.prepare(TFormFile::Mode::Select);
    form.setDirectory(m_work->path());
    form.show();
    auto* list = child<QListWidget>(form, "FileListBox1");
    list->selectAll();
    QTest::mouseClick(child<QPushButton>(form, "BOK"), Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(form.selectedNames(), QStringList({"bad.htm", "good.htm"}));
    QVERIFY(Prompter::log().isEmpty());
}

void TestDialogs::fileStartsInRememberedDirectory()
{
    QDir().mkpath(work("multi"));
    QVERIFY(WriteSettingsPath(m_session->settingsFile, "Multi", work("multi/").toStdString()));
    TFormFile form(*m_session);
    form.setDirectory("/");
    form.prepare(TFormFile::Mode::Select);
    QCOMPARE(form.directory(), work("multi/"));
    QCOMPARE(child<QLabel>(form, "Label1")->text(), QString("Select File(s):"));
    QCOMPARE(child<QLabel>(form, "LabelFName")->text(), QString("Filename:"));
    QVERIFY(child<QComboBox>(form, "DriveComboBox1")->count() > 0);

    // A remembered directory that is gone gives the program directory.
    QVERIFY(QDir(work("multi")).removeRecursively());
    form.prepare(TFormFile::Mode::Select);
    QCOMPARE(form.directory(), m_program->path() + "/");
}

void TestDialogs::fileScriptedRunUsesPresetSelection()
{
    writeFile(work("a.htm"), HtmlPage);
    writeFile(work("b.htm"), HtmlPage);
    TFormFile form(*m_session);
    form.presetSelection(m_work->path(), {"a.htm", "b.htm"});
    Prompter::setNextAnswer(Prompter::Ok);
    QCOMPARE(form.run(TFormFile::Mode::Select), int(QDialog::Accepted));
    QCOMPARE(form.selectedNames(), QStringList({"a.htm", "b.htm"}));

    Prompter::setNextAnswer(Prompter::Cancel);
    QCOMPARE(form.run(TFormFile::Mode::Select), int(QDialog::Rejected));
}

void TestDialogs::saveTrimsBlanksFromTheName()
{
    m_session->runState.currentFile = work("old.htm").toStdString();
    QStringList written;
    TFormFile form(*m_session);
    form.setSaveHandler([&](const QString& path) {
        written.append(path);
        std::string error;
        return writeFileSafely(path.toStdString(), "<html>\r\n", &error);
    });
    QDir().mkpath(work("save"));
    QVERIFY(WriteSettingsPath(m_session->settingsFile, "Save", work("save").toStdString()));
    form.prepare(TFormFile::Mode::Save);
    form.show();
    auto* name = child<QLineEdit>(form, "EFName");
    QVERIFY(name->isVisible());
    QCOMPARE(name->text(), QString("old.htm"));
    QCOMPARE(child<QPushButton>(form, "BOK")->text(), QString("SAVE"));
    QCOMPARE(form.windowTitle(), "Save file as: \"" + work("save/old.htm") + "\"");

    name->setText("  new page.htm  ");
    QCOMPARE(form.windowTitle(), "Save file as: \"" + work("save/new page.htm") + "\"");
    QTest::keyClick(name, Qt::Key_Return);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(written, QStringList {work("save/new page.htm")});
    QCOMPARE(readFile(work("save/new page.htm")), QByteArray("<html>\r\n"));
    QCOMPARE(form.savedPath(), work("save/new page.htm"));
    QCOMPARE(QString::fromStdString(m_session->runState.currentFile), work("save/new page.htm"));
    QCOMPARE(QString::fromStdString(m_session->runState.sourceDirectory), work("save/"));
    QCOMPARE(QString::fromStdString(ReadSettingsPath(m_session->settingsFile, "Save", "")),
        work("save/"));
}

void TestDialogs::saveNoToOverwriteKeepsFileAndDialog()
{
    writeFile(work("exists.htm"), "old bytes");
    int writes = 0;
    TFormFile form(*m_session);
    form.setSaveHandler([&](const QString&) {
        ++writes;
        return true;
    });
    form.prepare(TFormFile::Mode::Save);
    form.setDirectory(m_work->path());
    form.show();
    // Choosing the file in the list puts its name into the edit.
    child<QListWidget>(form, "FileListBox1")->item(0)->setSelected(true);
    QCOMPARE(child<QLineEdit>(form, "EFName")->text(), QString("exists.htm"));

    Prompter::setNextAnswer(Prompter::No);
    QTest::mouseClick(child<QPushButton>(form, "BOK"), Qt::LeftButton);
    QVERIFY(form.isVisible());
    QCOMPARE(writes, 0);
    QCOMPARE(readFile(work("exists.htm")), QByteArray("old bytes"));
    QCOMPARE(Prompter::log(), QStringList {overwriteQuestion(work("exists.htm"))});
    QCOMPARE(
        overwriteQuestion("/w/x.htm"), QString("File exists:\r\n/w/x.htm\r\n\r\nOverwrite? \r\n"));

    Prompter::setNextAnswer(Prompter::Yes);
    QTest::mouseClick(child<QPushButton>(form, "BOK"), Qt::LeftButton);
    QCOMPARE(writes, 1);
    QVERIFY(!form.isVisible());
}

void TestDialogs::saveFailedWriteKeepsDialogOpen()
{
    TFormFile form(*m_session);
    form.setSaveHandler([](const QString&) { return false; });
    form.prepare(TFormFile::Mode::Save);
    form.setDirectory(m_work->path());
    form.show();
    auto* name = child<QLineEdit>(form, "EFName");
    name->setText("x.htm");
    QTest::mouseClick(child<QPushButton>(form, "BOK"), Qt::LeftButton);
    QVERIFY(form.isVisible());
    QCOMPARE(Prompter::log(), QStringList {"Invalid Filename: " + work("x.htm")});

    // A name that is a directory is refused before anything is asked or written.
    QDir().mkpath(work("folder"));
    name->setText("folder");
    QTest::mouseClick(child<QPushButton>(form, "BOK"), Qt::LeftButton);
    QVERIFY(form.isVisible());
    QCOMPARE(Prompter::log().last(), "Invalid Filename: " + work("folder"));

    name->setText("   ");
    QVERIFY(!child<QPushButton>(form, "BOK")->isEnabled());
}

void TestDialogs::treeRefusesRootOfFileSystem()
{
    TFormTree form(*m_session);
    form.prepare();
    form.show();
    QCOMPARE(form.windowTitle(), QString("Tree"));
    auto* ok = child<QPushButton>(form, "BOK");
    form.setDirectory("/");
    QVERIFY(!ok->isEnabled());
    QTest::keyClick(&form, Qt::Key_Return);
    QVERIFY(form.isVisible());
    QVERIFY(!isChoosableTree("/"));

    QDir().mkpath(work("site"));
    form.setDirectory(work("site"));
    QVERIFY(ok->isEnabled());
}

void TestDialogs::treeOkRemembersDirectoryWithSlash()
{
    QDir().mkpath(work("site/img"));
    TFormTree form(*m_session);
    form.prepare();
    QCOMPARE(form.directory(), m_program->path() + "/");
    form.show();
    form.setDirectory(work("site"));
    // A single click opens a directory.
    auto* list = child<QListWidget>(form, "DirectoryListBox1");
    const QList<QListWidgetItem*> img = list->findItems("img", Qt::MatchExactly);
    QCOMPARE(img.size(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(img[0]).center());
    QTRY_COMPARE(form.directory(), work("site/img/"));

    QTest::keyClick(&form, Qt::Key_Return);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(ReadSettingsPath(m_session->settingsFile, "Tree", "")),
        work("site/img/"));

    // The next time the dialog opens where it was confirmed.
    TFormTree again(*m_session);
    again.prepare();
    QCOMPARE(again.directory(), work("site/img/"));
}

void TestDialogs::treeListShowsThePathFromTheRoot()
{
    // Opened again after the list was scrolled down, the root and the path stay in view.
    for (int i = 0; i < 60; ++i)
        QDir().mkpath(work("site/d" + QString::number(i)));
    TFormTree form(*m_session);
    form.prepare();
    form.show();
    form.setDirectory(work("site"));
    auto* list = child<QListWidget>(form, "DirectoryListBox1");
    list->scrollToBottom();
    form.setDirectory(work("site"));
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->currentItem())));
}

void TestDialogs::treeFilterSetsTreeFileType()
{
    m_session->runState.treeFileType = 3;
    TFormTree form(*m_session);
    form.prepare();
    auto* filter = child<QComboBox>(form, "FilterComboBox1");
    QCOMPARE(filter->count(), 6);
    QCOMPARE(filter->currentIndex(), 3);
    filter->setCurrentIndex(1);
    QCOMPARE(m_session->runState.treeFileType, 1);
}

void TestDialogs::foundFilesSkipVtiCnfAndOtherTypes()
{
    writeFile(work("site/a.htm"), HtmlPage);
    writeFile(work("site/b.html"), HtmlPage);
    writeFile(work("site/c.asp"), HtmlPage);
    writeFile(work("site/_VTI_CNF/d.htm"), HtmlPage);
    writeFile(work("site/sub/e.htm"), HtmlPage);
    m_session->runState.treeFileType = 0;
    TForm2 form(*m_session, work("site"));
    form.searchFiles();
    auto* list = child<QListWidget>(form, "ListBox1");
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->selectedItems().size(), 3);
    QCOMPARE(list->item(2)->text(), work("site/sub/e.htm"));
    QCOMPARE(form.windowTitle(), "3 valid HTML files found in: " + work("site") + "/...");
}

void TestDialogs::foundFilesSelectAndDeselectAll()
{
    writeFile(work("site/a.htm"), HtmlPage);
    writeFile(work("site/b.htm"), HtmlPage);
    TForm2 form(*m_session, work("site"));
    form.show();
    QTRY_VERIFY(form.searched());
    auto* list = child<QListWidget>(form, "ListBox1");
    QTest::mouseClick(child<QPushButton>(form, "BDeselectAll"), Qt::LeftButton);
    QCOMPARE(list->selectedItems().size(), 0);
    QTest::mouseClick(child<QPushButton>(form, "BSelectAll"), Qt::LeftButton);
    QCOMPARE(list->selectedItems().size(), 2);
    list->item(0)->setSelected(false);
    QTest::mouseClick(child<QPushButton>(form, "BOK"), Qt::LeftButton);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(form.keptFiles(), QStringList {work("site/b.htm")});
    QCOMPARE(form.keptFileList(), std::vector<std::string> {work("site/b.htm").toStdString()});
}

void TestDialogs::foundFilesCancelKeepsNothing()
{
    writeFile(work("site/a.htm"), HtmlPage);
    TForm2 form(*m_session, work("site"));
    form.show();
    QTRY_VERIFY(form.searched());
    QTest::mouseClick(child<QPushButton>(form, "BCancel"), Qt::LeftButton);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(form.keptFiles().isEmpty());
}

void TestDialogs::foundFilesScriptedRun()
{
    writeFile(work("site/a.htm"), HtmlPage);
    writeFile(work("site/b.htm"), HtmlPage);
    TForm2 kept(*m_session, work("site"));
    Prompter::setNextAnswer(Prompter::Ok);
    QCOMPARE(kept.run(), int(QDialog::Accepted));
    QCOMPARE(kept.keptFiles().size(), 2);

    TForm2 refused(*m_session, work("site"));
    Prompter::setNextAnswer(Prompter::Cancel);
    QCOMPARE(refused.run(), int(QDialog::Rejected));
    QVERIFY(refused.keptFiles().isEmpty());
}

QTEST_MAIN(TestDialogs)
#include "TestDialogs.moc"
