#pragma once

#include "conversion/ConversionSettings.h"

class TFrmMainForm;
class TProfileFunc;

// The command builder's view of the windows: the Options dialog's value lists, the main
// window's output type and output folder, and the catalogue rows of the output type.
class TConversionBinding : public TConversionSettings
{
public:
    TConversionBinding(const TProfileFunc &profiles, TFrmMainForm &mainForm);

    std::string CurrentItemText(TOptionList list) const override;
    int OutputTypeIndex() const override;
    std::string CodecOptionOf(int outputType) const override;
    std::string OutputFormatOf(int outputType) const override;
    std::string OutputExtensionOf(int outputType) const override;
    std::string OutputFolderText() const override;
    void ApplyCustomProfile() override;

private:
    const TProfileFunc &m_profiles;
    TFrmMainForm &m_mainForm;
};
