/// TForm1: building the window's controls and connecting them.
#include "app/TForm1.h"

#include "widgets/TiledPanel.h"

#include "app/EditorHostAdapter.h"
#include "editor/RichEdit.h"
#include "text/ColorSet.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zenkel {

namespace {

struct ButtonSpec
{
    const char* name;
    const char* caption;
    const char* hint;
};

constexpr ButtonSpec PanelButtonSpecs[] = {
    {"BFiles", "Select File(s)", "<F3>: Load a single file (or more for batch processing)"},
    {"BTree", "Select Tree", "<F4>: Choose a directory tree for batch processing"},
    {"BFormat", "Format", "<F5>: Format and save file(s)"},
    {"BCompress", "Compress", "<F6>: Compress and save file(s)"},
    {"BTrim", "Trim", "<F7>: Trim specified tags and save file(s)"},
    {"BRestore", "Restore", "<F8>: Restore file(s) from last Backup"},
    {"BOptions", "Options", "<F9>: Open the Options Window"},
};

constexpr ButtonSpec EditorButtonSpecs[] = {
    {"BNew", "New", "Create a new HTML file "},
    {"BSaveAs", "Save As", "Save a copy of the current file"},
    {"BSave", "Save", "<CTRL><S>: Save current file"},
    {"BCancel", "Cancel All", "<ESC>: Cancel editing and undo all changes"},
    {"BUndo", "Undo", "<CTRL><Z>: Undo last change"},
    {"BSearchRep", "Search-Repl.", "<CTRL><R>: Open Search&Replace Dialog"},
};

QPushButton* makeButton(QWidget* parent, const ButtonSpec& spec)
{
    auto* b = new QPushButton(QString::fromLatin1(spec.caption), parent);
    b->setObjectName(spec.name);
    b->setToolTip(QString::fromLatin1(spec.hint));
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

/// A small round picture for the home-page button: a globe drawn in two blues.
QIcon globeIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(70, 130, 200));
    p.setPen(QPen(QColor(30, 70, 130), 1.5));
    p.drawEllipse(3, 3, 26, 26);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(220, 235, 250), 1.2));
    p.drawEllipse(10, 3, 12, 26);
    p.drawLine(3, 16, 29, 16);
    p.drawLine(6, 9, 26, 9);
    p.drawLine(6, 23, 26, 23);
    return QIcon(pixmap);
}

/// The help button's picture: a question mark in a blue disc.
QIcon helpIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(70, 130, 200));
    p.setPen(QPen(QColor(30, 70, 130), 1.5));
    p.drawEllipse(3, 3, 26, 26);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(3, 3, 26, 26), Qt::AlignCenter, "?");
    return QIcon(pixmap);
}

/// A small square colour-mode button showing its mode number.
QPushButton* makeRepaintButton(QWidget* parent, const ColorModeButton& spec)
{
    auto* b = new QPushButton(QString::number(spec.mode), parent);
    b->setObjectName(QString::fromLatin1(spec.name.data(), spec.name.size()));
    b->setProperty("Tag", spec.mode);
    b->setFixedSize(22, 22);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(QString::fromLatin1(spec.hint.data(), spec.hint.size()));
    return b;
}

} // namespace

void TForm1::buildWindow()
{
    auto* central = new QWidget(this);
    central->setObjectName("TForm1Client");
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    layout->addWidget(buildButtonPanel());

    m_panelMsg = new TiledPanel(central);
    m_panelMsg->setObjectName("PanelMsg");
    m_panelMsg->setFrameShape(QFrame::StyledPanel);
    auto* msgLayout = new QHBoxLayout(m_panelMsg);
    msgLayout->setContentsMargins(8, 3, 8, 3);
    m_label1 = new QLabel(m_panelMsg);
    m_label1->setObjectName("Label1");
    m_label1->setTextInteractionFlags(Qt::NoTextInteraction);
    m_label1->setTextFormat(Qt::PlainText); // paths and names shown as they are
    m_label1->setMinimumWidth(10);
    msgLayout->addWidget(m_label1);
    layout->addWidget(m_panelMsg);

    m_progressActFile = new QProgressBar(central);
    m_progressActFile->setObjectName("ProgressActFile");
    m_progressActFile->setTextVisible(false);
    m_progressActFile->setFixedHeight(8);
    m_progressActFile->setRange(0, 0);
    m_progressActFile->setValue(0);
    m_progressActFile->setRange(0, 100);
    layout->addWidget(m_progressActFile);

    m_notebook1 = new QTabWidget(central);
    m_notebook1->setObjectName("Notebook1");
    auto* htmlPage = new QWidget(m_notebook1);
    htmlPage->setObjectName("PageHTML");
    auto* htmlLayout = new QVBoxLayout(htmlPage);
    htmlLayout->setContentsMargins(0, 0, 0, 0);
    htmlLayout->setSpacing(0);
    htmlLayout->addWidget(buildEditorPanel());
    m_reScreen = new RichEdit(htmlPage);
    m_reScreen->setObjectName("REScreen");
    htmlLayout->addWidget(m_reScreen, 1);
    m_editorHost = std::make_unique<EditorHostAdapter>(*this);
    m_coloring = std::make_unique<EditorColoring>(*m_reScreen, *m_editorHost);
    m_coloring->connectEditor();
    m_notebook1->addTab(htmlPage, "HTML");

    m_richProtokoll = new QPlainTextEdit(m_notebook1);
    m_richProtokoll->setObjectName("RichProtokoll");
    m_richProtokoll->setReadOnly(true);
    m_richProtokoll->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_notebook1->addTab(m_richProtokoll, "Protokoll");
    layout->addWidget(m_notebook1, 1);

    m_progressAll = new QProgressBar(central);
    m_progressAll->setObjectName("ProgressAll");
    m_progressAll->setTextVisible(false);
    m_progressAll->setFixedHeight(8);
    m_progressAll->setRange(0, 100);
    m_progressAll->setValue(0);
    layout->addWidget(m_progressAll);

    auto* bottom = new QWidget(central);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(4, 2, 4, 2);
    m_edit1 = new QLineEdit(bottom);
    m_edit1->setObjectName("Edit1");
    m_edit1->setReadOnly(true);
    // Not reached by Tab, but a click lets the user select part of a hint and copy it.
    m_edit1->setFocusPolicy(Qt::ClickFocus);
    bottomLayout->addWidget(m_edit1);
    bottomLayout->addStretch(1);
    layout->addWidget(bottom);

    setCentralWidget(central);
    resize(790, 565);

    // Protocol lines appear as they are appended; a new selection empties the page.
    m_session.protocol.setListener([this](const std::string& line) { appendProtocolLine(line); });
    m_session.protocol.setClearedListener([this] { m_richProtokoll->clear(); });

    // The popup menu, the search dialog and the tag hint line (TForm1Editing.cpp).
    buildEditingParts();
}

QWidget* TForm1::buildButtonPanel()
{
    m_panelButtons = new TiledPanel(this);
    m_panelButtons->setObjectName("PanelButtons");
    m_panelButtons->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(m_panelButtons);
    row->setContentsMargins(6, 6, 6, 6);
    row->setSpacing(4);
    for (const ButtonSpec& spec : PanelButtonSpecs) {
        QPushButton* b = makeButton(m_panelButtons, spec);
        b->setMinimumWidth(88);
        row->addWidget(b);
        if (std::string_view(spec.name) == "BRestore")
            row->addSpacing(12);
    }
    row->addStretch(1);
    auto* earth = new QPushButton(m_panelButtons);
    earth->setObjectName("BEarth");
    earth->setToolTip("Visit Orvane Homepage");
    earth->setIcon(globeIcon());
    earth->setIconSize(QSize(22, 22));
    earth->setFlat(true);
    earth->setFocusPolicy(Qt::NoFocus);
    row->addWidget(earth);
    auto* help = new QPushButton(m_panelButtons);
    help->setObjectName("BHelp");
    help->setToolTip("Show Help");
    help->setIcon(helpIcon());
    help->setIconSize(QSize(22, 22));
    help->setFlat(true);
    help->setFocusPolicy(Qt::NoFocus);
    row->addWidget(help);
    return m_panelButtons;
}

QWidget* TForm1::buildEditorPanel()
{
    m_panelEditor = new TiledPanel(this);
    m_panelEditor->setObjectName("PanelEditor");
    auto* row = new QHBoxLayout(m_panelEditor);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(3);
    for (const ButtonSpec& spec : EditorButtonSpecs)
        row->addWidget(makeButton(m_panelEditor, spec));
    row->addStretch(1);
    for (const ColorModeButton& spec : ColorModeButtons)
        row->addWidget(makeRepaintButton(m_panelEditor, spec));
    row->addSpacing(6);
    QPushButton* browser = makeButton(
        m_panelEditor, {"BBrowser", "Browser", "<ALT><B>:  View current file in default browser"});
    row->addWidget(browser);
    return m_panelEditor;
}

void TForm1::connectButtons()
{
    const std::pair<const char*, void (TForm1::*)()> handlers[] = {
        {"BFiles", &TForm1::BFilesClick},
        {"BTree", &TForm1::BTreeClick},
        {"BFormat", &TForm1::BFormatClick},
        {"BCompress", &TForm1::BCompressClick},
        {"BTrim", &TForm1::BTrimClick},
        {"BRestore", &TForm1::BRestoreClick},
        {"BOptions", &TForm1::BOptionsClick},
        {"BHelp", &TForm1::BHelpClick},
        {"BEarth", &TForm1::BEarthClick},
        {"BNew", &TForm1::BNewClick},
        {"BSaveAs", &TForm1::BSaveAsClick},
        {"BCancel", &TForm1::BCancelClick},
        {"BUndo", &TForm1::BUndoClick},
        {"BBrowser", &TForm1::BBrowserClick},
    };
    for (const auto& [name, handler] : handlers)
        connect(button(name), &QPushButton::clicked, this, handler);
    connect(button("BSave"), &QPushButton::clicked, this, [this] { BSaveClick(); });
    for (const ColorModeButton& spec : ColorModeButtons) {
        const int mode = spec.mode;
        connect(button(std::string(spec.name).c_str()), &QPushButton::clicked, this,
            [this, mode] { BRepaintClick(mode); });
    }
    connect(m_reScreen, &RichEdit::modifiedFlagChanged, this, [this](bool modified) {
        // An Undo after Cancel All or a save makes the text unsaved again.
        if (modified && m_cancelUndoable) {
            m_cancelUndoable = false;
            SetREToModified();
            return;
        }
        SetButtonState();
    });
}

} // namespace zenkel
