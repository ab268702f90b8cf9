#pragma once

// The C interface of the resource library Res.so that lies beside the program: numbered
// string entries and named binary resources. Plain C types only, so the library can be
// replaced without rebuilding the program.

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// Copies string entry `id` into `buffer` (at most bufferSize - 1 bytes, always terminated)
// and returns the number of bytes copied; 0 when the entry does not exist.
typedef int (*TqResLoadStringFunc)(int id, char *buffer, int bufferSize);
#define TQ_RES_LOAD_STRING "TqResLoadString"

// Finds the resource `name` of type `type`. Returns 1 and sets *data and *size when found
// (the bytes stay valid while the library is loaded), 0 otherwise.
typedef int (*TqResFindResourceFunc)(const char *name, const char *type, const void **data,
                                     size_t *size);
#define TQ_RES_FIND_RESOURCE "TqResFindResource"

#ifdef __cplusplus
}
#endif
