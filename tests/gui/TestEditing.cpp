/// The editor's selection popup, search and replace dialog and tag hint line, driven through
/// the real main window, offscreen, on a temporary program directory.
#include "app/ReplaceDialog1.h"
#include "app/TForm1.h"
#include "editor/RichEdit.h"
#include "widgets/Prompter.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "GuiTestSupport.h"

#include <memory>

using namespace zenkel;
using zenkel::test::readFile;
using zenkel::test::writeFile;

namespace {

void copyStyle(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const char* file : {"options.ini", "tag.ini"})
        QFile::copy(from + "/" + file, to + "/" + file);
}

const QByteArray Page = "<html>\r\n"
                        "<body>\r\n"
                        "<p>before</p>\r\n"
                        "<table><tr><td>cell</td></tr></table>\r\n"
                        "<p>after</p>\r\n"
                        "</body>\r\n"
                        "</html>\r\n";

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void popupHasFifteenStyleItemsAndItsName();
    void formatWithAnotherStyleKeepsTheActiveStyle();
    void compressAndTrimTouchOnlyTheSelection_data();
    void compressAndTrimTouchOnlyTheSelection();
    void popupItemsAreDisabledWithoutSelection();
    void searchDialogFindsReplacesAndRemembers();
    void replaceAllInALargeFileIsOneUndoStep();
    void escapeFromAnotherWindowKeepsTheEdits();
    void undoAndRedoRecolour();
    void tagHintFollowsTheCaret();
    void shiftF1InsertsTheHintOrItsSelectedPart();
    void missingHintFileKeepsTheNote();

private:
    std::unique_ptr<TForm1> start(const QByteArray& page = Page);
    QString home() const { return m_dir->path() + "/"; }
    QString page() const { return home() + "site/page.htm"; }
    RichEdit& editor(TForm1& form) { return form.editor(); }
    /// Right click into the editor, then a click on the item whose caption is given.
    void clickPopupItem(TForm1& form, const QString& caption);
    void select(TForm1& form, const QString& from, const QString& to);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestEditing::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    const QString data = QStringLiteral(ZENKEL_DATA_DIR);
    copyStyle(data + "/styles/_default", home() + "styles/_default");
    copyStyle(data + "/styles/classic", home() + "styles/classic");
    QFile::copy(data + "/trim.ini", home() + "trim.ini");
    QFile::copy(data + "/tagsyntax.txt", home() + "tagsyntax.txt");
    Prompter::clearAutoAnswer();
    Prompter::log().clear();
}

void TestEditing::cleanup()
{
    Prompter::clearAutoAnswer();
    m_dir.reset();
}

std::unique_ptr<TForm1> TestEditing::start(const QByteArray& bytes)
{
    writeFile(page(), bytes);
    StartOptions options;
    options.programDirectory = home().toStdString();
    options.parameters = {page().toStdString()};
    auto form = std::make_unique<TForm1>(options);
    form->show();
    QCoreApplication::processEvents(); // the first activation follows the show
    return form;
}

void TestEditing::select(TForm1& form, const QString& from, const QString& to)
{
    const QString text = editor(form).plainText();
    const int start = static_cast<int>(text.indexOf(from));
    const int end = static_cast<int>(text.indexOf(to, start));
    QVERIFY(start >= 0 && end >= start);
    editor(form).selectRange(start, end - start);
}

void TestEditing::clickPopupItem(TForm1& form, const QString& caption)
{
    QWidget* viewport = editor(form).viewport();
    const QPoint at(viewport->width() / 2, 10);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QCoreApplication::sendEvent(viewport, &event);
    QMenu& menu = form.popMenRE();
    QTRY_VERIFY(menu.isVisible());
    // The menu opens with its right edge at the mouse.
    QVERIFY(menu.geometry().right() <= viewport->mapToGlobal(at).x() + 1);
    QAction* item = nullptr;
    for (QAction* action : menu.actions())
        if (action->data().toString() == caption)
            item = action;
    QVERIFY2(item, qPrintable(caption));
    QVERIFY(item->isEnabled());
    menu.hide();
    item->trigger();
}

void TestEditing::popupHasFifteenStyleItemsAndItsName()
{
    for (int i = 1; i <= 18; ++i)
        copyStyle(
            home() + "styles/_default", home() + QString("styles/s%1").arg(i, 2, 10, QChar('0')));
    writeFile(home() + "prg.ini", "[OPTIONS]\r\nPopUpStyleName=classic\r\n");
    auto form = start();
    const QList<QAction*> items = form->popMenRE().actions();
    QCOMPARE(items.size(), 5 + 15);
    QCOMPARE(items[0]->text(), QString("Format selection with: \"classic\""));
    QVERIFY(items[1]->isSeparator() && items[4]->isSeparator());
    QCOMPARE(items[2]->text(), QString("Compress Selection"));
    QCOMPARE(items[3]->text(), QString("Trim Selection"));
    QCOMPARE(items[5]->text(), QString("Format selection with: \"_default\""));
    QCOMPARE(items[19]->text(), QString("Format selection with: \"s13\""));
    QCOMPARE(editor(*form).toolTip(), QString("Right Mouse Button"));
}

void TestEditing::formatWithAnotherStyleKeepsTheActiveStyle()
{
    auto form = start();
    const QString title = form->windowTitle();
    QCOMPARE(title, QString("Zenkel HTML v3.5d  - Style: _default"));
    QVERIFY(!form->editorModified());
    select(*form, "able><tr>", "able>\r\n<p>after");
    QSignalSpy captions(form.get(), &QWidget::windowTitleChanged);

    clickPopupItem(*form, "Format selection with: \"classic\"");

    const QString text = editor(*form).plainText();
    QVERIFY2(text.startsWith("<html>\r\n<body>\r\n<p>before</p>\r\n"), qPrintable(text));
    QVERIFY2(text.endsWith("\r\n<p>after</p>\r\n</body>\r\n</html>\r\n"), qPrintable(text));
    QVERIFY2(text.contains("<TABLE>") && text.contains("<TD>"), qPrintable(text));
    QVERIFY2(!text.contains("STYLE: classic"), qPrintable(text)); // no documentation line
    // The result is selected, from the line start on.
    const QString selected = editor(*form).selectedText();
    QVERIFY(selected.contains("<TABLE>") && selected.endsWith("\r\n"));
    QCOMPARE(editor(*form).selectionStart(), static_cast<int>(Page.indexOf("<table>")));
    QVERIFY(form->editorModified());
    QVERIFY(form->findChild<QLabel*>("Label1")->text().startsWith("Unsaved: "));
    // The caption named the style used meanwhile; afterwards the active style is back.
    QVERIFY(!captions.isEmpty());
    QCOMPARE(captions.first().first().toString(), QString("Zenkel HTML v3.5d  - Style: classic"));
    QCOMPARE(form->windowTitle(), title);
    QCOMPARE(QString::fromStdString(form->session().settings.StyleName), QString("_default"));
    QCOMPARE(QString::fromStdString(form->session().engine.style().options.StyleName),
        QString("_default"));
    QCOMPARE(
        form->popMenRE().actions().first()->text(), QString("Format selection with: \"classic\""));

    Prompter::setNextAnswer(Prompter::No); // do not save the page
    form->close();
    const QList<QByteArray> ini = readFile(home() + "prg.ini").split('\n');
    QVERIFY(ini.contains("PopUpStyleName=classic\r"));
    QVERIFY(ini.contains("StyleName=_default\r"));
    QCOMPARE(readFile(page()), Page); // the file is written only by Save
}

void TestEditing::compressAndTrimTouchOnlyTheSelection_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("expected");
    const QString page = "<html>\r\n"
                         "<body>\r\n"
                         "  <p>keep   <b> this </b></p>\r\n"
                         "  <p>  one  </p>\r\n"
                         "  <p>  two  </p> tail\r\n"
                         "</body>\r\n";
    QTest::newRow("compress") << "Compress Selection"
                              << "ne "
                              << "wo"
                              << page.left(page.indexOf("  <p>  one"))
            + "<p> one </p><p> two </p>\r\n   tail\r\n</body>\r\n";
    QTest::newRow("trim") << "Trim Selection"
                          << "<p>  one"
                          << "</p> tail"
                          << page.left(page.indexOf("  <p>  one"))
            + "  <p>one</p>\r\n  <p>two</p>\r\n   tail\r\n</body>\r\n";
}

void TestEditing::compressAndTrimTouchOnlyTheSelection()
{
    QFETCH(QString, item);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, expected);
    const QString text = "<html>\r\n"
                         "<body>\r\n"
                         "  <p>keep   <b> this </b></p>\r\n"
                         "  <p>  one  </p>\r\n"
                         "  <p>  two  </p> tail\r\n"
                         "</body>\r\n";
    auto form = start(text.toUtf8());
    select(*form, from, to);
    clickPopupItem(*form, item);
    QCOMPARE(editor(*form).plainText(), expected);
    QVERIFY(form->editorModified());
    QVERIFY(QFile::exists(home() + "0tmp_htm.htm"));
    QVERIFY(QFile::exists(home() + "0tmp_nftags.htm"));
    QCOMPARE(form->windowTitle(), QString("Zenkel HTML v3.5d  - Style: _default"));
    form->setEditorModified(false);
}

void TestEditing::popupItemsAreDisabledWithoutSelection()
{
    auto form = start();
    editor(*form).setCaretPosition(0); // nothing before the first tag
    form->popMenRE().popup(QPoint(100, 100));
    QTRY_VERIFY(form->popMenRE().isVisible());
    for (QAction* item : form->popMenRE().actions())
        QVERIFY(!item->isEnabled());
    form->popMenRE().hide();
}

void TestEditing::searchDialogFindsReplacesAndRemembers()
{
    writeFile(home() + "prg.ini", "[OPTIONS]\r\nLastSearch=\" p>\"\r\nLastReplace=x\r\n");
    Prompter::setAutoAnswer(Prompter::Ok);
    {
        auto form = start();
        ReplaceDialog1& dialog = form->replaceDialog1();
        QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.findText(), QString(" p>"));
        QCOMPARE(dialog.replaceText(), QString("x"));
        QVERIFY(dialog.findChild<QWidget*>("RBDown")->property("checked").toBool());
        dialog.hide();

        QTest::mouseClick(form->findChild<QPushButton*>("BSearchRep"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        dialog.setFindText("<P>");
        dialog.setReplaceText("<p class=x>");
        // Up is shown but the search still runs downwards.
        dialog.findChild<QWidget*>("RBUp")->setProperty("checked", true);
        editor(*form).setCaretPosition(editor(*form).plainText().indexOf("after"));
        QTest::mouseClick(dialog.findChild<QPushButton*>("BFindNext"), Qt::LeftButton);
        QCOMPARE(editor(*form).selectionStart(), static_cast<int>(Page.indexOf("<p>before")));
        QVERIFY(!form->editorModified());
        QTest::mouseClick(dialog.findChild<QPushButton*>("BReplace"), Qt::LeftButton);
        QVERIFY(editor(*form).plainText().contains("<p>before</p>"));
        QVERIFY(editor(*form).plainText().contains("<p class=x>after</p>"));
        QCOMPARE(editor(*form).selectedText(), QString("<p class=x>"));
        QVERIFY(form->editorModified());

        dialog.findChild<QCheckBox*>("CBMatchCase")->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton*>("BReplaceAll"), Qt::LeftButton);
        QCOMPARE(Prompter::log().last(), QString("\"<P>\" not found."));
        dialog.findChild<QCheckBox*>("CBMatchCase")->setChecked(false);
        editor(*form).setCaretPosition(0);
        QTest::mouseClick(dialog.findChild<QPushButton*>("BReplaceAll"), Qt::LeftButton);
        QCOMPARE(Prompter::log().last(), QString("\"<P>\", Replace done: 1 times"));
        QTest::mouseClick(form->findChild<QPushButton*>("BUndo"), Qt::LeftButton);
        QVERIFY(editor(*form).plainText().contains("<p>before</p>"));
        QCOMPARE(QString::fromStdString(form->session().settings.LastSearch), QString("<P>"));
        Prompter::setNextAnswer(Prompter::No);
        form->close();
    }
    QVERIFY(readFile(home() + "prg.ini").contains("LastSearch=<P>"));
    auto form = start();
    QTest::keyClick(form.get(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(form->replaceDialog1().findText(), QString("<P>"));
    QCOMPARE(form->replaceDialog1().replaceText(), QString("<p class=x>"));
}

void TestEditing::escapeFromAnotherWindowKeepsTheEdits()
{
    auto form = start();
    select(*form, "before", "</p>");
    editor(*form).replaceSelectedText("edited");
    form->SetREToModified();
    // The release of an Esc pressed in a dialog that has closed since does nothing.
    QTest::keyRelease(form.get(), Qt::Key_Escape);
    QVERIFY(editor(*form).plainText().contains("edited"));
    QVERIFY(form->statusText().startsWith("Unsaved: "));
    // Esc pressed and released here is Cancel All, which Undo takes back.
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QVERIFY(!editor(*form).plainText().contains("edited"));
    QVERIFY(!form->editorModified());
    auto* undo = form->findChild<QPushButton*>("BUndo");
    QVERIFY(undo->isEnabled());
    QTest::mouseClick(undo, Qt::LeftButton);
    QVERIFY(editor(*form).plainText().contains("edited"));
    QVERIFY(form->editorModified());
    QVERIFY(form->statusText().startsWith("Unsaved: "));
}

void TestEditing::undoAndRedoRecolour()
{
    auto form = start();
    RichEdit& re = editor(*form);
    const int tag = static_cast<int>(re.plainText().indexOf("<table>"));
    QCOMPARE(re.colorClassOfChar(tag), ColorClass::Tag);
    select(*form, "<table>", "</table>");
    re.replaceSelectedText(QString());
    re.undo();
    QCoreApplication::processEvents();
    QCOMPARE(re.colorClassOfChar(tag), ColorClass::Tag);
    QCOMPARE(re.colorClassOfChar(tag + 11), ColorClass::Tag); // the <td> inside
    re.redo();
    re.undo();
    QCoreApplication::processEvents();
    QCOMPARE(re.colorClassOfChar(tag + 1), ColorClass::Tag);
}

void TestEditing::replaceAllInALargeFileIsOneUndoStep()
{
    QByteArray big = "<html>\r\n";
    int matches = 0;
    while (big.size() < 2500000) {
        if (matches < 10000 && big.size() >= matches * 250) {
            big += "<td class=\"needle\">";
            ++matches;
        }
        big += "<p>Some ordinary text &amp; more words</p>\r\n";
    }
    Prompter::setAutoAnswer(Prompter::Ok);
    auto form = start(big);
    QCOMPARE(editor(*form).textLength(), static_cast<int>(big.size()));
    QTest::keyClick(form.get(), Qt::Key_R, Qt::ControlModifier);
    ReplaceDialog1& dialog = form->replaceDialog1();
    dialog.setFindText("needle");
    dialog.setReplaceText("haystack");
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(dialog.findChild<QPushButton*>("BReplaceAll"), Qt::LeftButton);
    const qint64 elapsed = timer.elapsed();
    qInfo("Replace All of 10000 matches in %lld bytes through the window: %lld ms",
        static_cast<long long>(big.size()), static_cast<long long>(elapsed));
    QCOMPARE(Prompter::log().last(), QString("\"needle\", Replace done: 10000 times"));
    QCOMPARE(editor(*form).plainText().count("haystack"), 10000);
    QVERIFY(elapsed < 3000);
    QTest::mouseClick(form->findChild<QPushButton*>("BUndo"), Qt::LeftButton);
    QVERIFY(editor(*form).plainText().toUtf8() == big);
    form->setEditorModified(false);
}

void TestEditing::tagHintFollowsTheCaret()
{
    auto form = start("<html>\r\n<table border=1><tr><td>x</td></tr></TABLE>\r\n<abbr>y</abbr>\r\n"
                      "<a href=\"q\">z</a>\r\n</html>\r\n");
    auto* edit1 = form->findChild<QLineEdit*>("Edit1");
    QVERIFY(edit1->text().startsWith("Note: "));
    const QString text = editor(*form).plainText();
    editor(*form).setCaretPosition(static_cast<int>(text.indexOf("border")));
    QTRY_VERIFY(edit1->text().startsWith("<table"));
    const QString tableHint = edit1->text();
    QVERIFY(edit1->toolTip().startsWith("Press <SHIFT>-<F1> to insert this hintline"));
    editor(*form).setCaretPosition(static_cast<int>(text.indexOf("</TABLE>")) + 3);
    QTRY_COMPARE(edit1->text(), tableHint);
    editor(*form).setCaretPosition(static_cast<int>(text.indexOf("href")));
    QTRY_VERIFY(edit1->text().startsWith("<a "));
    editor(*form).setCaretPosition(static_cast<int>(text.indexOf("abbr>")) + 1);
    QTRY_VERIFY(edit1->text().startsWith("<abbr"));
    // Before the first tag nothing is found and the hint stays.
    editor(*form).setCaretPosition(0);
    QCoreApplication::processEvents();
    QVERIFY(edit1->text().startsWith("<abbr"));
    // An unknown tag empties the hint line and its pop-up hint.
    editor(*form).selectRange(0, 0);
    editor(*form).setText("<zz>");
    editor(*form).setCaretPosition(2);
    QTRY_COMPARE(edit1->text(), QString());
    QCOMPARE(edit1->toolTip(), QString());
    form->setEditorModified(false);
}

void TestEditing::shiftF1InsertsTheHintOrItsSelectedPart()
{
    auto form = start("<html>\r\n<img src=a.png>\r\n\r\n</html>\r\n");
    auto* edit1 = form->findChild<QLineEdit*>("Edit1");
    const QString text = editor(*form).plainText();
    const int blankLine = static_cast<int>(text.indexOf("\r\n\r\n")) + 2;

    // The start-up note is never inserted.
    editor(*form).setCaretPosition(blankLine);
    QCoreApplication::processEvents();
    edit1->setText("Note: Zenkel HTML v3.x supports partial code formatting");
    QTest::keyClick(form.get(), Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(editor(*form).plainText(), text);

    editor(*form).setCaretPosition(static_cast<int>(text.indexOf("src")));
    QTRY_VERIFY(edit1->text().startsWith("<img"));
    const QString hint = edit1->text();
    editor(*form).setCaretPosition(blankLine);
    QCoreApplication::processEvents();
    edit1->setSelection(0, 4);
    QTest::keyClick(form.get(), Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(editor(*form).plainText(), QString(text).insert(blankLine, hint.left(4)));
    QCOMPARE(editor(*form).selectedText(), hint.left(4));
    QVERIFY(form->editorModified());

    // With nothing selected in the hint line, all of it goes in place of the selection.
    edit1->setText(hint);
    edit1->deselect();
    QTest::keyClick(form.get(), Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(editor(*form).plainText(), QString(text).insert(blankLine, hint));
    QCOMPARE(editor(*form).selectedText(), hint);
    form->setEditorModified(false);
}

void TestEditing::missingHintFileKeepsTheNote()
{
    QFile::remove(home() + "tagsyntax.txt");
    auto form = start();
    QVERIFY(form->tagHints().isEmpty());
    auto* edit1 = form->findChild<QLineEdit*>("Edit1");
    editor(*form).setCaretPosition(3);
    QCoreApplication::processEvents();
    QVERIFY(edit1->text().startsWith("Note: "));
}

QTEST_MAIN(TestEditing)
#include "TestEditing.moc"
