/* Wuffs' GIF decoder, driven as its release notes describe for indexed
 * pixels: pixel format INDEXED__BGRA_BINARY into a buffer of 1024 palette
 * bytes plus width x height, every frame blended with PIXEL_BLEND__SRC. The
 * decoder, work buffer and canvas are allocated per call, as giflib's and
 * ours are. */
#define WUFFS_IMPLEMENTATION
#define WUFFS_CONFIG__MODULES
#define WUFFS_CONFIG__MODULE__BASE
#define WUFFS_CONFIG__MODULE__GIF
#define WUFFS_CONFIG__MODULE__LZW
#include "wuffs_reference.h"

#include "wuffs-v0.4.c"

#include <stdlib.h>

static int decode_frames(wuffs_gif__decoder* dec, wuffs_base__io_buffer* src) {
    wuffs_base__image_config ic;
    wuffs_base__status st = wuffs_gif__decoder__decode_image_config(dec, &ic, src);
    if (!wuffs_base__status__is_ok(&st)) {
        return -1;
    }
    const uint32_t w = wuffs_base__pixel_config__width(&ic.pixcfg);
    const uint32_t h = wuffs_base__pixel_config__height(&ic.pixcfg);
    wuffs_base__pixel_config__set(&ic.pixcfg, WUFFS_BASE__PIXEL_FORMAT__INDEXED__BGRA_BINARY,
                                  WUFFS_BASE__PIXEL_SUBSAMPLING__NONE, w, h);
    const size_t pixLen = 1024 + (size_t)w * h;
    const uint64_t workLen = wuffs_gif__decoder__workbuf_len(dec).max_incl;
    uint8_t* pix = (uint8_t*)calloc(pixLen, 1);
    uint8_t* work = (uint8_t*)malloc(workLen > 0 ? (size_t)workLen : 1);
    int frames = -1;
    wuffs_base__pixel_buffer pb;
    if (pix != NULL && work != NULL) {
        st = wuffs_base__pixel_buffer__set_from_slice(&pb, &ic.pixcfg,
                                                      wuffs_base__make_slice_u8(pix, pixLen));
        frames = wuffs_base__status__is_ok(&st) ? 0 : -1;
    }
    while (frames >= 0) {
        wuffs_base__frame_config fc;
        st = wuffs_gif__decoder__decode_frame_config(dec, &fc, src);
        if (st.repr == wuffs_base__note__end_of_data) {
            break;
        }
        if (!wuffs_base__status__is_ok(&st)) {
            frames = -1;
            break;
        }
        st = wuffs_gif__decoder__decode_frame(dec, &pb, src, WUFFS_BASE__PIXEL_BLEND__SRC,
                                              wuffs_base__make_slice_u8(work, (size_t)workLen),
                                              NULL);
        frames = wuffs_base__status__is_ok(&st) ? frames + 1 : -1;
    }
    free(work);
    free(pix);
    return frames;
}

int wuffs_reference_decode(const uint8_t* data, size_t size) {
    wuffs_gif__decoder* dec = wuffs_gif__decoder__alloc();
    if (dec == NULL) {
        return -1;
    }
    wuffs_base__io_buffer src = wuffs_base__ptr_u8__reader((uint8_t*)data, size, true);
    const int frames = decode_frames(dec, &src);
    free(dec);
    return frames;
}
