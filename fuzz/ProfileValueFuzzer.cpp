// Profile value strings of any text: Parse either refuses with EConvertError, gives no fields,
// or gives six fields that, written back, parse to the same fields. Applying the fields to
// lists and reading the selections back gives every index that lies inside its list.
#include "FuzzCheck.h"
#include "formats/ConvertError.h"
#include "formats/MemoryChoiceList.h"
#include "formats/ProfileValue.h"

#include <string>

namespace {

constexpr int kListLength = 7;

std::string Written(const TProfileValue::Fields &fields)
{
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += '|';
        text += fields[i] ? std::to_string(*fields[i]) : "none";
    }
    return text;
}

void CheckApply(const TProfileValue::Fields &fields)
{
    TMemoryChoiceList lists[9];
    for (TMemoryChoiceList &list : lists) {
        for (int i = 0; i < kListLength; ++i)
            list.Add("entry " + std::to_string(i));
        list.SetItemIndex(3);
    }
    TOptionLists options;
    options.cbbVideoSize = &lists[0];
    options.cbbVideoBitrate = &lists[1];
    options.cbbFramerate = &lists[2];
    options.cbbAspectratio = &lists[3];
    options.cbbAudioBitrate = &lists[4];
    options.cbbAudioSample = &lists[5];
    options.cbbAudioVolumeGain = &lists[6];
    options.cbbAudioChannels = &lists[7];
    options.cbbCustomProfile = &lists[8];
    TProfileValue::Apply(fields, options);

    const auto targets = options.ProfileFieldLists();
    for (size_t i = 0; i < fields.size(); ++i) {
        const int index = targets[i]->ItemIndex();
        if (!fields[i])
            FUZZ_CHECK(index == 3);
        else if (*fields[i] >= 0 && *fields[i] < kListLength)
            FUZZ_CHECK(index == *fields[i]);
        else
            FUZZ_CHECK(index == -1 && targets[i]->Text().empty());
    }
    const auto again = TProfileValue::Parse(TProfileValue::FromSelections(options), "none");
    FUZZ_CHECK(again.has_value());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const std::string text = tqfuzz::AsText(data, size);
    std::optional<TProfileValue::Fields> fields;
    try {
        fields = TProfileValue::Parse(text, "none");
    } catch (const EConvertError &) {
        return 0;
    }
    if (!fields)
        return 0;
    const auto again = TProfileValue::Parse(Written(*fields), "none");
    FUZZ_CHECK(again && *again == *fields);
    CheckApply(*fields);

    // Every 32-bit number reads back through the integer reading of the profile texts.
    try {
        for (const auto &field : *fields) {
            if (field)
                FUZZ_CHECK(TProfileValue::StrToInt(std::to_string(*field)) == *field);
        }
    } catch (const EConvertError &) {
        FUZZ_CHECK(false);
    }
    return 0;
}
