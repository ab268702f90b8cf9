/* Res.so: the product texts and the splash picture of Tonequill, behind the C interface of
   ResApi.h. The picture bytes are generated at build time from the artwork. */

#include "siblings/ResApi.h"

#include <string.h>

extern const unsigned char tq_splash_jpeg[];
extern const size_t tq_splash_jpeg_size;

#define TQ_EXPORT __attribute__((visibility("default")))

typedef struct
{
    int id;
    const char *text;
} StringEntry;

static const StringEntry kStrings[] = {
    {0, "The Tonequill Project"},
    {1, "Tonequill"},
    {2, "Tonequill converts video and audio files into AMR, AAC, MP3, AC3, M4A, OGG or WAV "
        "audio, one file after another, with quality profiles and trimming."},
    {3, TQ_VERSION},
    {4, "https://tonequill.example.org/"},
    {5, "support@tonequill.example.org"},
    {7, "Copyright (C) 2026 The Tonequill Project. Audio is decoded and encoded with the FFmpeg "
        "libraries and opencore-amr."},
};

TQ_EXPORT int TqResLoadString(int id, char *buffer, int bufferSize)
{
    if (!buffer || bufferSize <= 0)
        return 0;
    buffer[0] = '\0';
    for (size_t i = 0; i < sizeof kStrings / sizeof kStrings[0]; ++i) {
        if (kStrings[i].id != id)
            continue;
        size_t length = strlen(kStrings[i].text);
        if (length > (size_t)(bufferSize - 1))
            length = (size_t)(bufferSize - 1);
        memcpy(buffer, kStrings[i].text, length);
        buffer[length] = '\0';
        return (int)length;
    }
    return 0;
}

TQ_EXPORT int TqResFindResource(const char *name, const char *type, const void **data, size_t *size)
{
    if (!name || !type || !data || !size)
        return 0;
    if (strcmp(name, "ImgFlash") == 0 && strcmp(type, "jpeg") == 0) {
        *data = tq_splash_jpeg;
        *size = tq_splash_jpeg_size;
        return 1;
    }
    return 0;
}
