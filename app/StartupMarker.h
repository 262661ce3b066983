/// StartupMarker: marks the start-up phase of the program, from program start until the main
/// window's first activation (a small file in the user's runtime directory).
#pragma once

#include <QString>

namespace zenkel {

class StartupMarker
{
public:
    /// The marker's path; "Zenkel HTML v3.5d " names it, as the program title does.
    static QString path();
    static bool exists();
    /// Adds the marker if it does not exist.
    static void add();
    /// Removes the marker if it exists.
    static void remove();
};

} // namespace zenkel
