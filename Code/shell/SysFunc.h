#pragma once

#include "conversion/ProcessLookup.h"

// The system functions: one instance for the whole run; the process lookup of the conversion
// subsystem, on the system's process table.
class TSysFunc : public TProcessLookup
{
};
