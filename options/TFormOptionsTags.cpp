/// TFormOptions: the Tags page, where the entries of the tag table are shown and edited, and
/// tags are added and removed.
#include "options/OptionsControls.h"
#include "options/TFormAddTag.h"
#include "options/TFormOptions.h"
#include "options/TagPageRules.h"
#include "options/WindowsText.h"

#include "batch/Session.h"
#include "style/StyleFiles.h"
#include "widgets/Prompter.h"
#include "widgets/WidgetText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>

namespace zenkel {

namespace {

void setFontStyle(QWidget* widget, bool italic, bool emphasised = false)
{
    QFont font = widget->font();
    font.setItalic(italic);
    font.setBold(emphasised);
    font.setUnderline(emphasised);
    widget->setFont(font);
}

} // namespace

void TFormOptions::connectTagControls()
{
    OptionsControls& ui = *m_ui;
    connect(ui.TagGrid, &QTableWidget::currentCellChanged, this,
        [this](int row, int, int previousRow, int) {
            if (row != previousRow)
                TagGridClick();
        });
    for (QRadioButton* button : {ui.RBAlone, ui.RBAsText}) {
        connect(button, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                TagTypeClick();
        });
    }
    for (QCheckBox* box : {ui.CBSComment, ui.CBEComment, ui.CBCounter, ui.CBCIndent, ui.CBClean})
        connect(box, &QCheckBox::toggled, this, &TFormOptions::TagTypeClick);
    connect(ui.CBOneLine, &QCheckBox::toggled, this, [this] {
        TagTypeClick();
        refreshPreviewResult();
    });
    // Every keystroke in a comment text reaches the entry at once.
    connect(ui.EditScomment, &QLineEdit::textChanged, this, &TFormOptions::TagTypeClick);
    connect(ui.EditEComment, &QLineEdit::textChanged, this, &TFormOptions::TagTypeClick);
    connect(ui.CBSymbol, &QComboBox::currentIndexChanged, this, &TFormOptions::TagTypeClick);
    for (UpDownEdit* upDown : {ui.UpDownBefore, ui.UpDownAfter, ui.UpDownLength,
             ui.UpDownSelfIndent, ui.UpDownContentIndent})
        connect(upDown, &QSpinBox::valueChanged, this, &TFormOptions::UpDownTagsClick);
    connect(ui.BAddTag, &QPushButton::clicked, this, &TFormOptions::BAddTagClick);
    connect(ui.BDelTag, &QPushButton::clicked, this, &TFormOptions::BDelTagClick);
}

void TFormOptions::FillTagGrid()
{
    const TagTable& table = m_session.engine.style().tags;
    QTableWidget* grid = m_ui->TagGrid;
    const QSignalBlocker block(grid);
    grid->clearContents();
    grid->setRowCount(table.tagCount);
    for (int row = 1; row <= table.tagCount; ++row) {
        grid->setItem(row - 1, 0, new QTableWidgetItem(fromWindows1252(table[row].tagName)));
        for (int column = 1; column < TagGridColumnCount; ++column) {
            auto* cell = new QTableWidgetItem(QStringLiteral(" "));
            cell->setTextAlignment(Qt::AlignCenter);
            grid->setItem(row - 1, column, cell);
        }
        SetCharInLineRow(row);
    }
}

void TFormOptions::SetCharInLineRow(int row)
{
    const TagTable& table = m_session.engine.style().tags;
    if (row < 1 || row > table.tagCount)
        return;
    for (int column = 1; column < TagGridColumnCount; ++column) {
        QTableWidgetItem* cell = m_ui->TagGrid->item(row - 1, column);
        if (!cell)
            continue;
        cell->setText(
            fromWindows1252(TagGridCellText(table[row], static_cast<TagGridColumn>(column))));
    }
}

int TFormOptions::selectedTagRow() const
{
    const int row = m_ui->TagGrid->currentRow();
    if (row < 0 || row >= m_session.engine.style().tags.tagCount)
        return 0;
    return row + 1;
}

void TFormOptions::TagGridClick()
{
    Guard guard(*this);
    const int row = selectedTagRow();
    if (row == 0)
        return;
    // The controls still show the previous row: that entry takes them first.
    StoreTagProps(m_lastTagRow);
    SetCharInLineRow(m_lastTagRow);
    ShowSelectedTagProps(row);
    SetPanelStatus();
    m_lastTagRow = row;
}

void TFormOptions::ShowSelectedTagProps(int row)
{
    OptionsControls& ui = *m_ui;
    RecTAGInfo& entry = m_session.engine.style().tags[row];
    SetUpDownMinMax(entry);
    ui.UpDownBefore->setValue(entry.CRLFLeading);
    ui.UpDownAfter->setValue(entry.CRLFFollowed);
    ui.UpDownLength->setValue(entry.CommentLength);
    ui.EditScomment->setText(fromWindows1252(entry.StartComment));
    ui.EditEComment->setText(fromWindows1252(entry.EndComment));
    ui.UpDownSelfIndent->setValue(entry.isSelfIndent);
    ui.UpDownContentIndent->setValue(entry.isContentIndent);
    ui.CBSComment->setChecked(entry.DoGenerateSComment);
    ui.CBEComment->setChecked(entry.DoGenerateEComment);
    ui.CBSymbol->setCurrentIndex(FindSymbol(fromWindows1252(entry.CommentSymbol)));
    ui.RBAsText->setChecked(entry.TreatAsText);
    ui.RBAlone->setChecked(!entry.TreatAsText);
    ui.CBCounter->setChecked(entry.EnableCounter);
    ui.CBCIndent->setChecked(entry.CIndent);
    ui.CBOneLine->setChecked(entry.KeepOnOneLine);
    ui.CBClean->setChecked(entry.cleanFlag);
}

void TFormOptions::StoreTagProps(int row)
{
    TagTable& table = m_session.engine.style().tags;
    if (row < 1 || row > table.tagCount)
        return;
    OptionsControls& ui = *m_ui;
    RecTAGInfo& entry = table[row];
    entry.CommentLength = ui.UpDownLength->value();
    entry.isSelfIndent = ui.UpDownSelfIndent->value();
    entry.isContentIndent = ui.UpDownContentIndent->value();
    entry.DoGenerateSComment = ui.CBSComment->isChecked();
    entry.DoGenerateEComment = ui.CBEComment->isChecked();
    entry.StartComment = cutToCapacity(toWindows1252(ui.EditScomment->text()), CommentTextCapacity);
    entry.EndComment = cutToCapacity(toWindows1252(ui.EditEComment->text()), CommentTextCapacity);
    entry.CommentSymbol
        = cutToCapacity(toWindows1252(ui.CBSymbol->currentText()), CommentSymbolCapacity);
    entry.TreatAsText = ui.RBAsText->isChecked();
    entry.EnableCounter = ui.CBCounter->isChecked();
    entry.CIndent = ui.CBCIndent->isChecked();
    entry.KeepOnOneLine = ui.CBOneLine->isChecked();
    // A tag that has just become 'Stand Alone' gets at least one line break on each side.
    SetUpDownMinMax(entry);
    entry.CRLFLeading = ui.UpDownBefore->value();
    entry.CRLFFollowed = ui.UpDownAfter->value();
    entry.cleanFlag = ui.CBClean->isChecked();
}

void TFormOptions::SetUpDownMinMax(RecTAGInfo& entry)
{
    const int minimum = zenkel::SetUpDownMinMax(entry);
    // Raising the lower limit moves a 0 up to 1; that is no edit of the user's.
    for (UpDownEdit* upDown : {m_ui->UpDownBefore, m_ui->UpDownAfter}) {
        const QSignalBlocker block(upDown);
        upDown->setMinimum(minimum);
    }
}

int TFormOptions::FindSymbol(const QString& symbol) const
{
    return zenkel::FindSymbol(toWindows1252(symbol));
}

void TFormOptions::SetPanelStatus()
{
    const int row = selectedTagRow();
    if (row == 0)
        return;
    OptionsControls& ui = *m_ui;
    const TagPanelStatus status = tagPanelStatus(m_session.engine.style().tags[row]);
    setFontStyle(ui.PanelSi, status.indentItalic);
    setFontStyle(ui.PanelCi, status.indentItalic);
    setFontStyle(ui.RBAsText, false, status.asTextEmphasised);
    setFontStyle(ui.RBAlone, false, status.aloneEmphasised);
    setFontStyle(ui.PanelAutoComm1, status.startCommentItalic);
    setFontStyle(ui.PanelAutoComm2, status.endCommentItalic);
    setFontStyle(ui.PanelLines1, status.linesBeforeItalic);
    setFontStyle(ui.PanelLines2, status.linesAfterItalic);
    setFontStyle(ui.CBOneLine, status.oneLineItalic);
}

void TFormOptions::TagTypeClick()
{
    if (m_loading)
        return;
    const int row = selectedTagRow();
    if (row == 0)
        return;
    setModified();
    StoreTagProps(row);
    SetCharInLineRow(row);
    SetPanelStatus();
}

void TFormOptions::UpDownTagsClick()
{
    TagTypeClick();
}

void TFormOptions::enableTagControls()
{
    // Without a tag there is no row to edit or remove.
    const bool any = m_session.engine.style().tags.tagCount > 0;
    for (const char* group : {"GroupType", "GroupLines", "GroupIndent", "GroupComment"}) {
        if (auto* box = findChild<QGroupBox*>(QLatin1String(group)))
            box->setEnabled(any);
    }
    m_ui->BDelTag->setEnabled(any);
}

void TFormOptions::BAddTagClick()
{
    Style& style = m_session.engine.style();
    TFormAddTag dialog(style.tags, style.options.StyleName, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!saveActiveStyle()) {
        // The table goes back to what the grid shows.
        style.tags[style.tags.tagCount] = style.tags.defaults();
        --style.tags.tagCount;
        return;
    }
    const std::string name = style.options.StyleName;
    m_session.ActivateStyle(name);
    SetStyle(style.options.StyleName);
    const TagTable& table = style.tags;
    if (table.tagCount > 0)
        Prompter::information(
            this, programTitle(), messageText(TagAddedMessage(table[table.tagCount].tagName)));
}

void TFormOptions::BDelTagClick()
{
    const int row = selectedTagRow();
    if (row == 0)
        return;
    const RecTAGInfo entry = m_session.engine.style().tags[row];
    if (Prompter::question(this, programTitle(), fromWindows1252(RemoveTagQuestion(entry.TagOpen)))
        != Prompter::Yes)
        return;
    std::string error;
    if (!EraseTagEntry(m_session.catalogue.activeStyleDirectory(), entry.tagName, &error)) {
        showError(error);
        return;
    }
    // The style comes back from its files: edits not saved before are gone with the tag.
    const std::string name = m_session.engine.style().options.StyleName;
    m_session.ActivateStyle(name);
    SetStyle(m_session.engine.style().options.StyleName);
}

} // namespace zenkel
