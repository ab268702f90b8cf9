#pragma once

#include "formats/ControlSwitch.h"

class QWidget;

// Enables and disables a widget (the main window's Options button). Does not own it.
class TWidgetSwitch : public TControlSwitch
{
public:
    explicit TWidgetSwitch(QWidget *widget) : m_widget(widget) {}

    bool Enabled() const override;
    void SetEnabled(bool enabled) override;

private:
    QWidget *m_widget;
};
