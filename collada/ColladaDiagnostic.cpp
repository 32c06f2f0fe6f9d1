#include "collada/ColladaDiagnostic.h"

namespace libkub {

const char* levelName(DiagnosticLevel level)
{
    return level == DiagnosticLevel::Error ? "error" : "warning";
}

} // namespace libkub
