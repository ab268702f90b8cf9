#include "shell/ConversionBinding.h"

#include "formats/Catalogue.h"
#include "formats/FrmOption.h"
#include "formats/ProfileFunc.h"
#include "shell/MainForm.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

TChoiceList *ListOf(const TOptionLists &lists, TOptionList list)
{
    switch (list) {
    case TOptionList::VideoBitrate:
        return lists.cbbVideoBitrate;
    case TOptionList::VideoSize:
        return lists.cbbVideoSize;
    case TOptionList::FrameRate:
        return lists.cbbFramerate;
    case TOptionList::AspectRatio:
        return lists.cbbAspectratio;
    case TOptionList::AudioBitrate:
        return lists.cbbAudioBitrate;
    case TOptionList::Volume:
        return lists.cbbAudioVolumeGain;
    case TOptionList::Channels:
        return lists.cbbAudioChannels;
    case TOptionList::SampleRate:
        return lists.cbbAudioSample;
    }
    return nullptr;
}

} // namespace

TConversionBinding::TConversionBinding(const TProfileFunc &profiles, TFrmMainForm &mainForm)
    : m_profiles(profiles), m_mainForm(mainForm)
{
}

std::string TConversionBinding::CurrentItemText(TOptionList list) const
{
    const TfrmOption *options = m_mainForm.OptionsDialog();
    if (options == nullptr)
        return {};
    const TChoiceList *choice = ListOf(options->Lists(), list);
    return choice == nullptr ? std::string() : choice->SelectedItem();
}

int TConversionBinding::OutputTypeIndex() const
{
    return m_mainForm.cbbOutputFiletype->currentIndex();
}

std::string TConversionBinding::CodecOptionOf(int outputType) const
{
    return TCatalogue::CodecOption(outputType);
}

std::string TConversionBinding::OutputFormatOf(int outputType) const
{
    return TCatalogue::OutputFormat(outputType);
}

std::string TConversionBinding::OutputExtensionOf(int outputType) const
{
    return TCatalogue::OutputExtension(outputType);
}

std::string TConversionBinding::OutputFolderText() const
{
    return m_mainForm.edtOutputFolder->text().toStdString();
}

void TConversionBinding::ApplyCustomProfile()
{
    if (const TfrmOption *options = m_mainForm.OptionsDialog())
        m_profiles.ApplyCustomProfile(options->Lists());
}
