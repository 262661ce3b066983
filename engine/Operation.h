/// The operations a run, a selection or a preview performs on a text.
#pragma once

namespace zenkel {

/// Which operation the next or current run performs.
enum class Operation
{
    None = 0,
    Compress = 1,
    Format = 2,
    Restore = 3,
    Trim = 4,
};

} // namespace zenkel
