/// The rules of TForm1.SetButtonState and TForm1.BadFilesMode, without widgets.
#include "app/ButtonStates.h"

namespace zenkel {

namespace {

constexpr const char* RepaintButtons[]
    = {"BRepaint1", "BRepaint2", "BRepaint3", "BRepaint4", "BRepaint5"};

} // namespace

std::map<std::string, bool> SetButtonStateRules(const ButtonStateInput& in)
{
    std::map<std::string, bool> state;
    const bool single = in.SelectionMode == SelectionMode::SingleFile;
    const bool clean = !in.editorModified;
    const bool selected = in.SelectionMode != SelectionMode::None;
    for (const char* name : {"BFiles", "BTree", "BNew"})
        state[name] = single ? clean : true;
    for (const char* name : {"BFormat", "BCompress", "BTrim"})
        state[name] = single ? clean : selected;
    state["BRestore"] = single ? in.backupExists && clean : in.backupExists;
    for (const char* name : {"BSave", "BCancel", "BUndo"})
        state[name] = single && in.editorModified;
    for (const char* name : {"BSaveAs", "BSearchRep", "BBrowser"})
        state[name] = single;
    for (const char* name : RepaintButtons)
        state[name] = single && in.colorTags;
    state["editorMode"] = single;
    return state;
}

std::map<std::string, bool> BadFilesModeRules()
{
    std::map<std::string, bool> state;
    for (const char* name : {"BRestore", "BFormat", "BCompress", "BTrim", "BSaveAs", "BSave",
             "BSearchRep", "BCancel", "BUndo", "BBrowser"})
        state[name] = false;
    for (const char* name : RepaintButtons)
        state[name] = false;
    for (const char* name : {"BNew", "BFiles", "BTree"})
        state[name] = true;
    return state;
}

} // namespace zenkel
