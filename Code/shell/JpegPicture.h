#pragma once

#include <QImage>
#include <cstddef>

// Decodes a JPEG picture held in memory with libjpeg. A damaged or truncated picture gives a
// null image, never a crash or an exit.
QImage DecodeJpeg(const unsigned char *data, std::size_t size);
