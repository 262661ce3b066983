/// The main window as the host of the editor's typing-time colouring.
#pragma once

#include "editor/EditorColoring.h"

namespace zenkel {

class TForm1;

class EditorHostAdapter : public EditorColoringHost
{
public:
    explicit EditorHostAdapter(TForm1& form)
        : m_form(form)
    { }
    void SetREToModified() override;
    bool saveEnabled() const override;
    void BSaveClick() override;

private:
    TForm1& m_form;
};

} // namespace zenkel
