/// RichEdit::ChangeBatch: groups the control's changes so they are finished once, at the end.
#pragma once

#include "editor/RichEdit.h"

namespace zenkel {

class RichEdit::ChangeBatch
{
public:
    explicit ChangeBatch(RichEdit& editor)
        : m_editor(editor)
    {
        ++m_editor.m_batchDepth;
    }
    ~ChangeBatch()
    {
        if (--m_editor.m_batchDepth == 0)
            m_editor.flushChanges();
    }

private:
    RichEdit& m_editor;
};

} // namespace zenkel
