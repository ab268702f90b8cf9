#pragma once

#include "support/MessageBoxes.h"

// Shows message boxes with QMessageBox. Non-application-modal boxes have no owner window and
// run their own event loop, so the other windows stay usable while they are open.
class TQtMessagePresenter : public IMessagePresenter
{
public:
    int Present(const TMessageBoxRequest &request) override;
};
