/// The options window and its dialogs driven as a user drives them, offscreen, on a temporary
/// program directory holding copies of the shipped styles, trim list and sample pages.
#include "TFormOptionsTestSupport.h"

void TFormOptionsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    copyTree(ZENKEL_DATA_DIR "/styles", path("styles"));
    copyTree(ZENKEL_DATA_DIR "/preview", path("preview"));
    QVERIFY(QFile::copy(ZENKEL_DATA_DIR "/trim.ini", path("trim.ini")));
    m_host = std::make_unique<RecordingHost>();
    m_session = std::make_unique<Session>(m_dir->path().toStdString(), *m_host);
    QVERIFY(m_session->ActivateStyle("_default"));
    m_session->loadTrimList();
    Prompter::clearAutoAnswer();
    Prompter::log().clear();
}

void TFormOptionsTest::cleanup()
{
    m_form.reset();
    m_session.reset();
    m_host.reset();
    m_dir.reset();
    Prompter::clearAutoAnswer();
}

TFormOptions& TFormOptionsTest::openForm()
{
    m_form = std::make_unique<TFormOptions>(*m_session);
    m_form->show();
    return *m_form;
}

int TFormOptionsTest::tagEntry(const QString& tag) const
{
    const TagTable& table = m_session->engine.style().tags;
    for (int i = 1; i <= table.tagCount; ++i) {
        if (qs(table[i].tagName) == tag)
            return i;
    }
    return 0;
}

void TFormOptionsTest::selectTag(const QString& tag)
{
    showPage(1);
    const int entry = tagEntry(tag);
    QVERIFY2(entry > 0, qPrintable(tag));
    grid().setCurrentCell(entry - 1, 0);
    QCOMPARE(m_form->selectedTagRow(), entry);
}

void TFormOptionsTest::chooseStyle(const QString& name)
{
    QComboBox* combo = child<QComboBox>(form(), "ComboStyle");
    const int index = combo->findText(name);
    QVERIFY(index >= 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void TFormOptionsTest::leaveField(QLineEdit* edit)
{
    // What a focus change does to the field.
    emit edit->editingFinished();
}

// ---- the window as a whole -----------------------------------------------------------------

void TFormOptionsTest::controlsHaveTheirNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    // Every control the user works with, by class.
    const char* rows[][2] = {
        {"QComboBox", "ComboPreview ComboStyle CBSymbol"},
        {"QLineEdit",
            "EditDescr EditBack EditLineSize EditIndent EditLinesAtOpen "
            "EditLinesAtClose EditScomment EditEComment EditCLength EditSi EditCi "
            "EditUserInfo EditDokuPrev"},
        {"QPushButton", "BOK BCancel BSaveNewStyle BReload BpreviewF BPreviewC BAddTag BDelTag"},
        {"QCheckBox",
            "CBValidate CBDisableComm CBPurgeComm CBBreakExcluder CBIndentTabs CBSyntax "
            "CBWallPaper CBSComment CBEComment CBCounter CBCIndent CBClean CBOneLine CBUser "
            "CBVersion CBDate "
            "CBTime CBStyle CBUseWhileFormat CBUseWhileCompress"},
        {"QRadioButton", "RBUpper RBLower RBLeave RBAlone RBAsText"},
        {"QSpinBox",
            "UpDown1 UpDown2 UpDownBefore UpDownAfter UpDownLength UpDownSelfIndent "
            "UpDownContentIndent"},
        {"QFrame",
            "PanelDisComm PanelDisIndent PanelSi PanelCi PanelAutoComm1 PanelAutoComm2 "
            "PanelAutoComm3 PanelLines1 PanelLines2"},
        {"QPlainTextEdit", "MemoPreview"},
        {"QStackedWidget", "Notebook1"},
        {"QTabBar", "TabSet1"},
        {"QTableWidget", "TagGrid"},
        {"QListWidget", "CLTrim"},
    };
    for (const auto& row : rows) {
        for (const QString& name : QString::fromLatin1(row[1]).split(' '))
            QTest::newRow(qPrintable(name)) << name << row[0];
    }
}

void TFormOptionsTest::controlsHaveTheirNames()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    openForm();
    QObject* control = form().findChild<QObject*>(name);
    QVERIFY2(control, qPrintable(name));
    QVERIFY2(
        control->inherits(className.toLatin1()), qPrintable(control->metaObject()->className()));
}

void TFormOptionsTest::opensOnGeneralPageWithTheActiveStyle()
{
    openForm();
    QCOMPARE(form().windowTitle(), QString("Format & Compress Options"));
    QCOMPARE(child<QStackedWidget>(form(), "Notebook1")->currentIndex(), 0);
    QCOMPARE(child<QComboBox>(form(), "ComboStyle")->currentText(), QString("_default"));
    QCOMPARE(child<QComboBox>(form(), "ComboStyle")->count(), 2);
    QCOMPARE(child<QComboBox>(form(), "ComboPreview")->currentText(), QString("article.htm"));
    QVERIFY(child<QPlainTextEdit>(form(), "MemoPreview")->toPlainText().startsWith("<!DOCTYPE"));
    QCOMPARE(child<QSpinBox>(form(), "UpDown2")->value(), 80);
    QCOMPARE(child<QLineEdit>(form(), "EditLineSize")->text(), QString("80"));
    QVERIFY(child<QLineEdit>(form(), "EditLineSize")->isReadOnly());
    QVERIFY(child<QRadioButton>(form(), "RBLower")->isChecked());
    QVERIFY(!m_form->isModified());
    const QTabBar* tabs = child<QTabBar>(form(), "TabSet1");
    QCOMPARE(tabs->tabText(0), QString("  General Options "));
    QCOMPARE(tabs->tabText(3), QString("  Trim Options"));
}

void TFormOptionsTest::tagGridShowsEveryEntry()
{
    openForm();
    const TagTable& table = style().tags;
    QCOMPARE(grid().rowCount(), table.tagCount);
    QCOMPARE(grid().horizontalHeaderItem(0)->text(), QString("Tag Overview:"));
    QCOMPARE(grid().horizontalHeaderItem(2)->text(), QString(" L"));
    for (int row = 1; row <= table.tagCount; ++row) {
        for (int column = 0; column < TagGridColumnCount; ++column) {
            QCOMPARE(grid().item(row - 1, column)->text(),
                qs(TagGridCellText(table[row], static_cast<TagGridColumn>(column))));
        }
    }
}

// ---- General and Doku pages ----------------------------------------------------------------

void TFormOptionsTest::backupExtensionIsNormalisedOnLeaving_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<bool>("modified");
    QTest::newRow("points replaced, kept cut") << "a.b.c"
                                               << ".a_b_c"
                                               << ".a_b_" << true;
    QTest::newRow("unchanged") << ".zbak"
                               << ".zbak"
                               << ".zbak" << false;
}

void TFormOptionsTest::backupExtensionIsNormalisedOnLeaving()
{
    QFETCH(QString, typed);
    openForm();
    QLineEdit* edit = child<QLineEdit>(form(), "EditBack");
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    leaveField(edit);
    QFETCH(QString, shown);
    QCOMPARE(edit->text(), shown);
    QFETCH(QString, kept);
    QCOMPARE(qs(m_session->settings.BackupExt), kept);
    QFETCH(bool, modified);
    QCOMPARE(m_form->isModified(), modified);
}

void TFormOptionsTest::indentPanelsArePaleRedWithoutIndent()
{
    style().options.Spacing = 0;
    QVERIFY(SaveStyleOptions(style().options, defaultDir().toStdString()));
    openForm();
    const QColor paleRed(255, 210, 210);
    for (const char* panel : {"PanelDisIndent", "PanelSi", "PanelCi"})
        QCOMPARE(child<QWidget>(form(), panel)->palette().color(QPalette::Window), paleRed);
    child<QSpinBox>(form(), "UpDown1")->stepUp();
    QCOMPARE(style().options.Spacing, 2);
    for (const char* panel : {"PanelDisIndent", "PanelSi", "PanelCi"})
        QCOMPARE(child<QWidget>(form(), panel)->palette().color(QPalette::Window),
            QColor(255, 251, 230));
}

void TFormOptionsTest::disablingCommentsRecoloursTheFourPanels()
{
    QVERIFY(m_session->ActivateStyle("classic"));
    openForm();
    const char* panels[] = {"PanelDisComm", "PanelAutoComm1", "PanelAutoComm2", "PanelAutoComm3"};
    for (const char* panel : panels)
        QCOMPARE(child<QWidget>(form(), panel)->palette().color(QPalette::Window),
            QColor(255, 251, 230));
    QTest::mouseClick(child<QCheckBox>(form(), "CBDisableComm"), Qt::LeftButton);
    QVERIFY(style().options.DoDisableComments);
    for (const char* panel : panels)
        QCOMPARE(child<QWidget>(form(), panel)->palette().color(QPalette::Window),
            QColor(255, 210, 210));
    QVERIFY(m_form->isModified());
}

void TFormOptionsTest::oddBreakExcluderIsStoredAsQuote()
{
    style().options.BreakExcluder = std::string(1, '<');
    QVERIFY(SaveStyleOptions(style().options, defaultDir().toStdString()));
    openForm();
    QVERIFY(!child<QCheckBox>(form(), "CBBreakExcluder")->isChecked());
    QCOMPARE(qs(style().options.BreakExcluder), QString("<"));
    QTest::mouseClick(child<QCheckBox>(form(), "CBPurgeComm"), Qt::LeftButton);
    QCOMPARE(qs(style().options.BreakExcluder), QString("\""));
}

void TFormOptionsTest::userInfoLosesAngleBracketsButFieldKeepsThem()
{
    openForm();
    showPage(2);
    QTest::mouseClick(child<QCheckBox>(form(), "CBUser"), Qt::LeftButton);
    QLineEdit* edit = child<QLineEdit>(form(), "EditUserInfo");
    edit->clear();
    QTest::keyClicks(edit, "<b>Me</b>");
    QCOMPARE(edit->text(), QString("<b>Me</b>"));
    QCOMPARE(qs(style().options.UserInfo), QString("b Me /b"));
    QVERIFY(child<QLineEdit>(form(), "EditDokuPrev")->text().startsWith("<!--~ b Me /b, DATE: "));
    QVERIFY(m_form->isModified());
}

void TFormOptionsTest::lineEndsSettingIsOffered()
{
    openForm();
    QComboBox* lineEnds = child<QComboBox>(form(), "ComboLineEnds");
    QCOMPARE(lineEnds->currentIndex(), 0);
    lineEnds->setCurrentIndex(1);
    QCOMPARE(qs(m_session->settings.LineEnds), QString("lf"));
}

// ---- styles, OK, Cancel, Escape ------------------------------------------------------------

void TFormOptionsTest::choosingTheActiveStyleDoesNothing()
{
    openForm();
    child<QSpinBox>(form(), "UpDown2")->stepUp();
    chooseStyle("_default");
    QVERIFY(Prompter::log().isEmpty());
    QCOMPARE(style().options.LineSize, 90);
    QVERIFY(m_form->isModified());
}

void TFormOptionsTest::styleSwitchAnsweredYesSavesTheEdits()
{
    openForm();
    child<QSpinBox>(form(), "UpDown2")->stepUp();
    Prompter::setNextAnswer(Prompter::Yes);
    chooseStyle("classic");
    QCOMPARE(Prompter::log().value(0),
        QString("Save changes in style:\n\n\"_default\"\n\nbefore loading another one?"));
    QCOMPARE(qs(style().options.StyleName), QString("classic"));
    QCOMPARE(qs(m_session->settings.StyleName), QString("classic"));
    QVERIFY(m_host->caption.endsWith(" - Style: classic"));
    QVERIFY(!m_form->isModified());
    StyleOptions saved;
    LoadStyleOptions(saved, defaultDir().toStdString());
    QCOMPARE(saved.LineSize, 90);
}

void TFormOptionsTest::styleSwitchAnsweredNoDiscardsTheEdits()
{
    const QByteArray before = readBytes(defaultDir() + "options.ini");
    openForm();
    child<QSpinBox>(form(), "UpDown2")->stepUp();
    Prompter::setNextAnswer(Prompter::No);
    chooseStyle("classic");
    QCOMPARE(Prompter::log().size(), 1);
    QCOMPARE(qs(style().options.StyleName), QString("classic"));
    QCOMPARE(readBytes(defaultDir() + "options.ini"), before);
    chooseStyle("_default"); // nothing edited in classic: no question
    QCOMPARE(Prompter::log().size(), 1);
    QCOMPARE(style().options.LineSize, 80);
    QCOMPARE(child<QLineEdit>(form(), "EditLineSize")->text(), QString("80"));
}

void TFormOptionsTest::okWritesExactlyWhatTheWindowShows()
{
    openForm();
    child<QSpinBox>(form(), "UpDown2")->stepUp();
    QTest::mouseClick(child<QCheckBox>(form(), "CBDisableComm"), Qt::LeftButton);
    QTest::mouseClick(child<QRadioButton>(form(), "RBUpper"), Qt::LeftButton);
    QLineEdit* descr = child<QLineEdit>(form(), "EditDescr");
    descr->clear();
    QTest::keyClicks(descr, "Mine");
    selectTag("<TABLE>");
    child<QSpinBox>(form(), "UpDownBefore")->stepUp();
    QTest::mouseClick(child<QCheckBox>(form(), "CBSComment"), Qt::LeftButton);
    QTest::keyClicks(child<QLineEdit>(form(), "EditScomment"), "table start");
    selectTag("<B>");
    QTest::mouseClick(child<QRadioButton>(form(), "RBAlone"), Qt::LeftButton);
    showPage(3);
    QListWidget* trim = child<QListWidget>(form(), "CLTrim");
    trim->item(0)->setCheckState(Qt::Unchecked);
    trim->item(trim->count() - 1)->setCheckState(Qt::Checked);
    QSignalSpy hints(m_form.get(), &TFormOptions::trimHintChanged);

    QTest::mouseClick(child<QPushButton>(form(), "BOK"), Qt::LeftButton);
    QCOMPARE(m_form->result(), int(QDialog::Accepted));

    StyleOptions options;
    LoadStyleOptions(options, defaultDir().toStdString());
    QCOMPARE(QString::number(options.LineSize), child<QLineEdit>(form(), "EditLineSize")->text());
    QCOMPARE(options.DoDisableComments, child<QCheckBox>(form(), "CBDisableComm")->isChecked());
    QCOMPARE(options.TagCase, 1);
    QCOMPARE(qs(options.StyleDescription), QString("Mine"));
    QVERIFY(
        readBytes(defaultDir() + "options.ini").startsWith("[OPTIONS]\r\nStyleName=_default\r\n"));

    TagTable tags;
    LoadTagTable(tags, defaultDir().toStdString());
    QCOMPARE(tags.tagCount, grid().rowCount());
    for (int row = 1; row <= tags.tagCount; ++row) {
        for (int column = 0; column < TagGridColumnCount; ++column)
            QCOMPARE(grid().item(row - 1, column)->text(),
                qs(TagGridCellText(tags[row], static_cast<TagGridColumn>(column))));
    }
    QCOMPARE(qs(tags[tagEntry("<TABLE>")].StartComment), QString("table start"));
    QCOMPARE(grid().item(tagEntry("<B>") - 1, 2)->text(), QString("11"));

    TrimList stored;
    LoadTrimList(stored, m_dir->path().toStdString());
    QCOMPARE(int(stored.size()), trim->count());
    for (int i = 0; i < trim->count(); ++i) {
        QCOMPARE(qs(stored[std::size_t(i)].substr(1)), trim->item(i)->text());
        QCOMPARE(stored[std::size_t(i)][0] == '1', trim->item(i)->checkState() == Qt::Checked);
    }
    QVERIFY(stored == m_session->trimList);
    QCOMPARE(hints.size(), 1);
    QCOMPARE(hints.at(0).at(0).toString(), qs(UpdateTrimHint(stored)));
}

void TFormOptionsTest::cancelLeavesFilesAndRestoresTrimList()
{
    const QStringList files
        = {defaultDir() + "options.ini", defaultDir() + "tag.ini", path("trim.ini")};
    QList<QByteArray> before;
    for (const QString& file : files)
        before << readBytes(file);
    const TrimList trimBefore = m_session->trimList;
    const std::string hintBefore = UpdateTrimHint(trimBefore);

    openForm();
    child<QSpinBox>(form(), "UpDown2")->stepUp();
    selectTag("<TABLE>");
    child<QSpinBox>(form(), "UpDownAfter")->stepUp();
    showPage(3);
    QListWidget* trim = child<QListWidget>(form(), "CLTrim");
    trim->item(trim->count() - 1)->setCheckState(Qt::Checked);
    m_session->trimList.push_back("1<X>"); // as if the list had been changed in memory
    QSignalSpy hints(m_form.get(), &TFormOptions::trimHintChanged);

    QTest::mouseClick(child<QPushButton>(form(), "BCancel"), Qt::LeftButton);
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    for (int i = 0; i < files.size(); ++i)
        QCOMPARE(readBytes(files[i]), before[i]);
    QVERIFY(m_session->trimList == trimBefore);
    QCOMPARE(hints.size(), 1);
    QCOMPARE(hints.at(0).at(0).toString(), qs(hintBefore));

    // The next opening shows the trim page as it was.
    m_form.reset();
    openForm();
    trim = child<QListWidget>(form(), "CLTrim");
    QCOMPARE(trim->item(trim->count() - 1)->checkState(), Qt::Unchecked);
}

void TFormOptionsTest::escapeSavesNothingAndKeepsTrimList()
{
    const QByteArray options = readBytes(defaultDir() + "options.ini");
    const QByteArray trimFile = readBytes(path("trim.ini"));
    openForm();
    child<QSpinBox>(form(), "UpDown2")->stepUp();
    m_session->trimList.push_back("1<X>");
    QTest::keyClick(m_form.get(), Qt::Key_Escape);
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    QVERIFY(!m_form->isVisible());
    QCOMPARE(readBytes(defaultDir() + "options.ini"), options);
    QCOMPARE(readBytes(path("trim.ini")), trimFile);
    QCOMPARE(qs(m_session->trimList.back()), QString("1<X>"));
    // The edit stays in memory until the style is next read from its files.
    QCOMPARE(style().options.LineSize, 90);
}

void TFormOptionsTest::scriptedRunActsAsOkOrCancel()
{
    QFile::remove(path("trim.ini"));
    Prompter::setNextAnswer(Prompter::Ok);
    {
        TFormOptions window(*m_session);
        QCOMPARE(window.run(), int(QDialog::Accepted));
        QVERIFY(!window.isVisible());
    }
    QVERIFY(QFile::exists(path("trim.ini")));
    m_session->trimList.push_back("1<X>");
    Prompter::setNextAnswer(Prompter::Cancel);
    {
        TFormOptions window(*m_session);
        QCOMPARE(window.run(), int(QDialog::Rejected));
    }
    QCOMPARE(qs(m_session->trimList.back()), QString("0</SPAN>"));
}

// ---- preview -------------------------------------------------------------------------------

void TFormOptionsTest::previewReflectsUnsavedLineSize()
{
    openForm();
    QComboBox* samples = child<QComboBox>(form(), "ComboPreview");
    const int sample = samples->findText("sample.htm");
    samples->setCurrentIndex(sample);
    emit samples->activated(sample);
    QPlainTextEdit* memo = child<QPlainTextEdit>(form(), "MemoPreview");
    auto longestLine = [memo] {
        qsizetype longest = 0;
        for (const QString& line : memo->toPlainText().split('\n'))
            longest = std::max(longest, line.size());
        return longest;
    };
    QSpinBox* lineSize = child<QSpinBox>(form(), "UpDown2");
    lineSize->setValue(60);
    m_host->statuses.clear();
    m_host->progressCalls = 0;
    QTest::mouseClick(child<QPushButton>(form(), "BpreviewF"), Qt::LeftButton);
    const qsizetype narrow = longestLine();
    const int narrowLines = memo->blockCount();
    lineSize->setValue(200);
    QTest::mouseClick(child<QPushButton>(form(), "BpreviewF"), Qt::LeftButton);
    QVERIFY2(longestLine() > narrow, qPrintable(QString::number(narrow)));
    QVERIFY(memo->blockCount() < narrowLines);
    QVERIFY(memo->toPlainText().startsWith("<!doctype"));
    QCOMPARE(memo->textCursor().position(), 0);

    const int wideLines = memo->blockCount();
    QTest::mouseClick(child<QPushButton>(form(), "BPreviewC"), Qt::LeftButton);
    QVERIFY(memo->blockCount() < wideLines / 2);
    // The main window heard nothing of the preview runs.
    QVERIFY(m_host->statuses.isEmpty());
    QCOMPARE(m_host->progressCalls, 0);

    QTest::mouseClick(child<QPushButton>(form(), "BReload"), Qt::LeftButton);
    QVERIFY(memo->toPlainText().startsWith("<!DOCTYPE"));
}

void TFormOptionsTest::layoutSettingsShowInThePreviewAtOnceAndAreSaved()
{
    openForm();
    QPlainTextEdit* memo = child<QPlainTextEdit>(form(), "MemoPreview");
    const QString shortCell = "\n            <td>Margaret</td>\n";
    QTest::mouseClick(child<QPushButton>(form(), "BpreviewF"), Qt::LeftButton);
    QVERIFY2(memo->toPlainText().contains(shortCell), qPrintable(memo->toPlainText()));

    QCheckBox* tabs = child<QCheckBox>(form(), "CBIndentTabs");
    QVERIFY(!tabs->isChecked());
    // On the box itself: the check box is wider than its caption.
    const auto onBox = [](QWidget* box) { return QPoint(6, box->height() / 2); };
    QTest::mouseClick(tabs, Qt::LeftButton, {}, onBox(tabs));
    QVERIFY(style().options.IndentWithTabs);
    QVERIFY(m_form->isModified());
    QVERIFY(memo->toPlainText().contains("\n\t    <td>Margaret</td>\n"));

    selectTag("<TD>");
    QCheckBox* oneLine = child<QCheckBox>(form(), "CBOneLine");
    QVERIFY(oneLine->isChecked());
    QVERIFY(!oneLine->font().italic());
    QTest::mouseClick(oneLine, Qt::LeftButton, {}, onBox(oneLine));
    QVERIFY(!style().tags[tagEntry("<TD>")].KeepOnOneLine);
    QVERIFY(!memo->toPlainText().contains("<td>Margaret</td>"));
    selectTag("<B>");
    QVERIFY(oneLine->font().italic());

    QTest::mouseClick(child<QPushButton>(form(), "BOK"), Qt::LeftButton);
    StyleOptions options;
    LoadStyleOptions(options, defaultDir().toStdString());
    QVERIFY(options.IndentWithTabs);
    TagTable tags;
    LoadTagTable(tags, defaultDir().toStdString());
    QVERIFY(!tags[tagEntry("<TD>")].KeepOnOneLine);
    QVERIFY(tags[tagEntry("<LI>")].KeepOnOneLine);
}

void TFormOptionsTest::emptyPreviewDirectoryDisablesPreview()
{
    for (const QString& name : QDir(path("preview")).entryList(QDir::Files))
        QFile::remove(path("preview/") + name);
    openForm();
    for (const char* name : {"BReload", "BpreviewF", "BPreviewC"})
        QVERIFY(!child<QWidget>(form(), name)->isEnabled());
    QComboBox* samples = child<QComboBox>(form(), "ComboPreview");
    QVERIFY(!samples->isEnabled());
    QCOMPARE(samples->count(), 1);
    QCOMPARE(samples->currentText(), QString("ERROR: No preview file found"));
    QVERIFY(m_form->previewFile().empty());
    // The rest of the window works.
    child<QSpinBox>(form(), "UpDown2")->stepUp();
    QCOMPARE(style().options.LineSize, 90);
}

void TFormOptionsTest::programDirectoryStandsInForMissingPreviewDirectory()
{
    QDir(path("preview")).removeRecursively();
    QFile page(path("own.htm"));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html>\r\n<body>own</body>\r\n</html>\r\n");
    page.close();
    openForm();
    QComboBox* samples = child<QComboBox>(form(), "ComboPreview");
    QVERIFY(samples->isEnabled());
    QCOMPARE(samples->currentText(), QString("own.htm"));
    QCOMPARE(child<QPlainTextEdit>(form(), "MemoPreview")->toPlainText(),
        QString("<html>\n<body>own</body>\n</html>\n"));
}

int runTFormOptionsTest(int argc, char** argv)
{
    TFormOptionsTest test;
    return QTest::qExec(&test, argc, argv);
}
