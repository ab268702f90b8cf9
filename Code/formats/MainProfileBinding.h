#pragma once

#include "formats/ComboChoiceList.h"
#include "formats/ProfileControls.h"
#include "formats/WidgetSwitch.h"

class QComboBox;
class QWidget;

// The main window's output-type list, profile list and Options button as the profile
// operations take them. The main window keeps one for its lifetime.
class TMainProfileBinding
{
public:
    TMainProfileBinding(QComboBox *cbbOutputFiletype, QComboBox *cbbProfile, QWidget *btnOptions);
    TMainProfileBinding(const TMainProfileBinding &) = delete;
    TMainProfileBinding &operator=(const TMainProfileBinding &) = delete;

    TMainProfileControls Controls() { return {&m_outputType, &m_profile, &m_options}; }
    TChoiceList &ProfileList() { return m_profile; }
    TChoiceList &OutputTypeList() { return m_outputType; }

private:
    TComboChoiceList m_outputType;
    TComboChoiceList m_profile;
    TWidgetSwitch m_options;
};
