#include "formats/WidgetSwitch.h"

#include <QWidget>

bool TWidgetSwitch::Enabled() const
{
    return m_widget->isEnabled();
}

void TWidgetSwitch::SetEnabled(bool enabled)
{
    m_widget->setEnabled(enabled);
}
