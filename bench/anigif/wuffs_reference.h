/* Wuffs' GIF decoder as a benchmark reference (built only where its
 * single-file release is present; never part of the program). */
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Decodes every frame of a GIF held in memory into one indexed canvas
 * (1024 palette bytes, then width x height indices), each frame replacing
 * its area. Returns the number of frames, or -1 when Wuffs reports an error. */
int wuffs_reference_decode(const uint8_t* data, size_t size);

#ifdef __cplusplus
}
#endif
