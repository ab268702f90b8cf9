#pragma once

#include "toolkit/JobListRows.h"

#include <array>
#include <string>
#include <vector>

namespace tqtest {

// Job rows in a plain table, with a selection flag per row and a focused row, behaving as the
// grid does when rows are deleted.
class MemoryJobRows : public TJobListRows
{
public:
    // Adds a checked row for `fileName` whose segment runs from `start` to `end` (End is also
    // its Duration and Cut); returns its index.
    int Add(const std::string &fileName, const std::string &start = "00:00:00",
            const std::string &end = "00:00:01", bool selected = false)
    {
        const int row = AppendRow({"True", fileName, "1 KB", end, start, end, end});
        SetRowSelected(row, selected);
        return row;
    }
    // The File Name of every row, in list order.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const Row &row : m_rows)
            names.push_back(row.cells[JobColumn::FileName]);
        return names;
    }

    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    std::string CellText(int row, int column) const override
    {
        return IsCell(row, column) ? At(row).cells[static_cast<std::size_t>(column)] : "";
    }
    void SetCellText(int row, int column, const std::string &text) override
    {
        if (IsCell(row, column))
            At(row).cells[static_cast<std::size_t>(column)] = text;
    }
    bool IsRowSelected(int row) const override { return IsRow(row) && At(row).selected; }

    int AppendRow(const std::vector<std::string> &cells) override
    {
        Row row;
        for (std::size_t column = 0; column < row.cells.size() && column < cells.size(); ++column)
            row.cells[column] = cells[column];
        m_rows.push_back(row);
        return RowCount() - 1;
    }
    void DeleteRow(int row) override
    {
        if (!IsRow(row))
            return;
        m_rows.erase(m_rows.begin() + row);
        if (m_focused > row || (m_focused == row && row > 0) || m_focused == RowCount())
            --m_focused;
    }
    bool DeleteAllRows() override
    {
        m_rows.clear();
        m_focused = -1;
        return true;
    }
    int FindRow(const std::string &fileName) const override
    {
        for (int row = 0; row < RowCount(); ++row) {
            if (At(row).cells[JobColumn::FileName] == fileName)
                return row;
        }
        return -1;
    }
    std::vector<int> SelectedRows() const override
    {
        std::vector<int> selected;
        for (int row = 0; row < RowCount(); ++row) {
            if (At(row).selected)
                selected.push_back(row);
        }
        return selected;
    }
    void SetRowSelected(int row, bool selected) override
    {
        if (IsRow(row))
            At(row).selected = selected;
    }
    void ClearRowSelection() override
    {
        for (Row &row : m_rows)
            row.selected = false;
    }
    int FocusedRow() const override { return m_focused; }
    void SetFocusedRow(int row) override { m_focused = IsRow(row) ? row : -1; }
    void BeginUpdate() override { ++updateDepth; }
    void EndUpdate() override { --updateDepth; }

    int updateDepth = 0; // open BeginUpdate brackets

private:
    struct Row
    {
        std::array<std::string, JobColumn::Count> cells;
        bool selected = false;
    };
    bool IsRow(int row) const { return row >= 0 && row < RowCount(); }
    bool IsCell(int row, int column) const
    {
        return IsRow(row) && column >= 0 && column < JobColumn::Count;
    }
    Row &At(int row) { return m_rows[static_cast<std::size_t>(row)]; }
    const Row &At(int row) const { return m_rows[static_cast<std::size_t>(row)]; }

    std::vector<Row> m_rows;
    int m_focused = -1;
};

} // namespace tqtest
