#pragma once

// The libav handles of the encoder, and allocators that report running out of memory.

#include "support/AvHandles.h"

namespace evc {

using avhandles::AudioFifoPtr;
using avhandles::CodecContextPtr;
using avhandles::DictionaryDeleter;
using avhandles::FramePtr;
using avhandles::InputContextPtr;
using avhandles::PacketPtr;
using avhandles::ResamplerPtr;

// Allocators that turn an out-of-memory result into an EncoderError.
FramePtr NewFrame();
PacketPtr NewPacket();

} // namespace evc
