/// TForm1: the keys the main window handles before its controls.
#include "app/TForm1.h"

#include "widgets/TiledPanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <string>
#include <utility>

namespace zenkel {

namespace {

/// Function keys and the buttons they stand for.
constexpr std::pair<int, const char*> FunctionKeys[] = {
    {Qt::Key_F3, "BFiles"},
    {Qt::Key_F4, "BTree"},
    {Qt::Key_F5, "BFormat"},
    {Qt::Key_F6, "BCompress"},
    {Qt::Key_F7, "BTrim"},
    {Qt::Key_F8, "BRestore"},
    {Qt::Key_F9, "BOptions"},
};

} // namespace

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool here = widget && widget->window() == this && isActiveWindow()
        && QApplication::activeModalWidget() == nullptr
        && QApplication::activePopupWidget() == nullptr;
    if (type == QEvent::KeyPress) {
        // Esc acts on its release only when it was also pressed here: the release of an Esc
        // that closed a dialog or a popup must not discard the edits.
        if (key->key() == Qt::Key_Escape && !key->isAutoRepeat())
            m_escapePressedHere = here;
        return QMainWindow::eventFilter(watched, event);
    }
    // The window sees key releases before its controls, as long as it is the active window.
    if (here && !key->isAutoRepeat()) {
        if (key->key() == Qt::Key_Escape && !std::exchange(m_escapePressedHere, false))
            return QMainWindow::eventFilter(watched, event);
        if (FormKeyUp(key->key(), key->modifiers()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::clickIfEnabled(const char* name)
{
    QPushButton* b = button(name);
    if (b && b->isEnabled() && m_panelButtons->isEnabled() && !m_session.runInProgress)
        b->click();
}

bool TForm1::FormKeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    if (key == Qt::Key_Escape) {
        if (m_editorMode && button("BCancel")->isEnabled() && !m_session.runInProgress)
            BCancelClick();
        else
            m_session.runState.userBreak = true;
        return true;
    }
    if (key == Qt::Key_F1 && held == Qt::ShiftModifier) {
        if (m_editorMode && !m_session.runInProgress)
            CopyFromEditToRichEdit();
        return true;
    }
    for (const auto& [functionKey, name] : FunctionKeys) {
        if (key == functionKey && !(key == Qt::Key_F1)) {
            // The panel's buttons, not the panel itself, are asked: keys only start what a
            // click could start, and never a second run.
            QPushButton* b = button(name);
            if (b && b->isEnabled() && !m_session.runInProgress)
                b->click();
            return true;
        }
    }
    if (held == Qt::AltModifier && key >= Qt::Key_1 && key <= Qt::Key_5) {
        const std::string name = "BRepaint" + std::to_string(key - Qt::Key_0);
        QPushButton* b = button(name.c_str());
        if (b && b->isEnabled())
            b->click();
        return true;
    }
    if (held == Qt::AltModifier && key == Qt::Key_B) {
        clickIfEnabled("BBrowser");
        return true;
    }
    if (held == Qt::ControlModifier && (key == Qt::Key_F || key == Qt::Key_R)) {
        QPushButton* b = button("BSearchRep");
        if (b && b->isEnabled())
            b->click();
        return true;
    }
    return false;
}

} // namespace zenkel
