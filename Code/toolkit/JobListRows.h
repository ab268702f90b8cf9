#pragma once

#include "toolkit/JobRows.h"

#include <string>
#include <vector>

// The job rows as the list operations edit them: adding and deleting rows, the selection and
// the focused row. The grid widget implements it; the list operations depend on this alone, so
// they run and are tested without any window.
class TJobListRows : public TJobRows
{
public:
    // Appends a row; missing cells are empty, extra cells ignored. Returns its index.
    virtual int AppendRow(const std::vector<std::string> &cells) = 0;
    // Rows below move up by one; a deleted focused row passes the focus to the row above it, or
    // to the row that takes its place when it was the first. Ignored for a row out of range.
    virtual void DeleteRow(int row) = 0;
    // Deletes every row; false when rows are still there afterwards.
    virtual bool DeleteAllRows() = 0;
    // Index of the row whose File Name equals `fileName` exactly, -1 when none.
    virtual int FindRow(const std::string &fileName) const = 0;

    // Indexes of the selected rows, in list order.
    virtual std::vector<int> SelectedRows() const = 0;
    virtual void SetRowSelected(int row, bool selected) = 0;
    virtual void ClearRowSelection() = 0;
    // The focused (current) row, -1 when no row has focus.
    virtual int FocusedRow() const = 0;
    // Makes `row` the focused row without changing the selection; -1 clears the focus.
    virtual void SetFocusedRow(int row) = 0;

    // Bracket a batch of changes, so a view can hold its repainting until the end. They nest.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
};
