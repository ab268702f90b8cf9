#pragma once

#include <string>

// The columns of a job row, addressed by index. Every cell holds a text.
namespace JobColumn {
constexpr int CheckStatus = 0; // "True" or "False"; hidden, so always "True"
constexpr int FileName = 1;    // full path, unique in the list (case-sensitive)
constexpr int FileSize = 2;
constexpr int Duration = 3;  // hh:mm:ss
constexpr int StartTime = 4; // hh:mm:ss
constexpr int EndTime = 5;   // hh:mm:ss
constexpr int CutTime = 6;   // hh:mm:ss
constexpr int Count = 7;
} // namespace JobColumn

// Read and write access to the rows of the job list, without any window. The grid widget
// implements it; code that only walks rows (conversion, segment lookups) depends on this alone,
// so it can be tested with a plain table.
class TJobRows
{
public:
    virtual ~TJobRows() = default;

    virtual int RowCount() const = 0;
    // Empty text for a row or column out of range.
    virtual std::string CellText(int row, int column) const = 0;
    // Ignored for a row or column out of range.
    virtual void SetCellText(int row, int column, const std::string &text) = 0;
    virtual bool IsRowSelected(int row) const = 0;
};
