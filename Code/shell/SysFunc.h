#pragma once

// The system functions: one instance for the whole run. The process lookup of the conversion
// subsystem joins as its base when that subsystem provides it.
class TSysFunc
{
};
