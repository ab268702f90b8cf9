#pragma once

#include "conversion/ConversionSettings.h"
#include "formats/Catalogue.h"

#include <functional>
#include <map>
#include <string>

namespace tqtest {

// The output types with their codec options and extensions, and the current list items.
class FakeSettings : public TConversionSettings
{
public:
    FakeSettings()
    {
        items = {{TOptionList::VideoBitrate, "128"},
                 {TOptionList::VideoSize, "176x144"},
                 {TOptionList::FrameRate, "15"},
                 {TOptionList::AspectRatio, "4:3"},
                 {TOptionList::AudioBitrate, "128"},
                 {TOptionList::Volume, "100"},
                 {TOptionList::Channels, "2 channels, Stereo"},
                 {TOptionList::SampleRate, "44100"}};
    }
    std::string CurrentItemText(TOptionList list) const override
    {
        const auto found = items.find(list);
        return found == items.end() ? std::string() : found->second;
    }
    int OutputTypeIndex() const override { return outputType; }
    std::string CodecOptionOf(int type) const override { return TCatalogue::CodecOption(type); }
    std::string OutputFormatOf(int type) const override { return TCatalogue::OutputFormat(type); }
    std::string OutputExtensionOf(int type) const override
    {
        return TCatalogue::OutputExtension(type);
    }
    std::string OutputFolderText() const override { return outputFolder; }
    void ApplyCustomProfile() override
    {
        ++profileApplications;
        if (onApplyCustomProfile)
            onApplyCustomProfile(*this);
    }

    std::map<TOptionList, std::string> items;
    int outputType = 2;
    std::string outputFolder;
    int profileApplications = 0;
    std::function<void(FakeSettings &)> onApplyCustomProfile;
};

} // namespace tqtest
