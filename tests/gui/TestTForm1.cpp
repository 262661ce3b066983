/// The main window driven as a user drives it, offscreen, on a temporary program directory.
#include "app/ButtonStates.h"
#include "app/CommandLine.h"
#include "app/TForm1.h"
#include "app/TFormFile.h"
#include "editor/RichEdit.h"
#include "widgets/Prompter.h"

#include <Qsci/qsciscintilla.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "GuiTestSupport.h"

#include <memory>

using namespace zenkel;
using zenkel::test::readFile;
using zenkel::test::writeFile;

namespace {

void copyTree(const QString& from, const QString& to)
{
    QDir source(from);
    QDir().mkpath(to);
    for (const QFileInfo& entry : source.entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        if (entry.isDir())
            copyTree(entry.filePath(), to + "/" + entry.fileName());
        else
            QFile::copy(entry.filePath(), to + "/" + entry.fileName());
    }
}

} // namespace

class TestTForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startUpActivatesTheStyleAndSetsTheCaption();
    void startUpFallsBackToTheFirstStyle();
    void everyControlHasItsName();
    void buttonStateRules_data();
    void buttonStateRules();
    void commandLineTable_data();
    void commandLineTable();
    void listRunConfirmedAndCancelled();
    void escapeSetsTheUserBreak();
    void settingsWrittenAtCloseUnlessDismissed();
    void unattendedCommandLineFormatsWithBackup();
    void newThenCancelAll();
    void browserCopyWrittenAndDeletedOnSave();
    void singleFileSelectionShowsTheHtmlPage();
    void namesAppearVerbatim();
    void filesSurviveLoadAndSaveByteForByte();

private:
    std::unique_ptr<TForm1> start(const std::vector<std::string>& parameters = {});
    QString home() const { return m_dir->path() + "/"; }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTForm1::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    copyTree(QStringLiteral(ZENKEL_DATA_DIR) + "/styles", home() + "styles");
    QFile::copy(QStringLiteral(ZENKEL_DATA_DIR) + "/trim.ini", home() + "trim.ini");
    writeFile(home() + "site/a.htm", "<html><p>a</p></html>");
    writeFile(home() + "site/b.htm", "<html><p>b</p></html>");
    Prompter::clearAutoAnswer();
    Prompter::log().clear();
}

void TestTForm1::cleanup()
{
    Prompter::clearAutoAnswer();
    m_dir.reset();
}

std::unique_ptr<TForm1> TestTForm1::start(const std::vector<std::string>& parameters)
{
    StartOptions options;
    options.programDirectory = home().toStdString();
    options.parameters = parameters;
    auto form = std::make_unique<TForm1>(options);
    form->show();
    QCoreApplication::processEvents(); // the first activation follows the show
    return form;
}

void TestTForm1::startUpActivatesTheStyleAndSetsTheCaption()
{
    auto form = start();
    QCOMPARE(form->windowTitle(), QString("Zenkel HTML v3.5d  - Style: _default"));
    QVERIFY(form->findChild<QPushButton*>("BTrim")->toolTip().startsWith(
        "<F7>: Trim specified tags and save file(s)\r\n<A></A>"));
    QVERIFY(form->findChild<QLineEdit*>("Edit1")->text().startsWith("Note: Zenkel HTML v3.x"));
    QCOMPARE(form->findChild<QTabWidget*>("Notebook1")->currentIndex(), 1);
}

void TestTForm1::startUpFallsBackToTheFirstStyle()
{
    writeFile(home() + "prg.ini", "[OPTIONS]\r\nStyleName=gone\r\n");
    auto form = start();
    QCOMPARE(form->windowTitle(), QString("Zenkel HTML v3.5d  - Style: _default"));
    QCOMPARE(QString::fromStdString(form->session().settings.StyleName), QString("_default"));
}

void TestTForm1::everyControlHasItsName()
{
    auto form = start();
    for (const char* name :
        {"PanelButtons", "BFiles", "BTree", "BFormat", "BCompress", "BTrim", "BRestore", "BOptions",
            "BHelp", "BEarth", "PanelMsg", "Label1", "ProgressActFile", "Notebook1",
            "RichProtokoll", "ProgressAll", "PanelEditor", "Edit1", "REScreen", "BNew", "BSave",
            "BSaveAs", "BCancel", "BUndo", "BSearchRep", "BBrowser", "BRepaint1", "BRepaint5"}) {
        QVERIFY2(form->findChild<QWidget*>(name), name);
    }
    QCOMPARE(form->findChild<QPushButton*>("BFormat")->toolTip(),
        QString("<F5>: Format and save file(s)"));
    QCOMPARE(form->findChild<QPushButton*>("BFiles")->text(), QString("Select File(s)"));
}

void TestTForm1::buttonStateRules_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("backup");
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<QString>("disabled");
    QTest::newRow("none") << 0 << false << false << "BFiles BTree BNew"
                          << "BFormat BCompress BTrim BRestore BSave BSaveAs BRepaint1";
    QTest::newRow("list with backup")
        << 20 << false << true << "BFiles BFormat BCompress BTrim BRestore"
        << "BSave BCancel BUndo BSaveAs BSearchRep BBrowser";
    QTest::newRow("single clean") << 10 << false << true
                                  << "BFiles BFormat BRestore BSaveAs BSearchRep BRepaint3"
                                  << "BSave BCancel BUndo";
    QTest::newRow("single modified") << 10 << true << true << "BSave BCancel BUndo BSaveAs"
                                     << "BFiles BTree BNew BFormat BRestore";
}

void TestTForm1::buttonStateRules()
{
    QFETCH(int, mode);
    QFETCH(bool, modified);
    QFETCH(bool, backup);
    QFETCH(QString, enabled);
    QFETCH(QString, disabled);
    ButtonStateInput input;
    input.SelectionMode = static_cast<SelectionMode>(mode);
    input.editorModified = modified;
    input.backupExists = backup;
    const auto states = SetButtonStateRules(input);
    for (const QString& name : enabled.split(' '))
        QVERIFY2(states.at(name.toStdString()), qPrintable(name));
    for (const QString& name : disabled.split(' '))
        QVERIFY2(!states.at(name.toStdString()), qPrintable(name));
}

void TestTForm1::commandLineTable_data()
{
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<bool>("fileValid");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("operation");
    QTest::newRow("file only") << QStringList {"page.htm"} << true << 1 << 0;
    QTest::newRow("invalid file") << QStringList {"page.htm"} << false << 0 << 0;
    QTest::newRow("-ct") << QStringList {"-ct", "page.htm"} << true << 1 << 1;
    QTest::newRow("-fab") << QStringList {"-fab", "page.htm"} << true << 2 << 2;
    QTest::newRow("-t") << QStringList {"-T", "page.htm"} << true << 1 << 4;
    QTest::newRow("-cf ignored") << QStringList {"-cf", "page.htm"} << true << 0 << 0;
    QTest::newRow("no dash ignored") << QStringList {"cb", "page.htm"} << true << 0 << 0;
    QTest::newRow("-b alone ignored") << QStringList {"-b", "page.htm"} << true << 0 << 0;
    QTest::newRow("three ignored") << QStringList {"-f", "a.htm", "b.htm"} << true << 0 << 0;
}

void TestTForm1::commandLineTable()
{
    QFETCH(QStringList, params);
    QFETCH(bool, fileValid);
    QFETCH(int, mode);
    QFETCH(int, operation);
    std::vector<std::string> args;
    for (const QString& p : params)
        args.push_back(p.toStdString());
    const CommandLine line = ParseCommandLine(args, [&](const std::string&) { return fileValid; });
    QCOMPARE(static_cast<int>(line.mode), mode);
    QCOMPARE(static_cast<int>(line.operation), operation);
    if (mode != 0)
        QVERIFY(QFileInfo(QString::fromStdString(line.file)).isAbsolute());
}

void TestTForm1::listRunConfirmedAndCancelled()
{
    auto form = start();
    RunState& state = form->session().runState;
    state.SelectionMode = SelectionMode::FileList;
    state.fileList = {(home() + "site/a.htm").toStdString(), (home() + "site/b.htm").toStdString()};
    form->SetButtonState();

    Prompter::setNextAnswer(Prompter::Cancel);
    QTest::mouseClick(form->findChild<QPushButton*>("BFormat"), Qt::LeftButton);
    QVERIFY(form->findChild<QPlainTextEdit*>("RichProtokoll")
                ->toPlainText()
                .endsWith("--> canceled ..."));
    QCOMPARE(readFile(home() + "site/a.htm"), QByteArray("<html><p>a</p></html>"));

    Prompter::setNextAnswer(Prompter::Ok);
    QTest::keyClick(form.get(), Qt::Key_F5);
    const QString protocol = form->findChild<QPlainTextEdit*>("RichProtokoll")->toPlainText();
    QVERIFY(protocol.contains("==> Formatted: " + home() + "site/a.htm"));
    QVERIFY(protocol.endsWith("Report saved ==> " + home() + "report.txt"));
    QVERIFY(QFile::exists(home() + "site/a.htm.zbak"));
    QVERIFY(readFile(home() + "site/a.htm").contains("\r\n"));
    QVERIFY(form->findChild<QWidget*>("PanelButtons")->isEnabled());
}

void TestTForm1::escapeSetsTheUserBreak()
{
    auto form = start();
    form->session().runState.userBreak = false;
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QVERIFY(form->session().runState.userBreak);
}

void TestTForm1::settingsWrittenAtCloseUnlessDismissed()
{
    {
        auto form = start();
        form->session().settings.BackupExt = ".old";
        form->close();
    }
    QVERIFY(readFile(home() + "prg.ini").contains("BackupExt=.old"));

    QFile::remove(home() + "prg.ini");
    {
        auto form = start();
        form->session().runState.SelectionMode = SelectionMode::SingleFile;
        form->findChild<QTabWidget*>("Notebook1")->setCurrentIndex(0);
        form->setEditorModified(true);
        Prompter::setNextAnswer(Prompter::Closed);
        form->close();
    }
    QVERIFY(!QFile::exists(home() + "prg.ini"));
    QVERIFY(Prompter::log().last().endsWith("before close?"));
}

void TestTForm1::unattendedCommandLineFormatsWithBackup()
{
    const QString page = home() + "site/a.htm";
    auto form = start({"-fab", page.toStdString()});
    QTRY_VERIFY(QFile::exists(page + ".zbak"));
    QCOMPARE(readFile(page + ".zbak"), QByteArray("<html><p>a</p></html>"));
    QVERIFY(readFile(page).contains("\r\n"));
    // The editor shows the result, not the text it held before the run.
    QVERIFY(form->editor().plainText().contains("<html>\r\n"));
    QVERIFY(Prompter::log().isEmpty()); // no dialog at all
}

void TestTForm1::newThenCancelAll()
{
    auto form = start();
    QTest::mouseClick(form->findChild<QPushButton*>("BNew"), Qt::LeftButton);
    QVERIFY(form->editorModified());
    QVERIFY(form->findChild<QPushButton*>("BCancel")->isEnabled());
    QVERIFY(!form->findChild<QPushButton*>("BFormat")->isEnabled());
    QTest::mouseClick(form->findChild<QPushButton*>("BCancel"), Qt::LeftButton);
    QVERIFY(!form->editorModified());
    QCOMPARE(form->statusText(), QString("Click <Select File(s)> or <Select Tree> to process ..."));
}

/// Records the files the program asks the desktop to open, instead of opening them.
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    OpenedUrls() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler("file"); }
    QStringList files;

public slots:
    void open(const QUrl& url) { files.append(url.toLocalFile()); }
};

void TestTForm1::browserCopyWrittenAndDeletedOnSave()
{
    OpenedUrls opened;
    const QString page = home() + "site/a.htm";
    const QString copy = home() + "site/$zenkelhtml_tmp.htm";
    auto form = start({page.toStdString()});
    QCOMPARE(QString::fromStdString(form->session().runState.currentFile), page);
    // Saved text: the browser shows the file itself, and no copy is written.
    form->BBrowserClick();
    QCOMPARE(opened.files, QStringList {page});
    QVERIFY(!QFile::exists(copy));
    form->SetREToModified();
    form->BBrowserClick();
    QCOMPARE(opened.files.last(), copy);
    QVERIFY(QFile::exists(copy));
    QVERIFY(form->BSaveClick());
    QVERIFY(!QFile::exists(copy));
}

void TestTForm1::singleFileSelectionShowsTheHtmlPage()
{
    auto form = start();
    auto* notebook = form->findChild<QTabWidget*>("Notebook1");
    QCOMPARE(notebook->currentIndex(), 1);
    form->formFile().presetSelection(home() + "site", {"a.htm"});
    Prompter::setNextAnswer(Prompter::Ok);
    QTest::keyClick(form.get(), Qt::Key_F3);
    QCOMPARE(notebook->currentIndex(), 0);
    QVERIFY(form->statusText().startsWith("File: " + home() + "site/a.htm"));
    QVERIFY(form->editor().plainText().contains("<p>a</p>"));
}

void TestTForm1::namesAppearVerbatim()
{
    // A message box never reads a tag name as rich text.
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->text();
        format = box->textFormat();
        box->accept();
    });
    Prompter::information(nullptr, "Zenkel HTML", "Tag: <TABLE> & <BODY> already exists");
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(shown, QString("Tag: <TABLE> & <BODY> already exists"));
    // Nor does the status line read a file name so.
    const QString page = home() + "site/a&<b>.htm";
    writeFile(page, "<html><p>x</p></html>");
    auto form = start({page.toStdString()});
    auto* status = form->findChild<QLabel*>("Label1");
    QCOMPARE(status->textFormat(), Qt::PlainText);
    QVERIFY(status->text().startsWith("File: " + page));
}

void TestTForm1::filesSurviveLoadAndSaveByteForByte()
{
    // A UTF-8 page and a Windows-1252 page (with a byte the code page leaves undefined).
    const QByteArray utf8 = "<html>\r\n<p>Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC</p>\r\n</html>\r\n";
    const QByteArray cp1252 = "<html>\r\n<p>Gr\xFC\xDF \x80 \x81</p>\r\n</html>\r\n";
    for (const QByteArray& bytes : {utf8, cp1252}) {
        writeFile(home() + "site/enc.htm", bytes);
        auto form = start({(home() + "site/enc.htm").toStdString()});
        form->SetREToModified();
        QVERIFY(form->BSaveClick());
        QCOMPARE(readFile(home() + "site/enc.htm"), bytes);
    }
}

QTEST_MAIN(TestTForm1)
#include "TestTForm1.moc"
