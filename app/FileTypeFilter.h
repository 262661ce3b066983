/// The filter box of the file and tree dialogs: one entry per choice of the file-type table.
#pragma once

#include <QStringList>

namespace zenkel {

/// "HTM(L) only  (*.htm)" and so on, in the order of the file-type table.
QStringList fileTypeFilterTexts();

} // namespace zenkel
