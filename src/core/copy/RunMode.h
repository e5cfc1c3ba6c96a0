#pragma once

namespace tavelin {

// A dry run decides exactly as a copy does and writes nothing: it only lists what it would copy.
enum class RunMode { Copy, DryRun };

} // namespace tavelin
