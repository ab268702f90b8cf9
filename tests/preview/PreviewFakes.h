#pragma once

#include "MemoryJobRows.h"
#include "RecordingMediaEngine.h"
#include "preview/PreviewDisplay.h"
#include "preview/PreviewEvents.h"
#include "preview/PreviewPlayer.h"
#include "preview/SegmentSelection.h"
#include "preview/TimelineGeometry.h"

#include <string>
#include <vector>

class TRecordingDisplay : public IPreviewDisplay
{
public:
    void SetLogoVisible(bool visible) override { logo = visible; }
    void SetTimeCaption(const std::string &text) override { caption = text; }
    void SetProgressRange(int min, int max) override
    {
        minimum = min;
        maximum = max;
    }
    void SetProgressPosition(int value) override { position = value; }

    bool logo = true;
    std::string caption = "00:00:00";
    int minimum = 0, maximum = 100, position = 0;
};

// A preview player bound to the recording engine and display, the segment selection and the
// list events over it, and the job rows they read. Log lines of the player are kept in `log`.
struct PreviewRig
{
    PreviewRig()
    {
        player.BindPreview(engine, display, previewFile,
                           [this](const std::string &line) { log.push_back(line); });
    }

    tqtest::RecordingMediaEngine engine;
    TRecordingDisplay display;
    std::string previewFile;
    std::vector<std::string> log;
    TPreviewPlayer player;
    TTimelineGeometry geometry;
    TSegmentSelection segments{player, geometry};
    TPreviewEvents events{player, segments, geometry};
    tqtest::MemoryJobRows rows;
};
