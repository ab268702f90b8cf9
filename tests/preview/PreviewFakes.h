#pragma once

#include "preview/MediaEngine.h"
#include "preview/PreviewDisplay.h"
#include "toolkit/JobRows.h"

#include <string>
#include <vector>

// Records every call; each operation can be told to fail.
class TRecordingEngine : public MediaEngine
{
public:
    bool Active() const override { return active; }
    void SetActive(bool value) override
    {
        calls.push_back(value ? "Active:=true" : "Active:=false");
        active = value;
    }
    void ClearGraph() override { calls.push_back("ClearGraph"); }
    int RenderFile(const std::string &path) override
    {
        calls.push_back("RenderFile " + path);
        if (renderThrows)
            throw EMediaEngineError("cannot render");
        return renderResult;
    }
    void Play() override { Record("Play", playThrows); }
    void Pause() override { Record("Pause", pauseThrows); }
    void Stop() override { Record("Stop", stopThrows); }
    int64_t DurationMs() const override { return durationMs; }
    int64_t CurrentPosition() const override { return position; }
    void SeekTo(int64_t ms) override
    {
        calls.push_back("SeekTo " + std::to_string(ms));
        if (seekThrows)
            throw EMediaEngineError("cannot seek");
    }
    void SetTimerCallback(TimerCallback callback) override { timer = std::move(callback); }

    bool active = false;
    bool renderThrows = false, playThrows = false, pauseThrows = false, stopThrows = false;
    bool seekThrows = false;
    int renderResult = 0;
    int64_t durationMs = 0;
    int64_t position = 0; // 100-ns units
    TimerCallback timer;
    std::vector<std::string> calls;

private:
    void Record(const char *name, bool fail)
    {
        calls.push_back(name);
        if (fail)
            throw EMediaEngineError(std::string(name) + " failed");
    }
};

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

// Job rows in memory: File Name, Duration, Start, End, Cut, with a selection flag.
class TTableRows : public TJobRows
{
public:
    void Add(const std::string &name, const std::string &duration, bool selected = false)
    {
        m_rows.push_back({"True", name, "1 KB", duration, "00:00:00", duration, duration});
        m_selected.push_back(selected);
    }
    void Select(int row, bool selected) { m_selected[size_t(row)] = selected; }

    int RowCount() const override { return int(m_rows.size()); }
    std::string CellText(int row, int column) const override
    {
        if (row < 0 || row >= RowCount() || column < 0 || column >= JobColumn::Count)
            return {};
        return m_rows[size_t(row)][size_t(column)];
    }
    void SetCellText(int row, int column, const std::string &text) override
    {
        if (row >= 0 && row < RowCount() && column >= 0 && column < JobColumn::Count)
            m_rows[size_t(row)][size_t(column)] = text;
    }
    bool IsRowSelected(int row) const override
    {
        return row >= 0 && row < RowCount() && m_selected[size_t(row)];
    }

private:
    std::vector<std::vector<std::string>> m_rows;
    std::vector<bool> m_selected;
};
