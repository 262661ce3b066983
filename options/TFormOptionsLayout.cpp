/// TFormOptions: the window's controls, their captions, hints, ranges and places.
#include "options/OptionsControls.h"
#include "options/OptionsRules.h"
#include "options/TFormOptions.h"
#include "options/TagPageRules.h"

#include "widgets/TiledPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

namespace zenkel {

namespace {

constexpr const char* RestartHint = "Please restart Zenkel HTML after changing this option";
constexpr int NumberFieldWidth = 64;

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QCheckBox* checkBox(const char* name, const char* caption, QWidget* parent)
{
    return named(new QCheckBox(QString::fromLatin1(caption), parent), name);
}

QRadioButton* radioButton(const char* name, const char* caption, QWidget* parent)
{
    return named(new QRadioButton(QString::fromLatin1(caption), parent), name);
}

QPushButton* pushButton(const char* name, const char* caption, const char* hint, QWidget* parent)
{
    auto* button = named(new QPushButton(QString::fromLatin1(caption), parent), name);
    if (hint)
        button->setToolTip(QString::fromLatin1(hint));
    button->setAutoDefault(false);
    return button;
}

QLabel* label(const char* caption, QWidget* parent)
{
    return new QLabel(QString::fromLatin1(caption), parent);
}

QGroupBox* groupBox(const char* name, const char* title, QWidget* parent)
{
    return named(new QGroupBox(QString::fromLatin1(title), parent), name);
}

/// A framed panel that shows a colour behind its controls (see SetPanelColors).
QFrame* colourPanel(const char* name, QWidget* parent)
{
    auto* panel = named(new QFrame(parent), name);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Plain);
    panel->setAutoFillBackground(true);
    return panel;
}

/// A colour panel holding one up-down and its caption, side by side.
QFrame* upDownPanel(const char* name, UpDownEdit* upDown, const char* caption, QWidget* parent)
{
    QFrame* panel = colourPanel(name, parent);
    upDown->setParent(panel);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(upDown);
    layout->addWidget(label(caption, panel), 1);
    return panel;
}

} // namespace

UpDownEdit::UpDownEdit(const char* upDownName, const char* editName, int minimum, int maximum,
    int step, QWidget* parent)
    : QSpinBox(parent)
{
    setObjectName(QLatin1String(upDownName));
    lineEdit()->setObjectName(QLatin1String(editName));
    lineEdit()->setReadOnly(true);
    setRange(minimum, maximum);
    setSingleStep(step);
    setFixedWidth(NumberFieldWidth);
    setAlignment(Qt::AlignRight);
}

void TFormOptions::buildWindow()
{
    OptionsControls& ui = *m_ui;
    setObjectName(QStringLiteral("TFormOptions"));
    setWindowTitle(QStringLiteral("Format & Compress Options"));
    setSizeGripEnabled(true);

    ui.PanelMain = named(new TiledPanel(this), "PanelMain");
    ui.PanelMain->setTile(m_pictures.main);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(ui.PanelMain);

    ui.MemoPreview = named(new QPlainTextEdit(ui.PanelMain), "MemoPreview");
    ui.MemoPreview->setReadOnly(true);
    ui.MemoPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    ui.MemoPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.MemoPreview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    if (!QFontInfo(fixed).fixedPitch())
        fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    ui.MemoPreview->setFont(fixed);

    ui.Notebook1 = named(new QStackedWidget(ui.PanelMain), "Notebook1");
    ui.Notebook1->addWidget(buildGeneralPage());
    ui.Notebook1->addWidget(buildTagsPage());
    ui.Notebook1->addWidget(buildDokuPage());
    ui.Notebook1->addWidget(buildTrimPage());
    ui.Notebook1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    ui.TabSet1 = named(new QTabBar(ui.PanelMain), "TabSet1");
    ui.TabSet1->setShape(QTabBar::RoundedSouth);
    ui.TabSet1->setDrawBase(false);
    ui.TabSet1->setExpanding(false);
    for (const char* tab : {"  General Options ", "  Tag Configuration ",
             "  Documentation Options ", "  Trim Options"})
        ui.TabSet1->addTab(QString::fromLatin1(tab));

    auto* layout = new QVBoxLayout(ui.PanelMain);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(buildTopBar());
    layout->addWidget(ui.MemoPreview, 1);
    layout->addWidget(ui.Notebook1);
    layout->addWidget(ui.TabSet1);
    layout->addWidget(buildButtonBar());
    // The pages are as tall as the tallest needs; the preview takes the rest.
    int pageHeight = 0;
    for (int i = 0; i < ui.Notebook1->count(); ++i)
        pageHeight = std::max(pageHeight, ui.Notebook1->widget(i)->sizeHint().height());
    ui.Notebook1->setFixedHeight(pageHeight);
    // Room for a dozen preview lines at least; the width follows from the pages' layouts.
    setMinimumHeight(pageHeight + 260);
}

QWidget* TFormOptions::buildTopBar()
{
    OptionsControls& ui = *m_ui;
    auto* bar = named(new QWidget(ui.PanelMain), "PanelTop");
    ui.ComboPreview = named(new QComboBox(bar), "ComboPreview");
    ui.ComboPreview->setToolTip(QStringLiteral("Choose another Preview File"));
    ui.ComboPreview->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ui.ComboPreview->setMinimumContentsLength(14);
    ui.ComboStyle = named(new QComboBox(bar), "ComboStyle");
    ui.ComboStyle->setToolTip(QStringLiteral("Load another style"));
    ui.ComboStyle->setMaxVisibleItems(15);
    ui.ComboStyle->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ui.ComboStyle->setMinimumContentsLength(12);
    ui.EditDescr = named(new QLineEdit(bar), "EditDescr");
    ui.EditDescr->setMaxLength(DescriptionFieldLength);
    ui.EditDescr->setToolTip(QStringLiteral("Description of the style"));

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label("Preview File:", bar));
    layout->addWidget(ui.ComboPreview);
    layout->addSpacing(12);
    layout->addWidget(label("Style:", bar));
    layout->addWidget(ui.ComboStyle);
    layout->addWidget(ui.EditDescr, 1);
    return bar;
}

QWidget* TFormOptions::buildButtonBar()
{
    OptionsControls& ui = *m_ui;
    auto* bar = named(new QWidget(ui.PanelMain), "PanelButtons");
    ui.BOK = pushButton("BOK", " OK", "Close window and save changes", bar);
    ui.BCancel = pushButton("BCancel", "Cancel", "Close window and purge changes", bar);
    ui.BSaveNewStyle = pushButton(
        "BSaveNewStyle", "Save as new style", "Save current settings under a new style name", bar);
    ui.BReload = pushButton("BReload", " Reload File", "Reload active preview file from disk", bar);
    ui.BpreviewF
        = pushButton("BpreviewF", " Preview Formatted", "Show preview file after formatting", bar);
    ui.BPreviewC = pushButton(
        "BPreviewC", " Preview Compressed", "Show preview file after compression", bar);
    ui.BOK->setDefault(true);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addWidget(ui.BOK);
    layout->addWidget(ui.BCancel);
    layout->addWidget(ui.BSaveNewStyle);
    layout->addStretch(1);
    layout->addWidget(ui.BReload);
    layout->addWidget(ui.BpreviewF);
    layout->addWidget(ui.BPreviewC);
    return bar;
}

QWidget* TFormOptions::buildGeneralPage()
{
    OptionsControls& ui = *m_ui;
    auto* page = named(new TiledPanel, "General");
    page->setTile(m_pictures.option);

    QGroupBox* files = groupBox("GroupFiles", "Files", page);
    ui.CBValidate = checkBox("CBValidate", "Skip files without <HTML> Tag inside", files);
    ui.EditBack = named(new QLineEdit(files), "EditBack");
    ui.EditBack->setMaxLength(BackupExtFieldLength);
    ui.EditBack->setFixedWidth(80);
    ui.ComboLineEnds = named(new QComboBox(files), "ComboLineEnds");
    ui.ComboLineEnds->addItem(QStringLiteral("CR LF (Windows)"));
    ui.ComboLineEnds->addItem(QStringLiteral("LF (Linux)"));
    ui.ComboLineEnds->setToolTip(QStringLiteral("Line ends of the files Zenkel HTML writes"));
    auto* filesLayout = new QGridLayout(files);
    filesLayout->addWidget(ui.CBValidate, 0, 0, 1, 2);
    filesLayout->addWidget(ui.EditBack, 1, 0);
    filesLayout->addWidget(label("Backup-File Extension", files), 1, 1);
    filesLayout->addWidget(ui.ComboLineEnds, 2, 0);
    filesLayout->addWidget(label("Line Ends of Written Files", files), 2, 1);
    filesLayout->setColumnStretch(1, 1);
    filesLayout->setRowStretch(3, 1);

    QGroupBox* display = groupBox("GroupDisplay", "Program", page);
    ui.CBSyntax = checkBox("CBSyntax", "Enable Syntax Coloring", display);
    ui.CBSyntax->setToolTip(QString::fromLatin1(RestartHint));
    ui.CBWallPaper = checkBox("CBWallPaper", "Show Window Wallpapers", display);
    ui.CBWallPaper->setToolTip(QString::fromLatin1(RestartHint));
    auto* displayLayout = new QVBoxLayout(display);
    displayLayout->addWidget(ui.CBSyntax);
    displayLayout->addWidget(ui.CBWallPaper);
    displayLayout->addStretch(1);

    QGroupBox* text = groupBox("GroupText", "Text Blocks and Indent", page);
    ui.UpDown2
        = new UpDownEdit("UpDown2", "EditLineSize", MinLineSize, MaxLineSize, LineSizeStep, text);
    ui.UpDown1 = new UpDownEdit("UpDown1", "EditIndent", MinSpacing, MaxSpacing, SpacingStep);
    ui.PanelDisIndent = upDownPanel("PanelDisIndent", ui.UpDown1, "Indent Stepsize", text);
    ui.CBBreakExcluder = checkBox("CBBreakExcluder", "No linebreak between '<' and '>'", text);
    ui.CBIndentTabs = checkBox("CBIndentTabs", "Indent with TABs", text);
    ui.CBIndentTabs->setToolTip(
        QStringLiteral("Write a TAB for every 8 columns of indentation; off: blanks only"));
    auto* lineSizeRow = new QHBoxLayout;
    lineSizeRow->setContentsMargins(5, 0, 5, 0);
    lineSizeRow->addWidget(ui.UpDown2);
    lineSizeRow->addWidget(label("Textblock Linesize", text), 1);
    auto* textLayout = new QVBoxLayout(text);
    textLayout->addLayout(lineSizeRow);
    textLayout->addWidget(ui.PanelDisIndent);
    textLayout->addWidget(ui.CBIndentTabs);
    textLayout->addWidget(ui.CBBreakExcluder);
    textLayout->addStretch(1);

    QGroupBox* comments = groupBox("GroupComments", "Comments", page);
    ui.PanelDisComm = colourPanel("PanelDisComm", comments);
    ui.CBDisableComm = checkBox("CBDisableComm", "Disable all Auto Comments", ui.PanelDisComm);
    auto* disLayout = new QHBoxLayout(ui.PanelDisComm);
    disLayout->setContentsMargins(4, 2, 4, 2);
    disLayout->addWidget(ui.CBDisableComm);
    ui.CBPurgeComm = checkBox("CBPurgeComm", "Purge comments in compressed files", comments);
    auto* commentsLayout = new QVBoxLayout(comments);
    commentsLayout->addWidget(ui.PanelDisComm);
    commentsLayout->addWidget(ui.CBPurgeComm);
    commentsLayout->addStretch(1);

    QGroupBox* tagCase = groupBox("GroupTagCase", "Tag Case", page);
    ui.RBUpper = radioButton("RBUpper", "Tags in Uppercase", tagCase);
    ui.RBLower = radioButton("RBLower", "Tags in Lowercase", tagCase);
    ui.RBLeave = radioButton("RBLeave", "Preserve Case", tagCase);
    auto* caseLayout = new QVBoxLayout(tagCase);
    caseLayout->addWidget(ui.RBUpper);
    caseLayout->addWidget(ui.RBLower);
    caseLayout->addWidget(ui.RBLeave);
    caseLayout->addStretch(1);

    auto* layout = new QGridLayout(page);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(files, 0, 0);
    layout->addWidget(display, 1, 0);
    layout->addWidget(text, 0, 1);
    layout->addWidget(comments, 1, 1);
    layout->addWidget(tagCase, 0, 2, 2, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 3);
    layout->setColumnStretch(2, 2);
    layout->setRowStretch(2, 1);
    return page;
}

QWidget* TFormOptions::buildTagsPage()
{
    OptionsControls& ui = *m_ui;
    auto* page = named(new TiledPanel, "Tags");
    page->setTile(m_pictures.option);

    ui.TagGrid = named(new QTableWidget(0, TagGridColumnCount, page), "TagGrid");
    QStringList header;
    for (const std::string_view cell : TagGridHeader)
        header << QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size()));
    ui.TagGrid->setHorizontalHeaderLabels(header);
    ui.TagGrid->verticalHeader()->hide();
    ui.TagGrid->verticalHeader()->setDefaultSectionSize(20);
    ui.TagGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui.TagGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.TagGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.TagGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui.TagGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont bold = ui.TagGrid->font();
    bold.setBold(true);
    ui.TagGrid->setFont(bold);
    ui.TagGrid->horizontalHeader()->setFont(bold);
    ui.TagGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ui.TagGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui.TagGrid->setColumnWidth(0, 170);
    for (int column = 1; column < TagGridColumnCount; ++column)
        ui.TagGrid->setColumnWidth(column, 34);
    ui.TagGrid->setFixedWidth(170 + 4 * 34 + ui.TagGrid->verticalScrollBar()->sizeHint().width()
        + 2 * ui.TagGrid->frameWidth());

    QGroupBox* type = groupBox("GroupType", "T: Specify Tag Type:", page);
    ui.RBAlone = radioButton("RBAlone", "'Stand Alone' tag", type);
    ui.RBAsText = radioButton("RBAsText", "'As Text' Tag", type);
    auto* typeLayout = new QVBoxLayout(type);
    typeLayout->addWidget(ui.RBAlone);
    typeLayout->addWidget(ui.RBAsText);
    typeLayout->addStretch(1);

    QGroupBox* lines = groupBox("GroupLines", "L: Number of Linebreaks:", page);
    ui.UpDownBefore = new UpDownEdit("UpDownBefore", "EditLinesAtOpen", 0, MaxLineBreaks, 1);
    ui.UpDownAfter = new UpDownEdit("UpDownAfter", "EditLinesAtClose", 0, MaxLineBreaks, 1);
    ui.PanelLines1 = upDownPanel("PanelLines1", ui.UpDownBefore, "before opening tag", lines);
    ui.PanelLines2 = upDownPanel("PanelLines2", ui.UpDownAfter, "after closing tag", lines);
    ui.CBOneLine = checkBox("CBOneLine", "One line when short", lines);
    ui.CBOneLine->setToolTip(QStringLiteral("Start tag, text and end tag on one line when they "
                                            "fit the Textblock Linesize"));
    auto* linesLayout = new QVBoxLayout(lines);
    linesLayout->addWidget(ui.PanelLines1);
    linesLayout->addWidget(ui.PanelLines2);
    linesLayout->addWidget(ui.CBOneLine);
    linesLayout->addStretch(1);

    QGroupBox* indent = groupBox("GroupIndent", "I: Number of Indent Steps for:", page);
    ui.UpDownSelfIndent = new UpDownEdit("UpDownSelfIndent", "EditSi", 0, MaxIndentSteps, 1);
    ui.UpDownContentIndent = new UpDownEdit("UpDownContentIndent", "EditCi", 0, MaxIndentSteps, 1);
    ui.PanelSi = upDownPanel("PanelSi", ui.UpDownSelfIndent, "This tag itself", indent);
    ui.PanelCi = upDownPanel("PanelCi", ui.UpDownContentIndent, "This tag's content", indent);
    auto* indentLayout = new QVBoxLayout(indent);
    indentLayout->addWidget(ui.PanelSi);
    indentLayout->addWidget(ui.PanelCi);
    indentLayout->addStretch(1);

    QGroupBox* comment = groupBox("GroupComment", "C: Auto Comment Settings:", page);
    ui.PanelAutoComm1 = colourPanel("PanelAutoComm1", comment);
    ui.CBSComment = checkBox("CBSComment", "Enable Comment at start-tag:", ui.PanelAutoComm1);
    ui.EditScomment = named(new QLineEdit(ui.PanelAutoComm1), "EditScomment");
    ui.EditScomment->setMaxLength(static_cast<int>(CommentTextCapacity));
    ui.PanelAutoComm2 = colourPanel("PanelAutoComm2", comment);
    ui.CBEComment = checkBox("CBEComment", "Enable Comment at end-tag:", ui.PanelAutoComm2);
    ui.EditEComment = named(new QLineEdit(ui.PanelAutoComm2), "EditEComment");
    ui.EditEComment->setMaxLength(static_cast<int>(CommentTextCapacity));
    // Both check boxes as wide as the wider, so the two text fields line up.
    const int commentBoxWidth
        = std::max(ui.CBSComment->sizeHint().width(), ui.CBEComment->sizeHint().width());
    for (auto [panel, box, edit] : {std::tuple(ui.PanelAutoComm1, ui.CBSComment, ui.EditScomment),
             std::tuple(ui.PanelAutoComm2, ui.CBEComment, ui.EditEComment)}) {
        box->setFixedWidth(commentBoxWidth);
        auto* row = new QHBoxLayout(panel);
        row->setContentsMargins(4, 2, 4, 2);
        row->addWidget(box);
        row->addWidget(edit, 1);
    }
    ui.PanelAutoComm3 = colourPanel("PanelAutoComm3", comment);
    ui.CBCounter = checkBox("CBCounter", "Counter", ui.PanelAutoComm3);
    ui.CBCIndent = checkBox("CBCIndent", "Indent", ui.PanelAutoComm3);
    ui.CBSymbol = named(new QComboBox(ui.PanelAutoComm3), "CBSymbol");
    for (const std::string_view symbol : CommentSymbols)
        ui.CBSymbol->addItem(QString::fromLatin1(symbol.data(), 1));
    ui.UpDownLength = new UpDownEdit("UpDownLength", "EditCLength", MinCommentLength,
        MaxCommentLength, CommentLengthStep, ui.PanelAutoComm3);
    auto* optionsRow = new QHBoxLayout(ui.PanelAutoComm3);
    optionsRow->setContentsMargins(4, 2, 4, 2);
    optionsRow->addWidget(ui.CBCounter);
    optionsRow->addSpacing(8);
    optionsRow->addWidget(ui.CBCIndent);
    optionsRow->addSpacing(16);
    optionsRow->addWidget(label("Symbol:", ui.PanelAutoComm3));
    optionsRow->addWidget(ui.CBSymbol);
    optionsRow->addSpacing(16);
    optionsRow->addWidget(label("Length:", ui.PanelAutoComm3));
    optionsRow->addWidget(ui.UpDownLength);
    optionsRow->addStretch(1);
    // The clean flag is kept in memory only; its panel is never shown.
    ui.PanelClean = colourPanel("PanelClean", comment);
    ui.CBClean = checkBox("CBClean", "Clean tag inside", ui.PanelClean);
    ui.PanelClean->hide();
    auto* commentLayout = new QVBoxLayout(comment);
    commentLayout->addWidget(ui.PanelAutoComm1);
    commentLayout->addWidget(ui.PanelAutoComm2);
    commentLayout->addWidget(ui.PanelAutoComm3);
    commentLayout->addStretch(1);

    ui.BAddTag = pushButton("BAddTag", "Add a new tag", nullptr, page);
    ui.BDelTag = pushButton("BDelTag", "Remove tag", nullptr, page);

    auto* topRow = new QHBoxLayout;
    topRow->addWidget(type, 2);
    topRow->addWidget(lines, 3);
    topRow->addWidget(indent, 3);
    auto* tagButtons = new QVBoxLayout;
    tagButtons->addStretch(1);
    tagButtons->addWidget(ui.BAddTag);
    tagButtons->addWidget(ui.BDelTag);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(comment, 1);
    bottomRow->addLayout(tagButtons);
    auto* right = new QVBoxLayout;
    right->addLayout(topRow);
    right->addLayout(bottomRow);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(ui.TagGrid);
    layout->addLayout(right, 1);
    return page;
}

QWidget* TFormOptions::buildDokuPage()
{
    OptionsControls& ui = *m_ui;
    auto* page = named(new TiledPanel, "Doku");
    page->setTile(m_pictures.option);

    QGroupBox* parts = groupBox("GroupDoku", "Documentation Line", page);
    ui.CBUser = checkBox("CBUser", "Include User Info:", parts);
    ui.EditUserInfo = named(new QLineEdit(parts), "EditUserInfo");
    ui.EditUserInfo->setMaxLength(UserInfoFieldLength);
    ui.CBVersion = checkBox("CBVersion", "Include Zenkel HTML Version Info", parts);
    ui.CBDate = checkBox("CBDate", "Include System Date", parts);
    ui.CBTime = checkBox("CBTime", "Include System Time", parts);
    ui.CBStyle = checkBox("CBStyle", "Include Style Name", parts);
    ui.EditDokuPrev = named(new QLineEdit(parts), "EditDokuPrev");
    ui.EditDokuPrev->setReadOnly(true);
    ui.EditDokuPrev->setToolTip(QStringLiteral("The line as it would be inserted now"));
    auto* partsLayout = new QGridLayout(parts);
    partsLayout->addWidget(ui.CBUser, 0, 0);
    partsLayout->addWidget(ui.EditUserInfo, 0, 1, 1, 2);
    partsLayout->addWidget(ui.CBVersion, 1, 0);
    partsLayout->addWidget(ui.CBDate, 1, 1);
    partsLayout->addWidget(ui.CBStyle, 2, 0);
    partsLayout->addWidget(ui.CBTime, 2, 1);
    partsLayout->addWidget(ui.EditDokuPrev, 3, 0, 1, 3);
    partsLayout->setColumnStretch(2, 1);
    partsLayout->setRowStretch(4, 1);

    QGroupBox* use = groupBox("GroupDokuUse", "Insert this line in:", page);
    ui.CBUseWhileFormat = checkBox("CBUseWhileFormat", "Formatted Files", use);
    ui.CBUseWhileCompress = checkBox("CBUseWhileCompress", "Compressed Files", use);
    auto* useLayout = new QVBoxLayout(use);
    useLayout->addWidget(ui.CBUseWhileFormat);
    useLayout->addWidget(ui.CBUseWhileCompress);
    useLayout->addStretch(1);

    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(parts, 1, Qt::AlignTop);
    layout->addWidget(use, 0, Qt::AlignTop);
    return page;
}

QWidget* TFormOptions::buildTrimPage()
{
    OptionsControls& ui = *m_ui;
    auto* page = named(new TiledPanel, "Trim");
    page->setTile(m_pictures.option);
    ui.CLTrim = named(new QListWidget(page), "CLTrim");
    // Six columns, filled top to bottom, scrolled sideways when they are full.
    ui.CLTrim->setFlow(QListView::TopToBottom);
    ui.CLTrim->setWrapping(true);
    ui.CLTrim->setResizeMode(QListView::Adjust);
    ui.CLTrim->setUniformItemSizes(true);
    ui.CLTrim->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(label("Select tags to trim:", page));
    layout->addWidget(ui.CLTrim, 1);
    return page;
}

void TFormOptions::layOutTrimColumns()
{
    QListWidget* list = m_ui->CLTrim;
    const int rowHeight = list->fontMetrics().height() + 6;
    list->setGridSize(QSize(std::max(60, list->viewport()->width() / 6), rowHeight));
}

} // namespace zenkel
