/// Helpers of the editor tests: files in a temporary directory and the colour classes of the
/// editor text as one letter per character.
#pragma once

#include "editor/RichEdit.h"

#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace zenkel::test {

/// One letter per character: x text, t tag, q quoted, c comment.
inline char classLetter(ColorClass c)
{
    switch (c) {
    case ColorClass::Text:
        return 'x';
    case ColorClass::Tag:
        return 't';
    case ColorClass::Quoted:
        return 'q';
    case ColorClass::Comment:
        return 'c';
    }
    return '?';
}

inline std::string classLetters(const RichEdit& editor)
{
    std::string letters;
    const int n = editor.textLength();
    for (int i = 0; i < n; ++i)
        letters += classLetter(editor.colorClassOfChar(i));
    return letters;
}

inline void writeBytes(const QString& path, const std::string& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

inline std::string readBytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll().toStdString();
}

/// An editor holding text (UTF-8), coloured by its classes, caret at 0, not modified.
inline void setColoredText(RichEdit& editor, const std::string& utf8)
{
    editor.setPlainUtf8(utf8);
    editor.recolorAll();
    editor.setCaretPosition(0);
    editor.setModifiedFlag(false);
}

} // namespace zenkel::test
