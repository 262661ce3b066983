/// Options window tests: the tag page and the new style dialog.
#include "TFormOptionsTestSupport.h"

// ---- Tags page -----------------------------------------------------------------------------

void TFormOptionsTest::typingACommentStoresItAtOnce()
{
    openForm();
    selectTag("<TABLE>");
    QTest::keyClicks(child<QLineEdit>(form(), "EditEComment"), "end of table");
    QCOMPARE(qs(style().tags[tagEntry("<TABLE>")].EndComment), QString("end of table"));
    QVERIFY(m_form->isModified());
    // Moving to another row and back shows the stored text.
    selectTag("<HTML>");
    QCOMPARE(child<QLineEdit>(form(), "EditEComment")->text(), QString());
    selectTag("<TABLE>");
    QCOMPARE(child<QLineEdit>(form(), "EditEComment")->text(), QString("end of table"));
}

void TFormOptionsTest::asTextWithoutBreaksBecomesStandAloneWithOneEach()
{
    openForm();
    selectTag("<B>");
    const int entry = tagEntry("<B>");
    QVERIFY(style().tags[entry].TreatAsText);
    QCOMPARE(child<QSpinBox>(form(), "UpDownBefore")->minimum(), 0);
    QCOMPARE(grid().item(entry - 1, 2)->text(), QString("00"));
    QTest::mouseClick(child<QRadioButton>(form(), "RBAlone"), Qt::LeftButton);
    QVERIFY(!style().tags[entry].TreatAsText);
    QCOMPARE(style().tags[entry].CRLFLeading, 1);
    QCOMPARE(style().tags[entry].CRLFFollowed, 1);
    QCOMPARE(grid().item(entry - 1, 1)->text(), QString("S"));
    QCOMPARE(grid().item(entry - 1, 2)->text(), QString("11"));
    QCOMPARE(child<QLineEdit>(form(), "EditLinesAtOpen")->text(), QString("1"));
    QCOMPARE(child<QLineEdit>(form(), "EditLinesAtClose")->text(), QString("1"));
    QCOMPARE(child<QSpinBox>(form(), "UpDownBefore")->minimum(), 1);
    QVERIFY(child<QRadioButton>(form(), "RBAlone")->font().bold());
    QVERIFY(child<QRadioButton>(form(), "RBAlone")->font().underline());
    QVERIFY(!child<QRadioButton>(form(), "RBAsText")->font().bold());
}

void TFormOptionsTest::asTextStartCommentWithoutBreakIsItalic()
{
    openForm();
    selectTag("<B>");
    const int entry = tagEntry("<B>");
    QVERIFY(child<QWidget>(form(), "PanelSi")->font().italic());
    QTest::mouseClick(child<QCheckBox>(form(), "CBSComment"), Qt::LeftButton);
    QVERIFY(style().tags[entry].DoGenerateSComment);
    QCOMPARE(grid().item(entry - 1, 3)->text(), QString(" "));
    QVERIFY(child<QWidget>(form(), "PanelAutoComm1")->font().italic());
    QVERIFY(child<QWidget>(form(), "PanelAutoComm2")->font().italic());
    child<QSpinBox>(form(), "UpDownBefore")->stepUp();
    QCOMPARE(grid().item(entry - 1, 3)->text(), QString("* "));
    QVERIFY(!child<QWidget>(form(), "PanelAutoComm1")->font().italic());
}

void TFormOptionsTest::addingFontAppendsItAndSaysSo()
{
    QVERIFY(EraseTagEntry(defaultDir().toStdString(), "<FONT>"));
    QVERIFY(m_session->ActivateStyle("_default"));
    const int countBefore = style().tags.tagCount;
    openForm();
    child<QSpinBox>(form(), "UpDown2")->stepUp(); // saved along with the new tag
    showPage(1);
    Prompter::setAutoAnswer(Prompter::Ok);
    bool sawDialog = false;
    whenModal([&sawDialog](QWidget& dialog) {
        sawDialog = true;
        QCOMPARE(dialog.windowTitle(), QString("Add new tag to style: _default"));
        QTest::keyClicks(child<QLineEdit>(dialog, "ETag"), "font");
        QTest::mouseClick(child<QPushButton>(dialog, "BOK"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(form(), "BAddTag"), Qt::LeftButton);
    QVERIFY(sawDialog);

    const TagTable& table = style().tags;
    QCOMPARE(table.tagCount, countBefore + 1);
    QCOMPARE(qs(table[table.tagCount].TagOpen), QString("<FONT>"));
    QCOMPARE(qs(table[table.tagCount].TagClose), QString("</FONT>"));
    QCOMPARE(grid().rowCount(), table.tagCount);
    QCOMPARE(grid().item(grid().rowCount() - 1, 0)->text(), QString("<FONT>"));
    QCOMPARE(Prompter::log().value(0),
        QString("Tag <FONT> successfully added to the current style!\nNow select your tag "
                "in the \"Tag Overview\" grid to configure it."));
    const QByteArray file = readBytes(defaultDir() + "tag.ini");
    QVERIFY(file.endsWith("[<FONT>]\r\nTagOpen=<FONT>\r\nTagClose=</FONT>\r\nisSelfIndent=0\r\n"
                          "isContentIndent=0\r\nCRLFLeading=1\r\nCRLFFollowed=1\r\n"
                          "DoGenerateSComment=0\r\nDoGenerateEComment=0\r\nStartComment=\r\n"
                          "EndComment=\r\nCommentLength=40\r\nCommentSymbol=*\r\n"
                          "TreatAsText=0\r\nEnableCounter=0\r\nCIndent=1\r\n"
                          "KeepOnOneLine=0\r\n"));
    StyleOptions saved;
    LoadStyleOptions(saved, defaultDir().toStdString());
    QCOMPARE(saved.LineSize, 90);
    QVERIFY(!m_form->isModified());
}

void TFormOptionsTest::refusedTagsKeepTheDialogOpen_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cleaned");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty brackets") << "< >"
                                    << "<>"
                                    << "Tag: <> is invalid and cannot be added.";
    QTest::newRow("pre") << "pre"
                         << "<PRE>"
                         << "Tag: <PRE> is not allowed to add.\nPlease read information above.";
    QTest::newRow("td") << "td"
                        << "<TD>"
                        << "Tag: <TD> is not allowed to add.\nPlease read information above.";
    QTest::newRow("script")
        << "script"
        << "<SCRIPT>"
        << "Tag: <SCRIPT> is not allowed to add.\nPlease read information above.";
    QTest::newRow("comment")
        << "!-- x"
        << "<!--X>"
        << "Tag: <!--X> is not allowed to add.\nPlease read information above.";
    QTest::newRow("existing") << "table"
                              << "<TABLE>"
                              << "Tag: <TABLE> already exists in the current style.";
}

void TFormOptionsTest::refusedTagsKeepTheDialogOpen()
{
    QFETCH(QString, typed);
    QFETCH(QString, cleaned);
    QFETCH(QString, message);
    const QByteArray tagFile = readBytes(defaultDir() + "tag.ini");
    openForm();
    const int countBefore = style().tags.tagCount;
    showPage(1);
    Prompter::setAutoAnswer(Prompter::Ok);
    whenModal([&](QWidget& dialog) {
        QLineEdit* edit = child<QLineEdit>(dialog, "ETag");
        QTest::keyClicks(edit, typed);
        QTest::mouseClick(child<QPushButton>(dialog, "BOK"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(edit->text(), cleaned);
        QTest::mouseClick(child<QPushButton>(dialog, "BCancel"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(form(), "BAddTag"), Qt::LeftButton);
    QCOMPARE(Prompter::log(), QStringList {message});
    QCOMPARE(style().tags.tagCount, countBefore);
    QCOMPARE(readBytes(defaultDir() + "tag.ini"), tagFile);
}

void TFormOptionsTest::hundredTagLimit()
{
    for (const char* tag : {"<X1>", "<X2>", "<X3>"})
        AppendNewTag(style().tags, tag);
    QCOMPARE(style().tags.tagCount, 99);
    QVERIFY(SaveTagTable(style().tags, defaultDir().toStdString()));
    openForm();
    showPage(1);
    Prompter::setAutoAnswer(Prompter::Ok);
    auto addTag = [this](const char* typed) {
        whenModal([typed](QWidget& dialog) {
            QTest::keyClicks(child<QLineEdit>(dialog, "ETag"), typed);
            QTest::mouseClick(child<QPushButton>(dialog, "BOK"), Qt::LeftButton);
            if (dialog.isVisible())
                QTest::mouseClick(child<QPushButton>(dialog, "BCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(child<QPushButton>(form(), "BAddTag"), Qt::LeftButton);
    };
    addTag("blink");
    QCOMPARE(style().tags.tagCount, 100);
    QCOMPARE(grid().rowCount(), 100);
    Prompter::log().clear();
    addTag("marquee");
    QCOMPARE(Prompter::log(), QStringList {"Tag cannot be added. Maximum of 100 tags reached."});
    QCOMPARE(style().tags.tagCount, 100);
}

void TFormOptionsTest::removingATagDiscardsUnsavedEdits()
{
    openForm();
    child<QSpinBox>(form(), "UpDown2")->stepUp();
    QCOMPARE(style().options.LineSize, 90);
    selectTag("<TABLE>");
    const int countBefore = style().tags.tagCount;
    Prompter::setNextAnswer(Prompter::Yes);
    QTest::mouseClick(child<QPushButton>(form(), "BDelTag"), Qt::LeftButton);
    QCOMPARE(Prompter::log().value(0), QString("Remove tag <TABLE> from current style?"));
    QCOMPARE(style().tags.tagCount, countBefore - 1);
    QCOMPARE(tagEntry("<TABLE>"), 0);
    QCOMPARE(grid().rowCount(), countBefore - 1);
    QVERIFY(!readBytes(defaultDir() + "tag.ini").contains("[<TABLE>]"));
    QCOMPARE(style().options.LineSize, 80);
    QCOMPARE(child<QLineEdit>(form(), "EditLineSize")->text(), QString("80"));
    QVERIFY(!m_form->isModified());
}

void TFormOptionsTest::removeAnsweredNoChangesNothing()
{
    const QByteArray tagFile = readBytes(defaultDir() + "tag.ini");
    openForm();
    selectTag("<TABLE>");
    const int countBefore = style().tags.tagCount;
    Prompter::setNextAnswer(Prompter::No);
    QTest::mouseClick(child<QPushButton>(form(), "BDelTag"), Qt::LeftButton);
    QCOMPARE(style().tags.tagCount, countBefore);
    QCOMPARE(readBytes(defaultDir() + "tag.ini"), tagFile);
}

void TFormOptionsTest::emptyTagTableDisablesRemoval()
{
    QFile tagFile(defaultDir() + "tag.ini");
    QVERIFY(tagFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
    tagFile.close();
    openForm();
    showPage(1);
    QCOMPARE(grid().rowCount(), 0);
    QVERIFY(!child<QWidget>(form(), "BDelTag")->isEnabled());
    QVERIFY(child<QWidget>(form(), "BAddTag")->isEnabled());
    QVERIFY(!child<QRadioButton>(form(), "RBAlone")->isEnabled());
    m_form->BDelTagClick();
    QVERIFY(Prompter::log().isEmpty());
}

// ---- new style -----------------------------------------------------------------------------

void TFormOptionsTest::newStyleNameIsCleaned_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::newRow("nothing yet") << ""
                                 << "";
    QTest::newRow("inner blank") << "my style"
                                 << "my_style";
    QTest::newRow("blanks and point") << "  web.site  "
                                      << "web_site";
    QTest::newRow("slashes") << "a/b\\c"
                             << "a_b_c";
    QTest::newRow("existing in another case") << "_DEFAULT"
                                              << "";
    QTest::newRow("equal to an existing one after cleaning") << "their style"
                                                             << "";
    QTest::newRow("blanks only") << "    "
                                 << "";
}

void TFormOptionsTest::newStyleNameIsCleaned()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    TFormNewStyle dialog({"_default", "classic", "THEIR_STYLE"});
    dialog.show();
    QLineEdit* edit = child<QLineEdit>(dialog, "EditStyle");
    QPushButton* ok = child<QPushButton>(dialog, "BOK");
    QCOMPARE(edit->text(), QString());
    QVERIFY(!ok->isEnabled());
    QCOMPARE(child<QListWidget>(dialog, "LBExist")->count(), 3);
    QTest::keyClicks(edit, typed);
    QCOMPARE(qs(dialog.newStyleName()), name);
    QCOMPARE(ok->isEnabled(), !name.isEmpty());
}

void TFormOptionsTest::saveAsNewStyleCreatesAndSelectsIt()
{
    const QByteArray defaultOptions = readBytes(defaultDir() + "options.ini");
    openForm();
    child<QSpinBox>(form(), "UpDown2")->stepUp();
    bool sawDialog = false;
    whenModal([&sawDialog](QWidget& dialog) {
        sawDialog = true;
        QCOMPARE(dialog.windowTitle(), QString("Save new style"));
        QVERIFY(!child<QPushButton>(dialog, "BOK")->isEnabled());
        QTest::keyClicks(child<QLineEdit>(dialog, "EditStyle"), "my style");
        QTest::mouseClick(child<QPushButton>(dialog, "BOK"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(form(), "BSaveNewStyle"), Qt::LeftButton);
    QVERIFY(sawDialog);

    const QString dir = path("styles/my_style/");
    QVERIFY(QFile::exists(dir + "options.ini"));
    QVERIFY(QFile::exists(dir + "tag.ini"));
    StyleOptions saved;
    LoadStyleOptions(saved, dir.toStdString());
    QCOMPARE(saved.LineSize, 90);
    QVERIFY(readBytes(dir + "options.ini").contains("StyleName=my_style\r\n"));
    QCOMPARE(readBytes(defaultDir() + "options.ini"), defaultOptions);

    QComboBox* styles = child<QComboBox>(form(), "ComboStyle");
    QCOMPARE(styles->count(), 3);
    QCOMPARE(styles->currentText(), QString("my_style"));
    QCOMPARE(qs(style().options.StyleName), QString("my_style"));
    QCOMPARE(qs(m_session->settings.StyleName), QString("my_style"));
    QVERIFY(!m_form->isModified());
}
