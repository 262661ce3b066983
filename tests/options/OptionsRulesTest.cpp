/// The options window's rules on plain data: grid cells, tag and style names, the backup
/// extension, the user text, the trim page and the text conversions.
#include "options/OptionsRules.h"
#include "batch/Backup.h"
#include "options/TagPageRules.h"
#include "options/WindowsText.h"
#include "widgets/WidgetText.h"

#include <QtTest>

using namespace zenkel;

namespace {

RecTAGInfo makeEntry(bool asText, int before, int after, bool start, bool end,
    const std::string& symbol = "*", int self = 0, int content = 0)
{
    RecTAGInfo entry;
    entry.TreatAsText = asText;
    entry.CRLFLeading = before;
    entry.CRLFFollowed = after;
    entry.DoGenerateSComment = start;
    entry.DoGenerateEComment = end;
    entry.CommentSymbol = symbol;
    entry.isSelfIndent = self;
    entry.isContentIndent = content;
    return entry;
}

TagTable tableWith(std::initializer_list<const char*> tags)
{
    TagTable table;
    InitTagTable(table);
    for (const char* tag : tags)
        AppendNewTag(table, tag);
    return table;
}

} // namespace

Q_DECLARE_METATYPE(RecTAGInfo)

class OptionsRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void tagGridCells_data();
    void tagGridCells();
    void findSymbolTakesTheLastMatchOrStar_data();
    void findSymbolTakesTheLastMatchOrStar();
    void standAloneEntriesGetAtLeastOneLineBreak();
    void asTextStartCommentWithoutLineBreakIsItalic();
    void normalizeNewTag_data();
    void normalizeNewTag();
    void checkNewTag_data();
    void checkNewTag();
    void tableOf99AcceptsOneMoreAnd100None();
    void newTagIsStandAloneWithDefaults();
    void checkNewStyle_data();
    void checkNewStyle();
    void backupExtensionSettingIsCut_data();
    void backupExtensionSettingIsCut();
    void userInfoLosesAngleBrackets();
    void breakExcluderIsCheckedOnlyForAngleBrackets();
    void trimPageRoundTrip();
    void panelColoursFollowDisabledComments();
    void windows1252RoundTripsEveryByte();
    void messagesShowLineBreaks();
};

void OptionsRulesTest::tagGridCells_data()
{
    QTest::addColumn<RecTAGInfo>("entry");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("indent");

    QTest::newRow("stand alone with both comments")
        << makeEntry(false, 1, 1, true, true, "*", 0, 1) << "S"
        << "11"
        << "**"
        << "01";
    QTest::newRow("stand alone start only") << makeEntry(false, 2, 1, true, false, "#", 1, 2) << "S"
                                            << "21"
                                            << "# "
                                            << "12";
    QTest::newRow("stand alone end only") << makeEntry(false, 1, 3, false, true, "=") << "S"
                                          << "13"
                                          << " ="
                                          << "00";
    QTest::newRow("stand alone no comment") << makeEntry(false, 1, 1, false, false) << "S"
                                            << "11"
                                            << " "
                                            << "00";
    QTest::newRow("as text start comment without break before")
        << makeEntry(true, 0, 1, true, false, "*", 3, 3) << "A"
        << "01"
        << " "
        << " ";
    QTest::newRow("as text both comments, break after only")
        << makeEntry(true, 0, 2, true, true) << "A"
        << "02"
        << " *"
        << " ";
    QTest::newRow("as text both comments with breaks")
        << makeEntry(true, 1, 1, true, true, "^") << "A"
        << "11"
        << "^^"
        << " ";
}

void OptionsRulesTest::tagGridCells()
{
    QFETCH(RecTAGInfo, entry);
    QFETCH(QString, type);
    QCOMPARE(qs(TagGridCellText(entry, TagGridColumn::Type)), type);
    QFETCH(QString, lines);
    QCOMPARE(qs(TagGridCellText(entry, TagGridColumn::Lines)), lines);
    QFETCH(QString, comment);
    QCOMPARE(qs(TagGridCellText(entry, TagGridColumn::Comment)), comment);
    QFETCH(QString, indent);
    QCOMPARE(qs(TagGridCellText(entry, TagGridColumn::Indent)), indent);
}

void OptionsRulesTest::findSymbolTakesTheLastMatchOrStar_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<int>("position");
    QTest::newRow("star") << "*" << 0;
    QTest::newRow("hash") << "#" << 1;
    QTest::newRow("backslash") << "\\" << 8;
    QTest::newRow("caret") << "^" << 9;
    QTest::newRow("unknown") << "x" << 0;
    QTest::newRow("empty, as a missing key reads") << "" << 0;
}

void OptionsRulesTest::findSymbolTakesTheLastMatchOrStar()
{
    QFETCH(QString, symbol);
    QFETCH(int, position);
    QCOMPARE(FindSymbol(symbol.toStdString()), position);
}

void OptionsRulesTest::standAloneEntriesGetAtLeastOneLineBreak()
{
    RecTAGInfo alone = makeEntry(false, 0, 0, false, false);
    QCOMPARE(SetUpDownMinMax(alone), 1);
    QCOMPARE(alone.CRLFLeading, 1);
    QCOMPARE(alone.CRLFFollowed, 1);

    RecTAGInfo asText = makeEntry(true, 0, 0, false, false);
    QCOMPARE(SetUpDownMinMax(asText), 0);
    QCOMPARE(asText.CRLFLeading, 0);
    QCOMPARE(asText.CRLFFollowed, 0);
}

void OptionsRulesTest::asTextStartCommentWithoutLineBreakIsItalic()
{
    const TagPanelStatus asText = tagPanelStatus(makeEntry(true, 0, 1, true, false));
    QVERIFY(asText.startCommentItalic);
    QVERIFY(!asText.endCommentItalic);
    QVERIFY(asText.indentItalic);
    QVERIFY(asText.asTextEmphasised);
    QVERIFY(!asText.aloneEmphasised);
    QVERIFY(!asText.linesBeforeItalic);

    const TagPanelStatus alone = tagPanelStatus(makeEntry(false, 0, 2, false, false));
    QVERIFY(!alone.startCommentItalic);
    QVERIFY(alone.linesBeforeItalic);
    QVERIFY(!alone.linesAfterItalic);
    QVERIFY(!alone.indentItalic);
    QVERIFY(alone.aloneEmphasised);
}

void OptionsRulesTest::normalizeNewTag_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("tag");
    QTest::newRow("attributes joined") << "a href"
                                       << "<AHREF>";
    QTest::newRow("end tag") << "/table"
                             << "<TABLE>";
    QTest::newRow("plain") << "font"
                           << "<FONT>";
    QTest::newRow("brackets and blank only") << "< >"
                                             << "<>";
    QTest::newRow("comment start") << "!-- x"
                                   << "<!--X>";
    QTest::newRow("tabs, stars and backslashes") << "\t*b\\link*"
                                                 << "<BLINK>";
    QTest::newRow("umlaut is not upper-cased")
        << QString::fromLatin1("\xe4x") << QString::fromLatin1("<\xe4X>");
}

void OptionsRulesTest::normalizeNewTag()
{
    QFETCH(QString, typed);
    QFETCH(QString, tag);
    QCOMPARE(fromWindows1252(NormalizeNewTag(toWindows1252(typed))), tag);
}

void OptionsRulesTest::checkNewTag_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing between the brackets") << "< >"
                                                  << "Tag: <> is invalid and cannot be added.";
    for (const char* blockTag : {"pre", "td", "script", "style", "textarea"}) {
        const QString tag = "<" + QString::fromLatin1(blockTag).toUpper() + ">";
        QTest::newRow(blockTag) << blockTag
                                << "Tag: " + tag
                + " is not allowed to add.\r\nPlease read information above.";
    }
    QTest::newRow("comment") << "!-- x"
                             << "Tag: <!--X> is not allowed to add.\r\nPlease read information "
                                "above.";
    QTest::newRow("server script") << "%=x"
                                   << "Tag: <%=X> is not allowed to add.\r\nPlease read "
                                      "information above.";
    QTest::newRow("existing tag") << "table"
                                  << "Tag: <TABLE> already exists in the current style.";
    QTest::newRow("a new tag") << "blink"
                               << "";
}

void OptionsRulesTest::checkNewTag()
{
    QFETCH(QString, typed);
    const TagTable table = tableWith({"<HTML>", "<TABLE>"});
    const std::string tag = NormalizeNewTag(typed.toStdString());
    QFETCH(QString, message);
    QCOMPARE(qs(NewTagMessage(CheckNewTag(table, tag), tag)), message);
}

void OptionsRulesTest::tableOf99AcceptsOneMoreAnd100None()
{
    TagTable table = tableWith({});
    for (int i = 1; i <= 99; ++i)
        AppendNewTag(table, "<T" + std::to_string(i) + ">");
    QCOMPARE(CheckNewTag(table, "<NEW>"), NewTagCheck::Ok);
    AppendNewTag(table, "<NEW>");
    QCOMPARE(table.tagCount, 100);
    QCOMPARE(CheckNewTag(table, "<MORE>"), NewTagCheck::TableFull);
    QCOMPARE(qs(NewTagMessage(NewTagCheck::TableFull, "<MORE>")),
        QString("Tag cannot be added. Maximum of 100 tags reached."));
    // A tag that exists is named as such even in a full table.
    QCOMPARE(CheckNewTag(table, "<t5>"), NewTagCheck::Exists);
}

void OptionsRulesTest::newTagIsStandAloneWithDefaults()
{
    TagTable table = tableWith({"<HTML>"});
    AppendNewTag(table, "<FONT>");
    QCOMPARE(table.tagCount, 2);
    const RecTAGInfo& entry = table[2];
    QCOMPARE(qs(entry.tagName), QString("<FONT>"));
    QCOMPARE(qs(entry.TagOpen), QString("<FONT>"));
    QCOMPARE(qs(entry.TagClose), QString("</FONT>"));
    QVERIFY(!entry.TreatAsText);
    QCOMPARE(entry.CommentLength, 40);
    QCOMPARE(qs(entry.CommentSymbol), QString("*"));
    QVERIFY(entry.CIndent);
    QVERIFY(!entry.EnableCounter);

    // Names are cut to the field's 20 characters; the closing tag too.
    AppendNewTag(table, "<ABCDEFGHIJKLMNOPQRSTUVWXYZ>");
    QCOMPARE(qs(table[3].TagOpen), QString("<ABCDEFGHIJKLMNOPQRS"));
    QCOMPARE(qs(table[3].TagClose), QString("</ABCDEFGHIJKLMNOPQR"));
}

void OptionsRulesTest::checkNewStyle_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::newRow("inner blank") << "my style"
                                 << "my_style";
    QTest::newRow("blanks around, point inside") << "  web.site  "
                                                 << "web_site";
    QTest::newRow("slashes") << "a/b\\c"
                             << "a_b_c";
    QTest::newRow("existing in another case") << "_DEFAULT"
                                              << "";
    QTest::newRow("equal after cleaning") << "my  style"
                                          << "my__style";
    QTest::newRow("taken after cleaning") << "mine style"
                                          << "";
    QTest::newRow("blanks only") << "   "
                                 << "";
    QTest::newRow("parent directory") << ".."
                                      << "__";
    QTest::newRow("other characters stay") << "a:b?"
                                           << "a:b?";
}

void OptionsRulesTest::checkNewStyle()
{
    QFETCH(QString, typed);
    const std::vector<std::string> existing = {"_default", "classic", "MINE_STYLE"};
    QFETCH(QString, name);
    QCOMPARE(qs(CheckNewStyle(typed.toStdString(), existing)), name);
}

// The cleaning itself is the backup layer's rule, tested with it; the setting adds the cut.
void OptionsRulesTest::backupExtensionSettingIsCut_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("short enough") << "bak"
                                  << ".bak";
    QTest::newRow("points inside") << "a.b.c"
                                   << ".a_b_";
    QTest::newRow("blanks") << " old bak "
                            << ".old_";
    QTest::newRow("empty") << ""
                           << ".zbak";
    // ".\u00e4\u00f6\u00fc" is 7 bytes in UTF-8; 5 bytes would end inside the third letter.
    QTest::newRow("whole characters") << QString::fromUtf8("äöüx") << QString::fromUtf8(".äö");
}

void OptionsRulesTest::backupExtensionSettingIsCut()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QCOMPARE(QString::fromStdString(backupExtSetting(typed.toStdString())), kept);
    QCOMPARE(
        qs(backupExtFieldText(typed.toStdString())), qs(NormalizeBackupExt(typed.toStdString())));
}

void OptionsRulesTest::userInfoLosesAngleBrackets()
{
    QCOMPARE(qs(cleanUserInfo("<b>Me</b>")), QString("b Me /b"));
    QCOMPARE(qs(cleanUserInfo("  <>  ")), QString(""));
    QCOMPARE(qs(cleanUserInfo("Ann Porter")), QString("Ann Porter"));
}

void OptionsRulesTest::breakExcluderIsCheckedOnlyForAngleBrackets()
{
    QVERIFY(breakExcluderChecked("<>"));
    QVERIFY(!breakExcluderChecked("\""));
    QVERIFY(!breakExcluderChecked("<"));
    QCOMPARE(qs(breakExcluderValue(true)), QString("<>"));
    QCOMPARE(qs(breakExcluderValue(false)), QString("\""));
}

void OptionsRulesTest::trimPageRoundTrip()
{
    const TrimList list = {"1<A>", "0</A>", "2<B>", "-</B>"};
    const std::vector<TrimItem> items = trimItemsOf(list);
    const std::vector<TrimItem> expected
        = {{"<A>", true}, {"</A>", false}, {"<B>", true}, {"</B>", false}};
    QVERIFY(items == expected);
    QVERIFY(trimListOf(items) == (TrimList {"1<A>", "0</A>", "1<B>", "0</B>"}));
}

void OptionsRulesTest::panelColoursFollowDisabledComments()
{
    StyleOptions options;
    options.DoDisableComments = true;
    options.Spacing = 0;
    QCOMPARE(commentPanelColor(options), 13816575);
    QCOMPARE(indentPanelColor(options), 13816575);
    options.DoDisableComments = false;
    options.Spacing = 2;
    QCOMPARE(commentPanelColor(options), 15137791);
    QCOMPARE(indentPanelColor(options), 15137791);
    // 0x00BBGGRR: the pale red has full red.
    QCOMPARE(windowsColor(13816575), QColor(255, 210, 210));
    QCOMPARE(windowsColor(15137791), QColor(255, 251, 230));
}

void OptionsRulesTest::windows1252RoundTripsEveryByte()
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    QCOMPARE(toWindows1252(fromWindows1252(all)), all);
    QCOMPARE(fromWindows1252("\x80"), QString(QChar(0x20AC)));
    QCOMPARE(toWindows1252(QString::fromUtf8("€ ✓")), std::string("\x80 ?"));
}

void OptionsRulesTest::messagesShowLineBreaks()
{
    QCOMPARE(messageText(TagAddedMessage("<FONT>")),
        QString("Tag <FONT> successfully added to the current style!\nNow select your tag "
                "in the \"Tag Overview\" grid to configure it."));
    QCOMPARE(messageText(styleSwitchQuestion("mine")),
        QString("Save changes in style:\n\n\"mine\"\n\nbefore loading another one?"));
    QCOMPARE(qs(RemoveTagQuestion("<TABLE>")), QString("Remove tag <TABLE> from current style?"));
}

int runOptionsRulesTest(int argc, char** argv)
{
    OptionsRulesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "OptionsRulesTest.moc"
