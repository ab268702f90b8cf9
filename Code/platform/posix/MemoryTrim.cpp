#include "platform/MemoryTrim.h"

#include <malloc.h>

namespace platform {

void TrimWorkingSet()
{
    malloc_trim(0);
}

} // namespace platform
