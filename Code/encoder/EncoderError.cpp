#include "EncoderError.h"

#include "AvResources.h"

extern "C" {
#include <libavutil/error.h>
}

namespace evc {

std::string AvErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(code, text, sizeof text) < 0)
        return "error " + std::to_string(code);
    return text;
}

int CheckAv(int code, const std::string &what)
{
    if (code < 0)
        throw EncoderError(what + ": " + AvErrorText(code));
    return code;
}

FramePtr NewFrame()
{
    FramePtr frame(av_frame_alloc());
    if (!frame)
        throw EncoderError("out of memory");
    return frame;
}

PacketPtr NewPacket()
{
    PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw EncoderError("out of memory");
    return packet;
}

} // namespace evc
