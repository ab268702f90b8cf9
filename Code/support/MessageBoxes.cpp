#include "support/MessageBoxes.h"

#include <utility>

TMessageBoxes::TMessageBoxes(IMessagePresenter &presenter, std::string caption)
    : m_presenter(presenter), m_caption(std::move(caption))
{
}

bool TMessageBoxes::ShowMsg(const std::string &text, int kind) const
{
    static const TMessageIcon icons[] = {TMessageIcon::Error, TMessageIcon::Warning,
                                         TMessageIcon::Question, TMessageIcon::Information};
    if (kind < 0 || kind > 3)
        return false;
    TMessageBoxRequest request;
    request.caption = m_caption;
    request.text = text;
    request.icon = icons[kind];
    request.buttons = TMessageButtons::Ok;
    request.applicationModal = false;
    m_presenter.Present(request);
    return true;
}

int TMessageBoxes::AppMessageBox(const std::string &text, int kind) const
{
    static const TMessageButtons buttons[] = {TMessageButtons::Ok, TMessageButtons::YesNo,
                                              TMessageButtons::YesNoCancel};
    if (kind < 1 || kind > 3)
        return IdNone;
    TMessageBoxRequest request;
    request.caption = m_caption;
    request.text = text;
    request.icon = TMessageIcon::Information;
    request.buttons = buttons[kind - 1];
    request.applicationModal = true;
    return m_presenter.Present(request);
}
