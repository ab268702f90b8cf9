#pragma once

#include "support/MessageBoxes.h"

#include <vector>

// Records every message box instead of showing it.
class TRecordingPresenter : public IMessagePresenter
{
public:
    int Present(const TMessageBoxRequest &request) override
    {
        requests.push_back(request);
        return IdOk;
    }
    std::vector<TMessageBoxRequest> requests;
};
