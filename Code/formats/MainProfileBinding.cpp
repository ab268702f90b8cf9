#include "formats/MainProfileBinding.h"

TMainProfileBinding::TMainProfileBinding(QComboBox *cbbOutputFiletype, QComboBox *cbbProfile,
                                         QWidget *btnOptions)
    : m_outputType(cbbOutputFiletype), m_profile(cbbProfile), m_options(btnOptions)
{
}
